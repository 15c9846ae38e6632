// The result file on POSIX systems: a descriptor of its own, an flock() lock,
// and SIGPIPE and SIGXFSZ held back while a block is written.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <csignal>

#include "appendhandle.h"
#include "errornumbers.h"
#include "filefailure.h"
#include "lockretry.h"

namespace tav {

namespace {

FileFailure failureOf(int code) {
    switch (code) {
        case EACCES:
        case EPERM:
            return FileFailure::NoAccess;
        case ENOSPC:
        case EFBIG:  // a file size limit: the file cannot grow, as on a full disk
#ifdef EDQUOT
        case EDQUOT:
#endif
            return FileFailure::DiskFull;
        case ENOENT:
        case ENOTDIR:
            return FileFailure::Missing;
        default:
            // Such as a pipe without a reader (ENXIO), whose reader left
            // (EPIPE) or that is full (EAGAIN).
            return FileFailure::Other;
    }
}

// Holds SIGPIPE and SIGXFSZ back from the calling thread while it lives: a
// pipe whose reader left or a file size limit then makes write() fail with
// EPIPE or EFBIG instead of ending the program. The process's own handling of
// the signals is left alone. A signal raised meanwhile is taken off again,
// unless it was pending before or the thread held it back already.
class SignalsHeldBack {
public:
    SignalsHeldBack() {
        sigemptyset(&m_signals);
        sigaddset(&m_signals, SIGPIPE);
        sigaddset(&m_signals, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &m_signals, &m_previousMask);
        sigpending(&m_pendingBefore);
    }
    ~SignalsHeldBack() {
        sigset_t pending;
        sigpending(&pending);
        for (const int number : {SIGPIPE, SIGXFSZ}) {
            if (sigismember(&pending, number) == 1 && sigismember(&m_pendingBefore, number) == 0 &&
                sigismember(&m_previousMask, number) == 0) {
                sigset_t one;
                sigemptyset(&one);
                sigaddset(&one, number);
                const timespec now{};
                while (sigtimedwait(&one, nullptr, &now) < 0 && errno == EINTR) {
                }
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
    }
    SignalsHeldBack(const SignalsHeldBack&) = delete;
    SignalsHeldBack& operator=(const SignalsHeldBack&) = delete;

private:
    sigset_t m_signals{};
    sigset_t m_previousMask{};
    sigset_t m_pendingBefore{};
};

}  // namespace

AppendHandle::~AppendHandle() {
    if (m_handle >= 0) {
        ::close(static_cast<int>(m_handle));
    }
}

int AppendHandle::open(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Without O_NONBLOCK a pipe would be waited for until a reader comes.
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return openErrorNumber(failureOf(errno), path);
    }
    m_handle = fd;
    return 0;
}

int AppendHandle::lock() {
    // The lock belongs to this opening of the file, so it also keeps out
    // another opening in the same process. Where the file system has no
    // locks the block is written without one.
    const int fd = static_cast<int>(m_handle);
    const LockAttempt result = retryLock(kLockWait, [fd] {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return LockAttempt::Taken;
        }
        return errno == EWOULDBLOCK || errno == EINTR ? LockAttempt::Busy : LockAttempt::Failed;
    });
    m_locked = result == LockAttempt::Taken;
    return result == LockAttempt::Busy ? ErrorNumber::PermissionDenied : 0;
}

void AppendHandle::unlock() {
    if (m_locked) {
        m_locked = false;
        ::flock(static_cast<int>(m_handle), LOCK_UN);
    }
}

qint64 AppendHandle::size() const {
    struct stat info {};
    if (::fstat(static_cast<int>(m_handle), &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return info.st_size;
}

int AppendHandle::write(const QByteArray& bytes) {
    const SignalsHeldBack heldBack;
    const int fd = static_cast<int>(m_handle);
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written > 0) {
            next += written;
            left -= written;
        } else if (written == 0 || errno != EINTR) {
            return writeErrorNumber(written == 0 ? FileFailure::Other : failureOf(errno));
        }
    }
    return 0;
}

void AppendHandle::truncate(qint64 size) {
    if (size >= 0) {
        while (::ftruncate(static_cast<int>(m_handle), static_cast<off_t>(size)) != 0 &&
               errno == EINTR) {
        }
    }
}

int AppendHandle::close() {
    // A close that reports EINTR has closed the file all the same.
    unlock();
    const int fd = static_cast<int>(m_handle);
    m_handle = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        return writeErrorNumber(failureOf(errno));
    }
    return 0;
}

}  // namespace tav
