#include <QtTest>
#include <cfloat>

#include "calctest.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "stagedmodel.h"

using tav::StagedOutcome;
using tav::StagedStorage;
using namespace tav::testing;

Q_DECLARE_METATYPE(tav::StagedOutcome)

namespace {

// What must hold after every press: while an entry is under way the count lies
// below the years, the stored years fill the first entries, the running
// capital is the last stored one and every higher entry is zero.
void verifyInvariants(const StagedStorage& s) {
    if (s.c == 0) {
        return;  // ready: nothing stored yet (or just reset)
    }
    QVERIFY(s.c >= 1);
    QVERIFY(s.c <= s.a);
    QVERIFY(s.a <= tav::kStagedMaxYears);
    const auto stored = static_cast<std::size_t>(s.c);
    if (s.c < s.a) {
        QCOMPARE(s.Zs, s.Stufen_Zs[stored - 1]);
    }
    for (std::size_t i = 0; i < stored; ++i) {
        QVERIFY(s.Stufen_i[i] != 0);
        QVERIFY(s.Stufen_Zs[i] != 0);
    }
    for (std::size_t i = stored; i < tav::kStagedSlots; ++i) {
        QCOMPARE(s.Stufen_i[i], 0.0);
        QCOMPARE(s.Stufen_Zs[i], 0.0);
    }
}

bool isAllZero(const StagedStorage& s) {
    const auto zero = [](const tav::StagedArray& values) {
        return std::all_of(values.begin(), values.end(), [](double v) { return v == 0.0; });
    };
    return s.a == 0 && s.Zs == 0 && s.c == 0 && zero(s.Stufen_i) && zero(s.Stufen_Zs);
}

bool sameState(const StagedStorage& x, const StagedStorage& y) {
    return x.a == y.a && x.Zs == y.Zs && x.c == y.c && x.Stufen_i == y.Stufen_i &&
           x.Stufen_Zs == y.Stufen_Zs;
}

}  // namespace

class TestStagedModel : public QObject {
    Q_OBJECT

private slots:
    void threeYearsPressByPress_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("shownFinal");
        QTest::newRow("English desktop") << kEnglish << "112.48";
        QTest::newRow("German desktop") << kGerman << "112,48";
    }
    void threeYearsPressByPress() {
        QFETCH(QLocale, locale);
        QFETCH(QString, shownFinal);

        // Given 100 over 3 years, when the rates 5, 4 and 3 are pressed in,
        // then the capital runs 105, 109.2, 112.476 and ends at 112.48.
        StagedStorage s;

        tav::StagedPress press = tav::pressStaged(s.state(), 3, 100, 5, locale);
        QCOMPARE(press.outcome, StagedOutcome::NextYearDue);
        QCOMPARE(press.calculateCaption, false);
        QCOMPARE(s.c, qint16(1));
        QCOMPARE(s.a, 3.0);
        QCOMPARE(s.Zs, 105.0);
        verifyInvariants(s);

        // The start capital is read on the first press only.
        press = tav::pressStaged(s.state(), 3, 999999, 4, locale);
        QCOMPARE(press.outcome, StagedOutcome::NextYearDue);
        QCOMPARE(press.calculateCaption, true);
        QCOMPARE(s.c, qint16(2));
        QCOMPARE(s.Zs, 109.2);
        verifyInvariants(s);

        press = tav::pressStaged(s.state(), 3, 999999, 3, locale);
        QCOMPARE(press.outcome, StagedOutcome::Completed);
        QCOMPARE(press.calculateCaption, false);
        QCOMPARE(press.finalCapital, 112.48);
        QCOMPARE(tav::numberToText(press.finalCapital, locale), shownFinal);
        QCOMPARE(s.c, qint16(3));
        QCOMPARE(s.Zs, 112.48);
        verifyInvariants(s);

        // Only the final capital is rounded; the years keep full precision.
        QCOMPARE(s.Stufen_i[0], 5.0);
        QCOMPARE(s.Stufen_i[1], 4.0);
        QCOMPARE(s.Stufen_i[2], 3.0);
        QCOMPARE(s.Stufen_Zs[0], 105.0);
        QCOMPARE(s.Stufen_Zs[1], 109.2);
        QVERIFY(std::fabs(s.Stufen_Zs[2] - 112.476) < 1e-12);

        s.state().reset();
        QVERIFY(isAllZero(s));
    }

    void oneYearCompletesAtOnce_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("shown");
        QTest::newRow("100 at 5%") << 100.0 << 5.0 << "105";
        QTest::newRow("half a cent rounds up") << 1.0 << 0.5 << "1.01";
        QTest::newRow("fraction of a per cent") << 1000.0 << 0.25 << "1002.5";
    }
    void oneYearCompletesAtOnce() {
        QFETCH(double, start);
        QFETCH(double, rate);
        QFETCH(QString, shown);

        StagedStorage s;
        const tav::StagedPress press = tav::pressStaged(s.state(), 1, start, rate, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::Completed);
        QCOMPARE(press.calculateCaption, true);
        QCOMPARE(tav::numberToText(press.finalCapital, kEnglish), shown);
        QCOMPARE(s.c, qint16(1));
        QCOMPARE(s.Stufen_i[0], rate);
    }

    void twentyYears() {
        // Given twenty years at 1% each, the calculate caption is due after the
        // 19th press and the 20th press completes with 100 * 1.01^20.
        StagedStorage s;
        for (int year = 1; year <= 20; ++year) {
            const tav::StagedPress press = tav::pressStaged(s.state(), 20, 100, 1, kEnglish);
            verifyInvariants(s);
            QCOMPARE(s.c, qint16(year));
            if (year < 20) {
                QCOMPARE(press.outcome, StagedOutcome::NextYearDue);
                QCOMPARE(press.calculateCaption, year == 19);
            } else {
                QCOMPARE(press.outcome, StagedOutcome::Completed);
                QCOMPARE(tav::numberToText(press.finalCapital, kEnglish), QStringLiteral("122.02"));
            }
        }
        QCOMPARE(s.Stufen_Zs[20], 0.0);
        // A further press would store a twenty-first year: refused untouched.
        const StagedStorage before = s;
        QCOMPARE(errorNumberOf([&] { tav::pressStaged(s.state(), 20, 100, 1, kEnglish); }),
                 tav::ErrorNumber::SubscriptOutOfRange);
        QVERIFY(sameState(s, before));
    }

    void twoYearsGoStraightToTheLastYear() {
        StagedStorage s;
        const tav::StagedPress press = tav::pressStaged(s.state(), 2, 100, 10, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::NextYearDue);
        QCOMPARE(press.calculateCaption, true);
        verifyInvariants(s);
    }

    void fractionalYearsResetEverything_data() {
        QTest::addColumn<double>("years");
        QTest::addColumn<int>("pressesBefore");
        QTest::newRow("two and a half at the first press") << 2.5 << 0;
        QTest::newRow("two and a half in the middle of an entry") << 2.5 << 2;
        QTest::newRow("a tiny fraction") << 3.000001 << 1;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 1;
    }
    void fractionalYearsResetEverything() {
        QFETCH(double, years);
        QFETCH(int, pressesBefore);

        StagedStorage s;
        for (int i = 0; i < pressesBefore; ++i) {
            tav::pressStaged(s.state(), 5, 100, 3, kEnglish);
        }
        const tav::StagedPress press = tav::pressStaged(s.state(), years, 100, 3, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::NotWholeNumber);
        QVERIFY(isAllZero(s));
    }

    void yearsOutOfRangeStoreNothing_data() {
        QTest::addColumn<double>("years");
        QTest::newRow("21") << 21.0;
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -3.0;
        QTest::newRow("huge") << 1e9;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
    }
    void yearsOutOfRangeStoreNothing() {
        QFETCH(double, years);

        StagedStorage s;
        tav::pressStaged(s.state(), 4, 100, 3, kEnglish);
        const StagedStorage before = s;
        const tav::StagedPress press = tav::pressStaged(s.state(), years, 100, 3, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::YearsOutOfRange);
        QVERIFY(sameState(s, before));
    }

    void overflowLeavesTheStateAsItWas_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("pressesBefore");
        QTest::newRow("first year beyond the double range") << 1e308 << 100.0 << 0;
        QTest::newRow("later year beyond the double range") << 1e307 << 900.0 << 1;
        QTest::newRow("final rounding past the largest number") << DBL_MAX << 1e-300 << 0;
    }
    void overflowLeavesTheStateAsItWas() {
        QFETCH(double, start);
        QFETCH(double, rate);
        QFETCH(int, pressesBefore);

        StagedStorage s;
        const double years = pressesBefore + 1.0;
        for (int i = 0; i < pressesBefore; ++i) {
            tav::pressStaged(s.state(), years, start, rate, kEnglish);
        }
        const StagedStorage before = s;
        QCOMPARE(errorNumberOf([&] { tav::pressStaged(s.state(), years, start, rate, kEnglish); }),
                 tav::ErrorNumber::Overflow);
        QVERIFY(sameState(s, before));
    }

    void countOutsideTheModelIsASubscriptError_data() {
        QTest::addColumn<qint16>("count");
        QTest::addColumn<double>("storedYears");
        QTest::addColumn<double>("years");
        QTest::newRow("years lowered below the count") << qint16(3) << 5.0 << 3.0;
        QTest::newRow("count at the last slot") << qint16(20) << 20.0 << 20.0;
        QTest::newRow("negative count") << qint16(-1) << 5.0 << 5.0;
        QTest::newRow("16-bit maximum") << qint16(32767) << 20.0 << 20.0;
    }
    void countOutsideTheModelIsASubscriptError() {
        QFETCH(qint16, count);
        QFETCH(double, storedYears);
        QFETCH(double, years);

        StagedStorage s;
        s.a = storedYears;
        s.c = count;
        const StagedStorage before = s;
        QCOMPARE(errorNumberOf([&] { tav::pressStaged(s.state(), years, 100, 3, kEnglish); }),
                 tav::ErrorNumber::SubscriptOutOfRange);
        QVERIFY(sameState(s, before));
    }

    void resetReachesTheWindowsOwnVariables() {
        // The state refers to variables kept elsewhere; reset must zero those.
        double a = 7;
        double Zs = 123.4;
        qint16 c = 3;
        tav::StagedArray rates{};
        tav::StagedArray capitals{};
        rates.fill(2.5);
        capitals.fill(99);
        const tav::StagedState state{a, Zs, c, rates, capitals};
        state.reset();
        QCOMPARE(a, 0.0);
        QCOMPARE(Zs, 0.0);
        QCOMPARE(c, qint16(0));
        QCOMPARE(rates, tav::StagedArray{});
        QCOMPARE(capitals, tav::StagedArray{});
    }

    void aNewEntryAfterCompletionStartsFromTheNewCapital() {
        StagedStorage s;
        tav::pressStaged(s.state(), 1, 100, 5, kEnglish);
        s.state().reset();
        const tav::StagedPress press = tav::pressStaged(s.state(), 2, 200, 5, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::NextYearDue);
        QCOMPARE(s.Zs, 210.0);
    }
};

QTEST_GUILESS_MAIN(TestStagedModel)
#include "tst_stagedmodel.moc"
