// Targets that cannot take a block now (a pipe, a file size limit, a file
// another writer holds locked) and two writers on one file, set up directly.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <csignal>

#include "calctest.h"
#include "resultfile.h"

using namespace tav::testing;

namespace {

const QString kBlock = QStringLiteral("\r\nStarting capital: 1000\r\n");
const QByteArray kEarlier = "earlier line\r\n";

enum class Target { PipeWithoutReader, PipeWhoseReaderLeft, FileSizeLimit, LockedFile, TakenBack };

// Appends kBlock to `path` in a child process that keeps the default actions
// of SIGPIPE and SIGXFSZ (both end a process), under a file size limit of
// `sizeLimit` bytes, with descriptor 0 free for the file; runs `meanwhile`.
// Gives the error the child saw ("error 0" for none, 253 when the file stayed
// open), "signal N" when one ended it, or "hung" (it is killed).
QString appendInChild(const QString& path, rlim_t limit, const std::function<void()>& meanwhile) {
    const pid_t pid = fork();
    if (pid == 0) {
        closefrom(3);  // the parent's pipe ends and locks stay the parent's
        close(0);
        std::signal(SIGPIPE, SIG_DFL);
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limits{limit, limit};
        int number = limit == RLIM_INFINITY || setrlimit(RLIMIT_FSIZE, &limits) == 0 ? 0 : 254;
        try {
            tav::appendToFile(path, kBlock);
        } catch (const tav::RuntimeError& error) {
            number = error.number();
        }
        _exit(fcntl(0, F_GETFD) != -1 ? 253 : number);
    }
    meanwhile();
    const QDeadlineTimer deadline(5000);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return QStringLiteral("hung");
        }
        QThread::msleep(5);
    }
    return WIFSIGNALED(status) ? QStringLiteral("signal %1").arg(WTERMSIG(status))
                               : raises(WEXITSTATUS(status));
}

bool writeEarlier(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(kEarlier) == kEarlier.size();
}

}  // namespace

Q_DECLARE_METATYPE(Target)

class TestAppendTargets : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    // A target that cannot take the block now is an error with a number; the
    // program neither waits for it nor ends, keeps the file whole and closes
    // it, and the next block goes through once the target is sound again.
    // Another writer that holds the lock meanwhile and takes back a block
    // that failed halfway leaves the program's block saved.
    void appendsToTargets_data() {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("error");
        row("pipe without reader") << Target::PipeWithoutReader << tav::ErrorNumber::PathFileAccess;
        row("pipe whose reader left")
            << Target::PipeWhoseReaderLeft << tav::ErrorNumber::PathFileAccess;
        row("file size limit") << Target::FileSizeLimit << tav::ErrorNumber::DiskFull;
        row("locked by another writer") << Target::LockedFile << tav::ErrorNumber::PermissionDenied;
        row("another writer's take-back") << Target::TakenBack << 0;
    }
    void appendsToTargets() {
        QFETCH(Target, target);
        QFETCH(int, error);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QByteArray name = QFile::encodeName(path);
        const bool isPipe = target <= Target::PipeWhoseReaderLeft;
        const QByteArray earlier = isPipe ? QByteArray() : kEarlier;
        QVERIFY(isPipe ? mkfifo(name.constData(), 0600) == 0 : writeEarlier(path));
        const auto openReader = [&name] { return open(name.constData(), O_RDONLY | O_NONBLOCK); };
        // The pipe's reader or another writer; its lock holds the child back.
        int other = -1;
        if (target == Target::PipeWhoseReaderLeft || target >= Target::LockedFile) {
            other = isPipe ? openReader() : open(name.constData(), O_WRONLY | O_APPEND);
            QVERIFY(other >= 0 && flock(other, LOCK_EX) == 0);
        }
        bool opened = true;
        const rlim_t limit = target == Target::FileSizeLimit ? kEarlier.size() + 5 : RLIM_INFINITY;
        const QString outcome = appendInChild(path, limit, [&] {
            if (target == Target::PipeWhoseReaderLeft) {
                // The reader sees the end of the file until a writer has the
                // pipe open; then it goes, and the child may write.
                const QDeadlineTimer deadline(5000);
                char byte = 0;
                while (read(other, &byte, 1) == 0 && !deadline.hasExpired()) {
                    QThread::usleep(200);
                }
                opened = !deadline.hasExpired();
                close(other);
            } else if (target == Target::TakenBack) {
                QThread::msleep(200);
                opened = write(other, "Money at", 8) == 8 && ftruncate(other, kEarlier.size()) == 0;
                close(other);
            }
        });
        if (target == Target::LockedFile) {
            close(other);
        }
        QVERIFY2(opened, "the pipe never opened, or the other writer failed");
        QCOMPARE(outcome, raises(error));
        const QByteArray kept = earlier + (error == 0 ? kBlock.toLatin1() : QByteArray());
        QCOMPARE(isPipe ? kept : readAll(path), kept);  // a pipe's reader would wait
        const int reader = isPipe ? openReader() : -1;
        QVERIFY(reader >= 0 || !isPipe);
        tav::appendToFile(path, kBlock);
        QByteArray arrived(4096, '\0');
        arrived.truncate(isPipe ? qMax<ssize_t>(0, read(reader, arrived.data(), 4096)) : 0);
        close(reader);
        QCOMPARE(isPipe ? arrived : readAll(path), kept + kBlock.toLatin1());
    }
};

QTEST_GUILESS_MAIN(TestAppendTargets)
#include "tst_appendtargets.moc"
