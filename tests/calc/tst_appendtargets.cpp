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

using namespace tav::test;

namespace {

const QString kBlock = QStringLiteral("\r\nStarting capital: 1000\r\n");
const QByteArray kEarlier = "earlier line\r\n";

enum class Target { PipeWithoutReader, PipeWhoseReaderLeft, FileSizeLimit, LockedFile, TakenBack };

// Appends kBlock to `path` in a child that keeps the default (ending) actions of
// SIGPIPE and SIGXFSZ, under a file size limit, with descriptor 0 free for the
// file, while `meanwhile` runs. Gives the child's error ("error 0" for none, 253
// when the file stayed open) or "signal N" when one ended it (SIGALRM: it hung).
QString appendInChild(const QString& path, rlim_t limit, const std::function<void()>& meanwhile) {
    const pid_t pid = fork();
    if (pid == 0) {
        closefrom(3);  // the parent's pipe ends and locks stay the parent's
        close(0);
        for (const int number : {SIGPIPE, SIGXFSZ, SIGALRM}) {
            std::signal(number, SIG_DFL);
        }
        alarm(5);
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
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? QStringLiteral("signal %1").arg(WTERMSIG(status))
                               : raises(WEXITSTATUS(status));
}

}  // namespace

Q_DECLARE_METATYPE(Target)

class TestAppendTargets : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    // A target that cannot take the block now is an error, without waiting or ending; the file
    // stays whole and closed, and the next block goes through. Another writer that takes back a
    // half-written block under its lock leaves the program's block saved.
    void appendsToTargets_data() {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("error");
        using namespace tav::ErrorNumber;
        row("pipe without reader") << Target::PipeWithoutReader << PathFileAccess;
        row("pipe whose reader left") << Target::PipeWhoseReaderLeft << PathFileAccess;
        row("file size limit") << Target::FileSizeLimit << DiskFull;
        row("locked by another writer") << Target::LockedFile << PermissionDenied;
        row("another writer's take-back") << Target::TakenBack << 0;
    }
    void appendsToTargets() {
        QFETCH(Target, target);
        QFETCH(int, error);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QByteArray name = QFile::encodeName(path);
        const bool isPipe = target <= Target::PipeWhoseReaderLeft;
        QFile file(path);
        QVERIFY(isPipe ? mkfifo(name.constData(), 0600) == 0
                       : file.open(QIODevice::WriteOnly) &&
                             file.write(kEarlier) == kEarlier.size() && file.flush());
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
                // End of file until the child opens the pipe; then the reader goes.
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
        close(target == Target::LockedFile ? other : -1);  // the lock held until now
        QVERIFY2(opened, "the pipe never opened, or the other writer failed");
        QCOMPARE(outcome, raises(error));
        const QByteArray kept = (isPipe ? "" : kEarlier) + (error == 0 ? kBlock.toLatin1() : "");
        QCOMPARE(isPipe ? kept : fileBytes(path), kept);  // a pipe's reader would wait
        const int reader = isPipe ? openReader() : -1;
        QVERIFY(reader >= 0 || !isPipe);
        tav::appendToFile(path, kBlock);
        QByteArray arrived(4096, '\0');
        arrived.truncate(isPipe ? qMax<ssize_t>(0, read(reader, arrived.data(), 4096)) : 0);
        close(reader);
        QCOMPARE(isPipe ? arrived : fileBytes(path), kept + kBlock.toLatin1());
    }
};

QTEST_GUILESS_MAIN(TestAppendTargets)
#include "tst_appendtargets.moc"
