// The few kernel functions the service classes use.

#include <QByteArray>
#include <QString>
#include <cstring>

#include "userstore.h"
#include "win32api.h"

namespace tav::win {

namespace {

// The system's texts for every code this layer returns, and for the
// registry's own codes (1009 to 1021), so that none of them turns into the
// error that a code without a text gives.
const char* systemText(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return "The operation completed successfully.";
        case ERROR_FILE_NOT_FOUND:
            return "The system cannot find the file specified.";
        case ERROR_ACCESS_DENIED:
            return "Access is denied.";
        case ERROR_INVALID_HANDLE:
            return "The handle is invalid.";
        case ERROR_LOCK_VIOLATION:
            return "The process cannot access the file because another process has locked a "
                   "portion of the file.";
        case ERROR_INVALID_PARAMETER:
            return "The parameter is incorrect.";
        case ERROR_MORE_DATA:
            return "More data is available.";
        case ERROR_NO_MORE_ITEMS:
            return "No more data is available.";
        case ERROR_BADDB:
            return "The configuration registry database is corrupt.";
        case ERROR_BADKEY:
            return "The configuration registry key is invalid.";
        case ERROR_CANTOPEN:
            return "The configuration registry key could not be opened.";
        case ERROR_CANTREAD:
            return "The configuration registry key could not be read.";
        case ERROR_CANTWRITE:
            return "The configuration registry key could not be written.";
        case ERROR_REGISTRY_RECOVERED:
            return "One of the files in the registry database had to be recovered by use of a "
                   "log or alternate copy. The recovery was successful.";
        case ERROR_REGISTRY_CORRUPT:
            return "The registry is corrupted. The structure of one of the files containing "
                   "registry data is corrupted, or the system's memory image of the file is "
                   "corrupted, or the file could not be recovered because the alternate copy or "
                   "log was absent or corrupted.";
        case ERROR_REGISTRY_IO_FAILED:
            // Shorter than the system's text, to leave room for the file and
            // the reason added behind it.
            return "An I/O operation initiated by the registry failed unrecoverably.";
        case ERROR_NOT_REGISTRY_FILE:
            return "The system has attempted to load or restore a file into the registry, but "
                   "the specified file is not in a registry file format.";
        case ERROR_KEY_DELETED:
            return "Illegal operation attempted on a registry key that has been marked for "
                   "deletion.";
        case ERROR_NO_LOG_SPACE:
            return "System could not allocate the required space in a registry log.";
        case ERROR_KEY_HAS_CHILDREN:
            return "Cannot create a symbolic link in a registry key that already has subkeys or "
                   "values.";
        case ERROR_CHILD_MUST_BE_VOLATILE:
            return "Cannot create a stable subkey under a volatile parent key.";
        default:
            return nullptr;
    }
}

bool isStoreFailure(DWORD code) {
    return code == ERROR_LOCK_VIOLATION || code == ERROR_BADDB || code == ERROR_REGISTRY_IO_FAILED;
}

}  // namespace

DWORD FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer, DWORD nSize,
                     va_list*) {
    constexpr DWORD unsupported =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE;
    const char* base = systemText(dwMessageId);
    if (!(dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) || (dwFlags & unsupported) || !base || !lpBuffer) {
        return 0;
    }
    QByteArray text(base);
    // Name the settings file and what is wrong with it, when that still fits.
    if (isStoreFailure(dwMessageId)) {
        const QByteArray detail =
            detail::lastUserStoreFailure(static_cast<LONG>(dwMessageId)).toLocal8Bit();
        if (!detail.isEmpty() && text.size() + 2 + detail.size() + 3 < qsizetype(nSize)) {
            text += " (" + detail + ')';
        }
    }
    text += "\r\n";
    if (static_cast<DWORD>(text.size()) + 1 > nSize) {
        return 0;
    }
    std::memcpy(lpBuffer, text.constData(), static_cast<std::size_t>(text.size()) + 1);
    return static_cast<DWORD>(text.size());
}

DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    if (!lpSrc) {
        return 0;
    }
    const QByteArray source(lpSrc);
    QByteArray result;
    qsizetype pos = 0;
    while (pos < source.size()) {
        const qsizetype open = source.indexOf('%', pos);
        const qsizetype close = open < 0 ? -1 : source.indexOf('%', open + 1);
        if (close < 0) {
            result += source.mid(pos);
            break;
        }
        result += source.mid(pos, open - pos);
        const QByteArray name = source.mid(open + 1, close - open - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.constData())) {
            result += qgetenv(name.constData());
            pos = close + 1;
        } else {
            // Unknown names stay as written; the closing "%" may open the next one.
            result += source.mid(open, close - open);
            pos = close;
        }
    }
    const auto needed = static_cast<DWORD>(result.size()) + 1;
    if (lpDst && nSize >= needed) {
        std::memcpy(lpDst, result.constData(), needed);
    }
    return needed;
}

int lstrlenA(LPCSTR lpString) {
    return lpString ? static_cast<int>(std::strlen(lpString)) : 0;
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
    // Only the program itself is a module here.
    static char program;
    return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(&program);
}

}  // namespace tav::win
