// Targets that cannot take a block at the moment (a pipe, a file size limit,
// a file another writer holds locked) and two writers on one file. Linux
// only: it drives pipes, resource limits, flock and /proc directly.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QtTest>
#include <csignal>
#include <thread>

#include "errornumbers.h"
#include "resultfile.h"
#include "runtimeerror.h"

namespace {

const QString kBlock = QStringLiteral("\r\nStarting capital: 1000\r\n");
const QByteArray kEarlier = "earlier line\r\n";

// A child that had not ended after this long counts as hanging.
constexpr int kChildTimeLimitMs = 5000;
constexpr int kHung = -1000;

enum class Target { PipeWithoutReader, PipeWhoseReaderLeft, FileSizeLimit, LockedFile };

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

// Whether process `pid` has the file at `path` open for writing, seen
// through /proc.
bool hasOpenForWriting(pid_t pid, const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    const QDir fds(proc + QStringLiteral("fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot)) {
        if (fd.symLinkTarget() != target) {
            continue;
        }
        QFile info(proc + QStringLiteral("fdinfo/") + fd.fileName());
        if (!info.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("flags:") &&
                (line.mid(6).trimmed().toInt(nullptr, 8) & O_ACCMODE) == O_WRONLY) {
                return true;
            }
        }
    }
    return false;
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
        QTest::newRow("pipe whose reader left after the opening")
            << Target::PipeWhoseReaderLeft << tav::ErrorNumber::PathFileAccess;
        QTest::newRow("file size limit within the block")
            << Target::FileSizeLimit << tav::ErrorNumber::DiskFull;
        QTest::newRow("file locked by another writer")
            << Target::LockedFile << tav::ErrorNumber::PermissionDenied;
    }
    void aTargetThatCannotTakeTheBlockNow() {
        QFETCH(Target, target);
        QFETCH(int, error);
        const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        const QByteArray encodedPath = QFile::encodeName(path);
        const bool isPipe =
            target == Target::PipeWithoutReader || target == Target::PipeWhoseReaderLeft;
        int other = -1;  // the reader of the pipe, or another writer holding the lock
        if (isPipe) {
            QCOMPARE(mkfifo(encodedPath.constData(), 0600), 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kEarlier);
        }
        if (target == Target::PipeWhoseReaderLeft) {
            // The lock keeps the child between opening and writing until the
            // reader has gone.
            other = openReader(path);
            QVERIFY(other >= 0);
            QCOMPARE(flock(other, LOCK_EX), 0);
        } else if (target == Target::LockedFile) {
            other = open(encodedPath.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
            QVERIFY(other >= 0);
            QCOMPARE(flock(other, LOCK_EX), 0);
        }

        // When a child process appends a block
        const rlim_t sizeLimit = target == Target::FileSizeLimit
                                     ? static_cast<rlim_t>(kEarlier.size() + 5)
                                     : RLIM_INFINITY;
        const pid_t child = startAppending(path, sizeLimit);
        QVERIFY(child > 0);
        bool opened = true;
        if (target == Target::PipeWhoseReaderLeft) {
            QDeadlineTimer deadline(kChildTimeLimitMs);
            while (!hasOpenForWriting(child, path) && !deadline.hasExpired()) {
                QThread::usleep(200);
            }
            opened = !deadline.hasExpired();
            close(other);  // the reader goes, and the child may write
        }

        // Then it ends on its own and reports the error,
        const int outcome = outcomeOf(child);
        if (target == Target::LockedFile) {
            close(other);
        }
        QVERIFY2(opened, "the child never had the pipe open");
        QCOMPARE(outcome, error);
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

    void aTakeBackRemovesOnlyItsOwnBlock() {
        // Given another writer that has locked the file and taken its size
        const QString path = m_dir.filePath(QStringLiteral("shared.txt"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kEarlier);
        }
        const int other = open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND);
        QVERIFY(other >= 0);
        QCOMPARE(flock(other, LOCK_EX), 0);
        const off_t otherSize = lseek(other, 0, SEEK_END);

        // When this program appends a block meanwhile
        int number = -1;
        std::jthread appending([&] {
            try {
                tav::appendToFile(path, kBlock);
                number = 0;
            } catch (const tav::RuntimeError& error) {
                number = error.number();
            }
        });
        QThread::msleep(200);
        // and the other writer's block fails halfway and is taken back
        QCOMPARE(write(other, "Money at", 8), 8);
        QCOMPARE(ftruncate(other, otherSize), 0);
        close(other);
        appending.join();

        // Then the block reported as saved is in the file.
        QCOMPARE(number, 0);
        QCOMPARE(readAll(path), kEarlier + kBlock.toLatin1());
    }
};

QTEST_GUILESS_MAIN(TestAppendTargets)
#include "tst_appendtargets.moc"
