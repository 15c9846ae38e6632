#include <QtTest>
#include <cmath>

#include "calctest.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "ratesearch.h"

using namespace tav::testing;

class TestRateSearch : public QObject {
    Q_OBJECT

private slots:
    void findsTheRate_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("years");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("error");
        const int outOfRange = tav::ErrorNumber::RateOutOfRange;
        QTest::newRow("doubling in 10 years")
            << kEnglish << 1e3 << 2e3 << 10.0 << "7.17734625362" << 0;
        QTest::newRow("decimal comma") << kGerman << 1e3 << 2e3 << 10.0 << "7,17734625362" << 0;
        QTest::newRow("rounds up to 10") << kEnglish << 1e3 << 1100.0 << 1.0 << "10" << 0;
        QTest::newRow("falling capital") << kEnglish << 2e3 << 1e3 << 1.0 << "-50" << 0;
        for (const double years : {1.0, 0.5, 1e-10, 1e-300}) {
            QTest::addRow("equal capitals in %g years", years)
                << kEnglish << 1e3 << 1e3 << years << "0" << 0;
        }
        QTest::newRow("fractional years")
            << kEnglish << 1e3 << 1500.0 << 2.5 << "17.60790225246" << 0;
        QTest::newRow("largest rate searched") << kEnglish << 1.0 << 1e3 << 1.0 << "99900" << 0;
        QTest::newRow("capital almost gone") << kEnglish << 1e12 << 1e-12 << 1.0 << "-100" << 0;
        QTest::newRow("just above the bound")
            << kEnglish << 1.0 << 1000.001 << 1.0 << "" << outOfRange;
        QTest::newRow("largest ratio of the fields")
            << kEnglish << 1e-12 << 9999999999999.0 << 1.0 << "" << outOfRange;
        QTest::newRow("a hundredth of a year")
            << kEnglish << 1.0 << 2.0 << 0.01 << "" << outOfRange;
        QTest::newRow("no time at all") << kEnglish << 1.0 << 2.0 << 1e-300 << "" << outOfRange;
        QTest::newRow("zero years") << kEnglish << 1.0 << 2.0 << 0.0 << "" << outOfRange;
        QTest::newRow("negative years") << kEnglish << 1.0 << 1e3 << -1.0 << "" << outOfRange;
        QTest::newRow("not-a-number years")
            << kEnglish << 1.0 << 2.0 << qQNaN() << "" << outOfRange;
        QTest::newRow("power overflows")
            << kEnglish << 1e3 << 2e3 << 1e5 << "" << tav::ErrorNumber::Overflow;
        QTest::newRow("ratio overflows")
            << kEnglish << 1e-300 << 1e300 << 10.0 << "" << tav::ErrorNumber::Overflow;
        QTest::newRow("zero start")
            << kEnglish << 0.0 << 2e3 << 10.0 << "" << tav::ErrorNumber::DivisionByZero;
    }
    void findsTheRate() {
        QFETCH(QLocale, locale);
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, years);
        QFETCH(QString, shown);
        QFETCH(int, error);
        tav::RateSearchResult result{};
        QCOMPARE(
            errorNumberOf([&] { result = tav::searchInterestRate(start, final, years, locale); }),
            error);
        if (error == 0) {
            QCOMPARE(tav::numberToText(result.rate, locale), shown);
        }
    }

    // The digit-by-digit search lands just below the exact factor: its power
    // stays below the ratio, within the last digits.
    void landsJustBelowTheExactFactor_data() {
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("years");
        QTest::newRow("long period") << 3.0 << 300.0;
        QTest::newRow("falling") << 0.7 << 3.0;
        QTest::newRow("factor of nines") << 1.0299999999999 << 1.0;
    }
    void landsJustBelowTheExactFactor() {
        QFETCH(double, final);
        QFETCH(double, years);
        const tav::RateSearchResult result = tav::searchInterestRate(1, final, years, kEnglish);
        const double exactFactor = std::pow(final, 1.0 / years);
        QVERIFY(std::pow(result.factor, years) < result.ratio);
        QVERIFY(exactFactor - result.factor < 1e-12 * std::max(1.0, exactFactor));
    }

    void keepsTheSearchedFactor() {
        const tav::RateSearchResult result = tav::searchInterestRate(1000, 2000, 10, kEnglish);
        QCOMPARE(result.factor, 1.0717734625362012);
        QVERIFY(result.power >= result.ratio);
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
};

QTEST_GUILESS_MAIN(TestRateSearch)
#include "tst_ratesearch.moc"
