#include <QtTest>
#include <cfloat>
#include <tuple>

#include "calctest.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "stagedmodel.h"

using namespace tav::testing;
using tav::StagedOutcome;
using tav::StagedStorage;

Q_DECLARE_METATYPE(tav::StagedOutcome)

namespace {

bool sameState(const StagedStorage& x, const StagedStorage& y) {
    return std::tie(x.a, x.Zs, x.c, x.Stufen_i, x.Stufen_Zs) ==
           std::tie(y.a, y.Zs, y.c, y.Stufen_i, y.Stufen_Zs);
}

// The stored years fill the first entries, every higher entry is zero.
void verifyStoredYears(const StagedStorage& s) {
    for (int i = 0; i < tav::kStagedSlots; ++i) {
        QCOMPARE(s.Stufen_i[i] != 0 && s.Stufen_Zs[i] != 0, i < s.c);
    }
}

}  // namespace

class TestStagedModel : public QObject {
    Q_OBJECT

private slots:
    void threeYearsPressByPress() {
        // 100 over 3 years at 5, 4 and 3 %: the capital runs 105, 109.2,
        // 112.476 and ends at 112.48; the start capital is read once only.
        StagedStorage s;
        const struct {
            double start, rate;
            StagedOutcome outcome;
            bool caption;
            double Zs;
        } presses[] = {{100, 5, StagedOutcome::NextYearDue, false, 105},
                       {999999, 4, StagedOutcome::NextYearDue, true, 109.2},
                       {999999, 3, StagedOutcome::Completed, false, 112.48}};
        for (const auto& p : presses) {
            const tav::StagedPress press = tav::pressStaged(s.state(), 3, p.start, p.rate, kGerman);
            QCOMPARE(press.outcome, p.outcome);
            QCOMPARE(press.calculateCaption, p.caption);
            QCOMPARE(s.Zs, p.Zs);
            verifyStoredYears(s);
        }
        QCOMPARE(s.a, 3.0);
        QCOMPARE(tav::numberToText(s.Zs, kGerman), QStringLiteral("112,48"));
        // Only the final capital is rounded; the years keep full precision.
        QCOMPARE(s.Stufen_i[2], 3.0);
        QCOMPARE(s.Stufen_Zs[1], 109.2);
        QVERIFY(std::fabs(s.Stufen_Zs[2] - 112.476) < 1e-12);

        s.state().reset();
        QVERIFY(sameState(s, StagedStorage{}));
        tav::pressStaged(s.state(), 2, 200, 5, kGerman);
        QCOMPARE(s.Zs, 210.0);
    }

    void oneAndTwoYears() {
        // With one year the first press completes; with two the last is due.
        StagedStorage s;
        tav::StagedPress press = tav::pressStaged(s.state(), 1, 1, 0.5, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::Completed);
        QVERIFY(press.calculateCaption);
        QCOMPARE(tav::numberToText(press.finalCapital, kEnglish), QStringLiteral("1.01"));
        s.state().reset();
        press = tav::pressStaged(s.state(), 2, 100, 10, kEnglish);
        QCOMPARE(press.outcome, StagedOutcome::NextYearDue);
        QVERIFY(press.calculateCaption);
    }

    void twentyYears() {
        // The caption is due after the 19th press, the 20th completes.
        StagedStorage s;
        for (int year = 1; year <= 20; ++year) {
            const tav::StagedPress press = tav::pressStaged(s.state(), 20, 100, 1, kEnglish);
            QCOMPARE(s.c, qint16(year));
            QCOMPARE(press.outcome,
                     year < 20 ? StagedOutcome::NextYearDue : StagedOutcome::Completed);
            QCOMPARE(press.calculateCaption, year == 19);
        }
        verifyStoredYears(s);
        QCOMPARE(tav::numberToText(s.Zs, kEnglish), QStringLiteral("122.02"));
        // A twenty-first year is refused and nothing changes.
        const StagedStorage before = s;
        QCOMPARE(errorNumberOf([&] { tav::pressStaged(s.state(), 20, 100, 1, kEnglish); }),
                 tav::ErrorNumber::SubscriptOutOfRange);
        QVERIFY(sameState(s, before));
    }

    // After some presses for 5 years at 3 %, a press with other years: whole
    // numbers outside 1 to 20 store nothing, fractions reset everything.
    void refusesOtherYears_data() {
        QTest::addColumn<double>("years");
        QTest::addColumn<int>("pressesBefore");
        QTest::addColumn<StagedOutcome>("outcome");
        const auto notWhole = StagedOutcome::NotWholeNumber;
        const auto outOfRange = StagedOutcome::YearsOutOfRange;
        QTest::newRow("2.5 during an entry") << 2.5 << 2 << notWhole;
        QTest::newRow("a tiny fraction") << 3.000001 << 1 << notWhole;
        QTest::newRow("not a number") << qQNaN() << 1 << notWhole;
        QTest::newRow("21") << 21.0 << 1 << outOfRange;
        QTest::newRow("negative") << -3.0 << 1 << outOfRange;
        QTest::newRow("infinite") << qInf() << 1 << outOfRange;
    }
    void refusesOtherYears() {
        QFETCH(double, years);
        QFETCH(int, pressesBefore);
        QFETCH(StagedOutcome, outcome);
        StagedStorage s;
        for (int i = 0; i < pressesBefore; ++i) {
            tav::pressStaged(s.state(), 5, 100, 3, kEnglish);
        }
        const StagedStorage before = s;
        QCOMPARE(tav::pressStaged(s.state(), years, 100, 3, kEnglish).outcome, outcome);
        QVERIFY(sameState(s, outcome == StagedOutcome::NotWholeNumber ? StagedStorage{} : before));
    }

    // Faults leave the state as it was.
    void faultsKeepTheState_data() {
        QTest::addColumn<double>("years");
        QTest::addColumn<double>("storedYears");
        QTest::addColumn<qint16>("count");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("error");
        const int overflow = tav::ErrorNumber::Overflow;
        const int subscript = tav::ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("first year overflows")
            << 1.0 << 0.0 << qint16(0) << 1e308 << 100.0 << overflow;
        QTest::newRow("later year overflows")
            << 2.0 << 2.0 << qint16(1) << 1e307 << 900.0 << overflow;
        QTest::newRow("cents past the largest")
            << 1.0 << 0.0 << qint16(0) << DBL_MAX << 1e-300 << overflow;
        QTest::newRow("years lowered below the count")
            << 3.0 << 5.0 << qint16(3) << 100.0 << 3.0 << subscript;
        QTest::newRow("count at the last slot")
            << 20.0 << 20.0 << qint16(20) << 100.0 << 3.0 << subscript;
        QTest::newRow("negative count") << 5.0 << 5.0 << qint16(-1) << 100.0 << 3.0 << subscript;
    }
    void faultsKeepTheState() {
        QFETCH(double, years);
        QFETCH(double, storedYears);
        QFETCH(qint16, count);
        QFETCH(double, start);
        QFETCH(double, rate);
        QFETCH(int, error);
        StagedStorage s;
        s.a = storedYears;
        s.c = count;
        s.Zs = count > 0 ? start * (1 + rate / 100) : 0;
        const StagedStorage before = s;
        QCOMPARE(errorNumberOf([&] { tav::pressStaged(s.state(), years, start, rate, kEnglish); }),
                 error);
        QVERIFY(sameState(s, before));
    }
};

QTEST_GUILESS_MAIN(TestStagedModel)
#include "tst_stagedmodel.moc"
