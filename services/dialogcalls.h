#pragma once

// The file and folder dialogs in the form in which each platform takes its
// texts. Windows gets the wide (UTF-16) calls: a path reaches the program
// whatever its characters, where the ANSI calls would put a look-alike or a
// "?" in place of a letter outside the code page. Elsewhere the platform
// layer's ANSI calls, whose code page, UTF-8, holds any path.

#include <QString>
#include <string>

#include "ansitext.h"
#include "platform/win32api.h"

namespace tav::dialogs {

#ifdef Q_OS_WIN

using Char = wchar_t;
using FileRequest = OPENFILENAMEW;
using FolderRequest = BROWSEINFOW;

inline BOOL showOpenDialog(FileRequest* request) {
    return GetOpenFileNameW(request);
}
inline BOOL showSaveDialog(FileRequest* request) {
    return GetSaveFileNameW(request);
}
inline PIDLIST_ABSOLUTE browseForFolder(FolderRequest* request) {
    return SHBrowseForFolderW(request);
}
inline BOOL pathFromIdList(PCIDLIST_ABSOLUTE list, Char* path) {
    return SHGetPathFromIDListW(list, path);
}

#else

using Char = char;
using FileRequest = win::OPENFILENAMEA;
using FolderRequest = win::BROWSEINFOA;

inline win::BOOL showOpenDialog(FileRequest* request) {
    return win::GetOpenFileNameA(request);
}
inline win::BOOL showSaveDialog(FileRequest* request) {
    return win::GetSaveFileNameA(request);
}
inline win::PIDLIST_ABSOLUTE browseForFolder(FolderRequest* request) {
    return win::SHBrowseForFolderA(request);
}
inline win::BOOL pathFromIdList(win::PCIDLIST_ABSOLUTE list, Char* path) {
    return win::SHGetPathFromIDListA(list, path);
}

#endif

// A text as the dialogs take it, NULs inside it included; the string keeps
// one more NUL behind its end, the terminator a call needs.
using Text = std::basic_string<Char>;

inline Text toDialogText(const QString& text) {
#ifdef Q_OS_WIN
    return text.toStdWString();
#else
    return toAnsi(text).toStdString();
#endif
}

inline QString fromDialogText(const Text& text) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(text);
#else
    return fromAnsi(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
#endif
}

}  // namespace tav::dialogs
