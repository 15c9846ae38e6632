#pragma once

// What the tests of every folder share: the locales they set and the bytes of a
// written file.

#include <QtTest>

#include "runtimeerror.h"

namespace tav::test {

// The locales the tests set on purpose, whatever the machine's.
inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
inline const QLocale kGerman(QLocale::German, QLocale::Germany);

// The error `action` raised; one numbered 0 when it raised none.
template <typename Action>
RuntimeError raisedBy(const Action& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error;
    }
    return RuntimeError(0);
}

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tav::test
