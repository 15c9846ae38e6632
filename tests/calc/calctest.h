#pragma once

#include <QFile>
#include <QLocale>
#include <QtTest>
#include <functional>

#include "errornumbers.h"
#include "language.h"
#include "runtimeerror.h"

Q_DECLARE_METATYPE(std::function<QString()>)

namespace tav::testing {

inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
inline const QLocale kGerman(QLocale::German, QLocale::Germany);

// A table row's call, giving its text, or "error N" when it raises error N.
using Calculation = std::function<QString()>;
inline QString raises(int number) {
    return QStringLiteral("error %1").arg(number);
}
inline QString outcomeOf(const Calculation& calculation) {
    try {
        return calculation();
    } catch (const RuntimeError& error) {
        return raises(error.number());
    }
}
inline QTestData& row(const char* name) {
    return QTest::newRow(name);
}
// The columns of such a table and its comparison.
inline void outcomeColumns() {
    QTest::addColumn<Calculation>("calculation");
    QTest::addColumn<QString>("expected");
}
inline void compareOutcome() {
    QFETCH(Calculation, calculation);
    QFETCH(QString, expected);
    QCOMPARE(outcomeOf(calculation), expected);
}
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tav::testing
