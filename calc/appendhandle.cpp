#include "appendhandle.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include "errornumbers.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace tav {

namespace {

// How long a block waits for another writer of the file. The program's
// windows hold the lock only while they write one block, so this is ample; a
// lock held longer is another program's, and the user hears of it rather than
// looking at a frozen window.
constexpr std::chrono::milliseconds kLockWait{2000};
constexpr std::chrono::milliseconds kLockRetry{10};

enum class LockAttempt { Taken, Busy, Unsupported };

int waitForLock(const std::function<LockAttempt()>& attempt) {
    const QDeadlineTimer deadline(kLockWait);
    for (;;) {
        if (attempt() != LockAttempt::Busy) {
            return 0;
        }
        if (deadline.hasExpired()) {
            return ErrorNumber::PermissionDenied;
        }
        std::this_thread::sleep_for(kLockRetry);
    }
}

// A file size limit (EFBIG) reads to the user like a full disk: the file
// cannot grow.
bool isDiskFull(int code) {
#ifdef EDQUOT
    if (code == EDQUOT) {
        return true;
    }
#endif
    return code == ENOSPC || code == EFBIG;
}

// Why a file could not be opened for appending, from the system's error code
// and a look at the path.
int openErrorNumber(int code, const QString& path) {
    const QFileInfo info(path);
    if (info.isDir() || code == EISDIR) {
        return ErrorNumber::PathFileAccess;
    }
    if (code == EACCES || code == EPERM) {
        return ErrorNumber::PermissionDenied;
    }
    if (isDiskFull(code)) {
        return ErrorNumber::DiskFull;
    }
    if (code == ENOENT || code == ENOTDIR || !info.absoluteDir().exists()) {
        return ErrorNumber::PathNotFound;
    }
    // The path is there but takes no block now, such as a pipe without a
    // reader (ENXIO).
    return ErrorNumber::PathFileAccess;
}

// A pipe whose reader left (EPIPE) or that is full (EAGAIN) falls to the
// access error.
int writeErrorNumber(int code) {
    if (isDiskFull(code)) {
        return ErrorNumber::DiskFull;
    }
    if (code == EACCES || code == EPERM) {
        return ErrorNumber::PermissionDenied;
    }
    return ErrorNumber::PathFileAccess;
}

#ifndef _WIN32

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

#endif

}  // namespace

#ifdef _WIN32

AppendHandle::~AppendHandle() {
    unlock();
}

int AppendHandle::open(const QString& path) {
    m_file.setFileName(path);
    errno = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return openErrorNumber(errno, path);
    }
    return 0;
}

int AppendHandle::lock() {
    const int descriptor = m_file.handle();
    if (descriptor < 0) {
        return 0;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    return waitForLock([this, handle] {
        // The whole file, from its start to beyond any size it can reach.
        OVERLAPPED fromStart{};
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &fromStart)) {
            m_locked = true;
            return LockAttempt::Taken;
        }
        return GetLastError() == ERROR_LOCK_VIOLATION ? LockAttempt::Busy
                                                      : LockAttempt::Unsupported;
    });
}

void AppendHandle::unlock() {
    if (m_locked) {
        m_locked = false;
        OVERLAPPED fromStart{};
        UnlockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(m_file.handle())), 0, MAXDWORD,
                     MAXDWORD, &fromStart);
    }
}

qint64 AppendHandle::size() const {
    return m_file.isSequential() ? -1 : m_file.size();
}

int AppendHandle::write(const QByteArray& bytes) {
    errno = 0;
    if (m_file.write(bytes) != bytes.size() || !m_file.flush() ||
        m_file.error() != QFileDevice::NoError) {
        return m_file.error() == QFileDevice::ResourceError ? ErrorNumber::DiskFull
                                                            : writeErrorNumber(errno);
    }
    return 0;
}

void AppendHandle::truncate(qint64 size) {
    if (size >= 0) {
        m_file.resize(size);
    }
}

int AppendHandle::close() {
    unlock();
    errno = 0;
    m_file.close();
    return m_file.error() == QFileDevice::NoError ? 0 : writeErrorNumber(errno);
}

#else

AppendHandle::~AppendHandle() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

int AppendHandle::open(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Without O_NONBLOCK a pipe would be waited for until a reader comes.
    do {
        m_fd =
            ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EINTR);
    return m_fd < 0 ? openErrorNumber(errno, path) : 0;
}

int AppendHandle::lock() {
    // The lock belongs to this opening of the file, so it also keeps out
    // another opening in the same process.
    return waitForLock([this] {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            return LockAttempt::Taken;
        }
        return errno == EWOULDBLOCK || errno == EINTR ? LockAttempt::Busy
                                                      : LockAttempt::Unsupported;
    });
}

qint64 AppendHandle::size() const {
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    return info.st_size;
}

int AppendHandle::write(const QByteArray& bytes) {
    const SignalsHeldBack heldBack;
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, next, static_cast<size_t>(left));
        if (written > 0) {
            next += written;
            left -= written;
        } else if (written == 0 || errno != EINTR) {
            return writeErrorNumber(written == 0 ? 0 : errno);
        }
    }
    return 0;
}

void AppendHandle::truncate(qint64 size) {
    if (size >= 0) {
        while (::ftruncate(m_fd, static_cast<off_t>(size)) != 0 && errno == EINTR) {
        }
    }
}

int AppendHandle::close() {
    // The lock ends with the file's last descriptor. A close that reports
    // EINTR has closed the file all the same.
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        return writeErrorNumber(errno);
    }
    return 0;
}

#endif

}  // namespace tav
