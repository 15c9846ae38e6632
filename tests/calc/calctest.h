#pragma once

#include <QtTest>
#include <functional>
#include <optional>

#include "../testkit.h"
#include "errornumbers.h"
#include "language.h"
#include "runtimeerror.h"

// A table row's call, giving its text, or "error N" (and its description) when it raises error N.
using Calculation = std::function<QString()>;
Q_DECLARE_METATYPE(Calculation)

namespace tav::test {

inline QString raises(int number) {
    return QStringLiteral("error %1").arg(number);
}
inline QString outcomeOf(const Calculation& calculation, std::optional<Language> described = {}) {
    try {
        return calculation();
    } catch (const RuntimeError& error) {
        return raises(error.number()) + (described ? " " + error.description(*described) : "");
    }
}
inline void outcomeColumns() {
    QTest::addColumn<Calculation>("calculation");
    QTest::addColumn<QString>("expected");
}
inline void compareOutcome() {
    QFETCH(Calculation, calculation);
    QFETCH(QString, expected);
    QCOMPARE(outcomeOf(calculation), expected);
}
}  // namespace tav::test
