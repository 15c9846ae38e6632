#pragma once

#include <QString>

namespace tav {

// Why the system refused a step on the result file, sorted into what the
// user is told. Each platform sorts its own error codes (errno on POSIX,
// GetLastError() on Windows); the numbers follow from the sort alone.
enum class FileFailure {
    NoAccess,  // no write access, or another program holds the file or its lock
    DiskFull,  // the file cannot grow: disk, quota or file size limit
    Missing,   // a folder of the path, or the drive, is not there
    Other,     // anything else, such as a pipe without a reader
};

// The error number for a file that could not be opened for appending. A
// folder at the path is an access error whatever the system said, and a
// path whose folder is not there is "Path not found".
int openErrorNumber(FileFailure failure, const QString& path);

// The error number for a write or close that failed.
int writeErrorNumber(FileFailure failure);

}  // namespace tav
