#include "userstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lockretry.h"
#include "registryfile.h"

namespace tav::win::detail {

namespace {

// Long enough for another copy of the program to finish a write, short
// enough that a user does not think the program hangs.
constexpr std::chrono::milliseconds kLockWait{10000};

QMutex g_writeMutex;  // one writer per process; the file lock guards between processes
QMutex g_failureMutex;
LONG g_lastFailureCode = ERROR_SUCCESS;
QString g_lastFailure;

LONG fail(LONG code, const QString& reason) {
    QMutexLocker locker(&g_failureMutex);
    g_lastFailureCode = code;
    g_lastFailure = reason;
    return code;
}

// An exclusive lock on a file next to the settings. The system drops it
// when the process ends, so a crash never leaves the settings locked.
class FileLock {
public:
    explicit FileLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)),
          m_error(m_fd < 0 ? errno : 0) {}
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() {
        if (m_fd >= 0) {
            ::close(m_fd);  // releases the lock
        }
    }

    LockAttempt lock(std::chrono::milliseconds wait) {
        if (m_fd < 0) {
            return LockAttempt::Failed;
        }
        return retryLock(wait, [this] {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                return LockAttempt::Taken;
            }
            if (errno == EWOULDBLOCK || errno == EINTR) {
                return LockAttempt::Busy;
            }
            m_error = errno;
            return LockAttempt::Failed;
        });
    }
    // Why locking failed.
    QString errorString() const { return qt_error_string(m_error); }

private:
    int m_fd;
    int m_error;
};

LONG readFile(const QString& path, RegistryKey& root) {
    // Only a file that is not there means no settings. A folder on the way
    // that cannot be entered, or a part of the path that is a file, fails a
    // read as it fails a write to the same place.
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return ERROR_SUCCESS;
        }
        return fail(ERROR_REGISTRY_IO_FAILED,
                    QStringLiteral("%1 cannot be read: %2").arg(path, qt_error_string(error)));
    }
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        return fail(ERROR_REGISTRY_IO_FAILED,
                    QStringLiteral("%1 cannot be read: it is not a file").arg(path));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(ERROR_REGISTRY_IO_FAILED,
                    QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return fail(ERROR_REGISTRY_IO_FAILED,
                    QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    }
    QString error;
    if (!parseRegistry(text, root, error)) {
        return fail(ERROR_BADDB, QStringLiteral("%1, %2").arg(path, error));
    }
    return ERROR_SUCCESS;
}

}  // namespace

QString userStorePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/tavrin/registry.ini");
}

LONG readUserStore(RegistryKey& root) {
    return readFile(userStorePath(), root);
}

LONG modifyUserStore(const std::function<LONG(RegistryKey& root, bool& changed)>& change) {
    QMutexLocker writer(&g_writeMutex);
    const QString path = userStorePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return fail(ERROR_REGISTRY_IO_FAILED, QStringLiteral("%1 cannot be created").arg(folder));
    }

    FileLock lock(path + QStringLiteral(".lock"));
    switch (lock.lock(kLockWait)) {
        case LockAttempt::Taken:
            break;
        case LockAttempt::Busy:
            return fail(ERROR_LOCK_VIOLATION,
                        QStringLiteral("%1 stayed locked by another program").arg(path));
        case LockAttempt::Failed:
            return fail(ERROR_REGISTRY_IO_FAILED,
                        QStringLiteral("%1 cannot be locked: %2").arg(path, lock.errorString()));
    }

    RegistryKey root;
    if (const LONG rc = readFile(path, root); rc != ERROR_SUCCESS) {
        return rc;
    }
    bool changed = false;
    if (const LONG rc = change(root, changed); rc != ERROR_SUCCESS || !changed) {
        return rc;
    }

    const QByteArray text = serializeRegistry(root);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return fail(ERROR_REGISTRY_IO_FAILED,
                    QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
    }
    return ERROR_SUCCESS;
}

QString lastUserStoreFailure(LONG code) {
    QMutexLocker locker(&g_failureMutex);
    return code == g_lastFailureCode ? g_lastFailure : QString();
}

}  // namespace tav::win::detail
