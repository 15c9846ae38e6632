#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <csignal>
#include <functional>

#include "../testkit.h"
#include "resultfile.h"
#include "runtimeerror.h"

using namespace tav::test;
using namespace Qt::StringLiterals;

namespace {

const QString kBlock = QStringLiteral("\r\nStarting capital: 1000\r\n");
const QByteArray kBlockBytes = kBlock.toLatin1();
const QByteArray kEarlier = "earlier line\r\n";
constexpr int kFileLeftOpen = 253;

// Appends kBlock to `path` in a child that keeps the default (ending) actions of SIGPIPE and
// SIGXFSZ, under a file size limit, with descriptor 0 free for the file, while `meanwhile` runs.
// Gives "error N" with the error the append raised (0 for none, kFileLeftOpen when it kept the
// file), or "signal N" with the signal that ended the child instead (SIGALRM: it hung).
QString appendInChild(
    const QString& path, rlim_t limit = RLIM_INFINITY,
    const std::function<void()>& meanwhile = [] {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        closefrom(3);  // the parent's pipe ends and locks stay the parent's
        close(0);
        for (const int number : {SIGPIPE, SIGXFSZ, SIGALRM}) {
            std::signal(number, SIG_DFL);
        }
        alarm(5);
        const rlimit limits{limit, limit};
        const bool limited = limit == RLIM_INFINITY || setrlimit(RLIMIT_FSIZE, &limits) == 0;
        const int number =
            limited ? raisedBy([&] { tav::appendToFile(path, kBlock); }).number() : 254;
        _exit(fcntl(0, F_GETFD) != -1 ? kFileLeftOpen : number);
    }
    meanwhile();
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? u"signal %1"_s.arg(WTERMSIG(status))
                               : u"error %1"_s.arg(WEXITSTATUS(status));
}

int openPipeReader(const QString& path) {
    return open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
}

// What a reader of the pipe receives of the next block appended.
QByteArray nextBlockThroughPipe(const QString& path) {
    const int reader = openPipeReader(path);
    if (reader < 0) {
        return "no reader";
    }
    tav::appendToFile(path, kBlock);
    QByteArray arrived(4096, '\0');
    arrived.truncate(qMax<ssize_t>(0, read(reader, arrived.data(), arrived.size())));
    close(reader);
    return arrived;
}

// Another writer of the file at `path`, holding its lock.
int lockingWriter(const QString& path) {
    const int writer = open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
    if (writer >= 0 && flock(writer, LOCK_EX) != 0) {
        close(writer);
        return -1;
    }
    return writer;
}

}  // namespace

// A target that cannot take the block now is an error, without waiting or ending; the file stays
// whole and closed, and the next block goes through once the cause is gone.
class TestAppendTargets : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;  // this test's own file or pipe

    // Whether the file now holds one earlier line.
    bool writeEarlierLine() {
        QFile file(m_path);
        return file.open(QIODevice::WriteOnly) && file.write(kEarlier) == kEarlier.size() &&
               file.flush();
    }

    // The file holds its earlier line only, and takes the next block.
    static void expectKeptAndAppendable(const QString& path) {
        QCOMPARE(fileBytes(path), kEarlier);
        tav::appendToFile(path, kBlock);
        QCOMPARE(fileBytes(path), kEarlier + kBlockBytes);
    }

    bool makePipe() const { return mkfifo(QFile::encodeName(m_path).constData(), 0600) == 0; }

private slots:
    void init() { m_path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction())); }

    void aPipeWithoutReaderIsAnAccessError() {
        QVERIFY(makePipe());
        QCOMPARE(appendInChild(m_path), u"error 75"_s);
        QCOMPARE(nextBlockThroughPipe(m_path), kBlockBytes);
    }

    void aPipeWhoseReaderLeftIsAnAccessError() {
        // A reader whose lock holds the child back until the reader has gone
        QVERIFY(makePipe());
        const int reader = openPipeReader(m_path);
        QVERIFY(reader >= 0 && flock(reader, LOCK_EX) == 0);
        bool childOpened = false;
        const QString child = appendInChild(m_path, RLIM_INFINITY, [&] {
            // End of file until the child opens the pipe; then the reader goes
            const QDeadlineTimer deadline(5000);
            char byte = 0;
            while (read(reader, &byte, 1) == 0 && !deadline.hasExpired()) {
                QThread::usleep(200);
            }
            childOpened = !deadline.hasExpired();
            close(reader);
        });
        QVERIFY2(childOpened, "the child never opened the pipe");
        QCOMPARE(child, u"error 75"_s);
        QCOMPARE(nextBlockThroughPipe(m_path), kBlockBytes);
    }

    void aFileSizeLimitIsADiskFullError() {  // the part written is taken back
        QVERIFY(writeEarlierLine());
        QCOMPARE(appendInChild(m_path, kEarlier.size() + 5), u"error 61"_s);
        expectKeptAndAppendable(m_path);
    }

    void aFileLockedByAnotherWriterIsRefused() {
        QVERIFY(writeEarlierLine());
        const int other = lockingWriter(m_path);
        QVERIFY(other >= 0);
        const QString child = appendInChild(m_path);
        close(other);
        QCOMPARE(child, u"error 70"_s);
        expectKeptAndAppendable(m_path);
    }

    void anotherWritersTakeBackLeavesTheBlockSaved() {
        // Another writer half-writes a block and takes it back under its lock; the child waits
        QVERIFY(writeEarlierLine());
        const int other = lockingWriter(m_path);
        QVERIFY(other >= 0);
        bool tookBack = false;
        const QString child = appendInChild(m_path, RLIM_INFINITY, [&] {
            QThread::msleep(200);
            tookBack = write(other, "Money at", 8) == 8 && ftruncate(other, kEarlier.size()) == 0;
            close(other);
        });
        QVERIFY2(tookBack, "the other writer failed");
        QCOMPARE(child, u"error 0"_s);
        QCOMPARE(fileBytes(m_path), kEarlier + kBlockBytes);
    }
};

QTEST_GUILESS_MAIN(TestAppendTargets)
#include "tst_appendtargets.moc"
