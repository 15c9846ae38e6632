#pragma once

#include <QtTest>
#include <optional>

#include "../testkit.h"
#include "runtimeerror.h"

namespace tav::test {

// What a calculation gave: its text, or the error it raised instead.
struct Outcome {
    QString text;
    std::optional<RuntimeError> error;
    int errorNumber() const { return error ? error->number() : 0; }
};

template <typename Calculation>
Outcome outcomeOf(const Calculation& calculation) {
    try {
        return {calculation(), std::nullopt};
    } catch (const RuntimeError& error) {
        return {QString(), error};
    }
}

// The row's columns `expected` (the text, empty after an error) and `error` (0: none raised).
inline void compareOutcome(const Outcome& outcome) {
    QFETCH(QString, expected);
    QFETCH(int, error);
    QCOMPARE(outcome.text, expected);
    QCOMPARE(outcome.errorNumber(), error);
}

inline void outcomeColumns() {
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("error");
}

}  // namespace tav::test
