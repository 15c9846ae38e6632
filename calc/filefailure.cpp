#include "filefailure.h"

#include <QDir>
#include <QFileInfo>

#include "errornumbers.h"

namespace tav {

int writeErrorNumber(FileFailure failure) {
    switch (failure) {
        case FileFailure::NoAccess:
            return ErrorNumber::PermissionDenied;
        case FileFailure::DiskFull:
            return ErrorNumber::DiskFull;
        case FileFailure::Missing:
        case FileFailure::Other:
            break;
    }
    return ErrorNumber::PathFileAccess;
}

int openErrorNumber(FileFailure failure, const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        return ErrorNumber::PathFileAccess;
    }
    if (failure == FileFailure::Missing) {
        return ErrorNumber::PathNotFound;
    }
    if (failure == FileFailure::Other) {
        // The path is there but takes no block now, unless its folder is gone.
        return info.absoluteDir().exists() ? ErrorNumber::PathFileAccess
                                           : ErrorNumber::PathNotFound;
    }
    return writeErrorNumber(failure);
}

}  // namespace tav
