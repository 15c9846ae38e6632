#include <QtTest>
#include <cmath>
#include <limits>

#include "calctest.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "ratesearch.h"
#include "runtimeerror.h"

using namespace tav::testing;

namespace {}  // namespace

class TestRateSearch : public QObject {
    Q_OBJECT

private slots:
    void findsTheRate_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("years");
        QTest::addColumn<QString>("shown");

        QTest::newRow("doubling in 10 years")
            << kEnglish << 1000.0 << 2000.0 << 10.0 << "7.17734625362";
        QTest::newRow("doubling in 10 years, German")
            << kGerman << 1000.0 << 2000.0 << 10.0 << "7,17734625362";
        QTest::newRow("10% in one year rounds up to 10")
            << kEnglish << 1000.0 << 1100.0 << 1.0 << "10";
        QTest::newRow("falling capital") << kEnglish << 2000.0 << 1000.0 << 1.0 << "-50";
        QTest::newRow("equal capitals show an unsigned zero")
            << kEnglish << 1000.0 << 1000.0 << 1.0 << "0";
        QTest::newRow("equal capitals over 7 years") << kEnglish << 5.0 << 5.0 << 7.0 << "0";
        QTest::newRow("fractional period")
            << kEnglish << 1000.0 << 1500.0 << 2.5 << "17.60790225246";
        QTest::newRow("fractional period, German")
            << kGerman << 1000.0 << 1500.0 << 2.5 << "17,60790225246";
        QTest::newRow("the largest rate searched") << kEnglish << 1.0 << 1000.0 << 1.0 << "99900";
        QTest::newRow("capital almost gone") << kEnglish << 1e12 << 1e-12 << 1.0 << "-100";
    }
    void findsTheRate() {
        QFETCH(QLocale, locale);
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, years);
        QFETCH(QString, shown);

        const tav::RateSearchResult result = tav::searchInterestRate(start, final, years, locale);
        QCOMPARE(tav::numberToText(result.rate, locale), shown);
        QCOMPARE(result.ratio, final / start);
    }

    void keepsTheSearchedFactor() {
        // The digit-by-digit search lands just below the exact factor, with
        // the rounding of its own history of additions.
        const tav::RateSearchResult result = tav::searchInterestRate(1000, 2000, 10, kEnglish);
        QCOMPARE(result.factor, 1.0717734625362012);
        QVERIFY(result.power >= result.ratio);
    }

    void landsJustBelowTheExactFactor_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("years");

        QTest::newRow("doubling in 10 years") << 1000.0 << 2000.0 << 10.0;
        QTest::newRow("one year") << 1000.0 << 1100.0 << 1.0;
        QTest::newRow("fractional period") << 1000.0 << 1500.0 << 2.5;
        QTest::newRow("short period") << 100.0 << 101.0 << 0.25;
        QTest::newRow("long period") << 1.0 << 3.0 << 300.0;
        QTest::newRow("falling over 3 years") << 1000.0 << 700.0 << 3.0;
        QTest::newRow("near the bound") << 1.0 << 999999.0 << 2.0;
        QTest::newRow("factor of nines") << 1.0 << 1.0299999999999 << 1.0;
    }
    void landsJustBelowTheExactFactor() {
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, years);

        const tav::RateSearchResult result = tav::searchInterestRate(start, final, years, kEnglish);
        const double exactFactor = std::pow(final / start, 1.0 / years);
        QVERIFY2(std::pow(result.factor, years) < result.ratio, "the factor's power stays below");
        QVERIFY2(exactFactor - result.factor < 1e-12 * std::max(1.0, exactFactor),
                 qPrintable(QString::number(exactFactor - result.factor, 'g', 17)));
        const double exactRate = (exactFactor - 1) * 100;
        QVERIFY(std::fabs(result.rate - exactRate) < 1e-9 * std::max(1.0, exactFactor));
    }

    void refusesTargetsBeyondTheBound_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("years");

        QTest::newRow("just above a factor of 1000") << 1.0 << 1000.001 << 1.0;
        QTest::newRow("largest ratio the fields allow") << 1e-12 << 9999999999999.0 << 1.0;
        QTest::newRow("large ratio over two years") << 1.0 << 1.000001e6 << 2.0;
        QTest::newRow("doubling in a hundredth of a year") << 1.0 << 2.0 << 0.01;
        QTest::newRow("growth in no time at all") << 1.0 << 2.0 << 1e-300;
        QTest::newRow("zero years would never reach the target") << 1.0 << 2.0 << 0.0;
        QTest::newRow("negative years never reach a larger target") << 1.0 << 1000.0 << -1.0;
        QTest::newRow("not-a-number years")
            << 1.0 << 2.0 << std::numeric_limits<double>::quiet_NaN();
    }
    void refusesTargetsBeyondTheBound() {
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, years);

        QCOMPARE(errorNumberOf([&] { tav::searchInterestRate(start, final, years, kEnglish); }),
                 tav::ErrorNumber::RateOutOfRange);
    }

    void explainsTheRefusalInEveryLanguage() {
        for (const tav::Language language : tav::kAllLanguages) {
            try {
                tav::searchInterestRate(1, 1e6, 1, kEnglish);
                QFAIL("no error raised");
            } catch (const tav::RuntimeError& error) {
                QVERIFY(error.description(language).contains(QStringLiteral("99900")));
            }
        }
    }

    void reportsOverflowOfThePower_data() {
        QTest::addColumn<double>("years");
        QTest::newRow("a hundred thousand years") << 1e5;
        QTest::newRow("a million years") << 1e6;
    }
    void reportsOverflowOfThePower() {
        QFETCH(double, years);
        QCOMPARE(errorNumberOf([&] { tav::searchInterestRate(1000, 2000, years, kEnglish); }),
                 tav::ErrorNumber::Overflow);
    }

    void dividesTheCapitalsFirst() {
        QCOMPARE(errorNumberOf([] { tav::searchInterestRate(0, 2000, 10, kEnglish); }),
                 tav::ErrorNumber::DivisionByZero);
        QCOMPARE(errorNumberOf([] { tav::searchInterestRate(1e-300, 1e300, 10, kEnglish); }),
                 tav::ErrorNumber::Overflow);
    }
};

QTEST_GUILESS_MAIN(TestRateSearch)
#include "tst_ratesearch.moc"
