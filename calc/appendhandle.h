#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>

namespace tav {

// The result file, opened for appending one block and closed again on every
// path. Each step answers 0, or the error number of what went wrong, so that
// the caller can take a block back before it reports the error.
//
// Every window of the program takes the file's lock before it reads the size
// and holds it until the block is written or taken back; a take-back thus
// never removes another window's block. Nothing here waits for long or ends
// the program: a pipe without a reader, a lock that stays taken, a pipe
// whose reader left and a file size limit are errors like a full disk.
class AppendHandle {
public:
    AppendHandle() = default;
    ~AppendHandle();
    AppendHandle(const AppendHandle&) = delete;
    AppendHandle& operator=(const AppendHandle&) = delete;

    // Opens `path` for writing at its end, creating the file when missing.
    int open(const QString& path);
    // Takes the lock, waiting a moment for another writer to finish. Where
    // the file system has no locks the block is written without one.
    int lock();
    // The size of a plain file, or -1 for a target that cannot be cut back
    // (a pipe, a device).
    qint64 size() const;
    // Writes all of `bytes`.
    int write(const QByteArray& bytes);
    // Cuts the file back to `size`; -1 leaves it as it is.
    void truncate(qint64 size);
    // Releases the lock and closes the file.
    int close();

private:
    // How long a block waits for another writer of the file. The program's
    // windows hold the lock only while they write one block, so this is
    // ample; a lock held longer is another program's, and the user hears of
    // it rather than looking at a frozen window.
    static constexpr std::chrono::milliseconds kLockWait{2000};

    void unlock();

    // The system's handle of the open file (a descriptor, or a Windows
    // HANDLE); -1 while none is open.
    qintptr m_handle = -1;
    // Windows keeps a lock until it is released or, some time after, the
    // file closed; POSIX drops it with the file.
    bool m_locked = false;
};

}  // namespace tav
