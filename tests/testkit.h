#pragma once

// What the tests of every folder share: the locales they set and the bytes of a
// written file.

#include <QtTest>

namespace tav::test {

// The locales the tests set on purpose, whatever the machine's.
inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
inline const QLocale kGerman(QLocale::German, QLocale::Germany);

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tav::test
