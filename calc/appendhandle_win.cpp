// The result file on Windows, opened with the system's own calls: the path
// reaches the file system in UTF-16 whatever its characters, and a failure
// is told by GetLastError(), which knows a file another program holds open
// from a missing folder.

#include <QDir>
#include <algorithm>

#include "appendhandle.h"
#include "errornumbers.h"
#include "filefailure.h"
#include "lockretry.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tav {

namespace {

FileFailure failureOf(DWORD code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:  // open elsewhere with writing denied
        case ERROR_LOCK_VIOLATION:     // a range locked by another program
        case ERROR_WRITE_PROTECT:
            return FileFailure::NoAccess;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileFailure::DiskFull;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return FileFailure::Missing;
        default:
            // Also ERROR_FILE_NOT_FOUND: a file opened to be created is
            // missing only when its name cannot be one, such as a name longer
            // than the file system allows.
            return FileFailure::Other;
    }
}

HANDLE handleOf(qintptr handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The whole file, from its start to beyond any size it can reach.
constexpr DWORD kWholeFile = MAXDWORD;

}  // namespace

AppendHandle::~AppendHandle() {
    if (m_handle != -1) {
        unlock();
        CloseHandle(handleOf(m_handle));
    }
}

int AppendHandle::open(const QString& path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    // Others may go on reading and writing the file, as with any file the
    // program opens; the lock keeps the writers apart.
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return openErrorNumber(failureOf(GetLastError()), path);
    }
    m_handle = reinterpret_cast<qintptr>(file);
    return 0;
}

int AppendHandle::lock() {
    const HANDLE file = handleOf(m_handle);
    const LockAttempt result = retryLock(kLockWait, [file] {
        OVERLAPPED fromStart{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, kWholeFile,
                       kWholeFile, &fromStart)) {
            return LockAttempt::Taken;
        }
        // A pipe or a device takes no lock; the block goes without one.
        return GetLastError() == ERROR_LOCK_VIOLATION ? LockAttempt::Busy : LockAttempt::Failed;
    });
    m_locked = result == LockAttempt::Taken;
    return result == LockAttempt::Busy ? ErrorNumber::PermissionDenied : 0;
}

void AppendHandle::unlock() {
    if (m_locked) {
        m_locked = false;
        OVERLAPPED fromStart{};
        UnlockFileEx(handleOf(m_handle), 0, kWholeFile, kWholeFile, &fromStart);
    }
}

qint64 AppendHandle::size() const {
    const HANDLE file = handleOf(m_handle);
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        return -1;
    }
    return size.QuadPart;
}

int AppendHandle::write(const QByteArray& bytes) {
    const HANDLE file = handleOf(m_handle);
    // At the end as it is now that the lock keeps other writers out.
    if (GetFileType(file) == FILE_TYPE_DISK &&
        !SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END)) {
        return writeErrorNumber(failureOf(GetLastError()));
    }
    const char* next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const auto chunk = static_cast<DWORD>(std::min<qsizetype>(left, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, next, chunk, &written, nullptr)) {
            return writeErrorNumber(failureOf(GetLastError()));
        }
        if (written == 0) {
            return writeErrorNumber(FileFailure::Other);
        }
        next += written;
        left -= written;
    }
    return 0;
}

void AppendHandle::truncate(qint64 size) {
    if (size >= 0) {
        LARGE_INTEGER position{};
        position.QuadPart = size;
        const HANDLE file = handleOf(m_handle);
        if (SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) {
            SetEndOfFile(file);
        }
    }
}

int AppendHandle::close() {
    unlock();
    const HANDLE file = handleOf(m_handle);
    m_handle = -1;
    return CloseHandle(file) ? 0 : writeErrorNumber(failureOf(GetLastError()));
}

}  // namespace tav
