// Targets that cannot take a block at the moment: a pipe, a file size limit.
// Linux only: it drives pipes and resource limits directly.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <csignal>

#include "errornumbers.h"
#include "resultfile.h"
#include "runtimeerror.h"

namespace {

const QString kBlock = QStringLiteral("\r\nStarting capital: 1000\r\n");
const QByteArray kEarlier = "earlier line\r\n";

// A child that had not ended after this long counts as hanging.
constexpr int kChildTimeLimitMs = 5000;
constexpr int kHung = -1000;

enum class Target { PipeWithoutReader, FileSizeLimit };

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Appends kBlock to `path` in a child process that keeps the default actions
// of SIGPIPE and SIGXFSZ (both end a process), under a file size limit of
// `sizeLimit` bytes. The child's exit code is the error number it saw, 0 for
// none.
pid_t startAppending(const QString& path, rlim_t sizeLimit) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    closefrom(3);  // the parent's pipe ends and locks stay the parent's
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{sizeLimit, sizeLimit};
    if (sizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        _exit(254);
    }
    try {
        tav::appendToFile(path, kBlock);
    } catch (const tav::RuntimeError& error) {
        _exit(error.number());
    } catch (...) {
        _exit(255);
    }
    _exit(0);
}

// The child's exit code, minus the signal that ended it, or kHung (the child
// is then killed).
int outcomeOf(pid_t pid) {
    QDeadlineTimer deadline(kChildTimeLimitMs);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return kHung;
        }
        QThread::msleep(5);
    }
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

int openReader(const QString& path) {
    return open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

QByteArray readPipe(int reader) {
    QByteArray bytes(4096, '\0');
    const ssize_t got = read(reader, bytes.data(), static_cast<size_t>(bytes.size()));
    return bytes.left(got < 0 ? 0 : got);
}

}  // namespace

Q_DECLARE_METATYPE(Target)

class TestAppendTargets : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A target that cannot take the block now is an error with a number; the
    // program neither waits for it nor ends, keeps the file whole, and the
    // next block goes through once the target is sound again.
    void aTargetThatCannotTakeTheBlockNow_data() {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("error");
        QTest::newRow("pipe without reader")
            << Target::PipeWithoutReader << tav::ErrorNumber::PathFileAccess;
        QTest::newRow("file size limit within the block")
            << Target::FileSizeLimit << tav::ErrorNumber::DiskFull;
    }
    void aTargetThatCannotTakeTheBlockNow() {
        QFETCH(Target, target);
        QFETCH(int, error);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QByteArray encodedPath = QFile::encodeName(path);
        const bool isPipe = target == Target::PipeWithoutReader;
        if (isPipe) {
            QCOMPARE(mkfifo(encodedPath.constData(), 0600), 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kEarlier);
        }

        // When a child process appends a block
        const rlim_t sizeLimit = target == Target::FileSizeLimit
                                     ? static_cast<rlim_t>(kEarlier.size() + 5)
                                     : RLIM_INFINITY;
        const pid_t child = startAppending(path, sizeLimit);
        QVERIFY(child > 0);

        // Then it ends on its own and reports the error,
        QCOMPARE(outcomeOf(child), error);
        // nothing of the block is left in a file,
        if (!isPipe) {
            QCOMPARE(readAll(path), kEarlier);
        }
        // and with the cause gone the next block arrives whole.
        if (isPipe) {
            const int reader = openReader(path);
            QVERIFY(reader >= 0);
            tav::appendToFile(path, kBlock);
            const QByteArray arrived = readPipe(reader);
            close(reader);
            QCOMPARE(arrived, kBlock.toLatin1());
        } else {
            tav::appendToFile(path, kBlock);
            QCOMPARE(readAll(path), kEarlier + kBlock.toLatin1());
        }
    }
};

QTEST_GUILESS_MAIN(TestAppendTargets)
#include "tst_appendtargets.moc"
