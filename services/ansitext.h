#pragma once

#include <QByteArray>
#include <QString>

namespace tav {

// Texts travel to the operating system in its ANSI code page: the system's
// code page on Windows, UTF-8 elsewhere. The byte array keeps its own NUL
// behind its last byte, the terminator an API call needs.
inline QByteArray toAnsi(const QString& text) {
    return text.toLocal8Bit();
}
inline QString fromAnsi(QByteArrayView bytes) {
    return QString::fromLocal8Bit(bytes);
}

// Binary registry data travels as text with one character per byte.
QByteArray bytesFromText(const QString& text);  // RuntimeError 5 for a character above 255
inline QString textFromBytes(QByteArrayView bytes) {
    return QString::fromLatin1(bytes);
}

}  // namespace tav
