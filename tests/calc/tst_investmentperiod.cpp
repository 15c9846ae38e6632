#include <QtTest>

#include "calctest.h"
#include "errornumbers.h"
#include "investmentperiod.h"
#include "language.h"

using namespace tav::testing;
using tav::Language;

class TestInvestmentPeriod : public QObject {
    Q_OBJECT

private slots:
    void showsPeriodWithBreakdown_data() {
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("rate");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        // All start from 1000.
        QTest::newRow("doubling, English") << 2000.0 << 5.0 << Language::English << kEnglish
                                           << "14.2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("doubling, German") << 2000.0 << 5.0 << Language::German << kGerman
                                          << "14,2066990828905 (14 Jahre, 2 Monate und 14 Tage)";
        QTest::newRow("English words on a German desktop")
            << 2000.0 << 5.0 << Language::English << kGerman
            << "14,2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("doubling, French keeps 'jour'")
            << 2000.0 << 5.0 << Language::French << kFrench
            << "14,2066990828905 (14 ans, 2 mois et 14 jour)";
        QTest::newRow("one year, German")
            << 1100.0 << 10.0 << Language::German << kEnglish << "1 (1 Jahr, 0 Monate und 0 Tage)";
        QTest::newRow("one year, English")
            << 1100.0 << 10.0 << Language::English << kEnglish << "1 (1 year, 0 months and 0 days)";
        QTest::newRow("one year, Italian")
            << 1100.0 << 10.0 << Language::Italian << kEnglish << "1 (1 anno, 0 mesi e 0 giorni)";
        QTest::newRow("one year, French 'an'")
            << 1100.0 << 10.0 << Language::French << kEnglish << "1 (1 an, 0 mois et 0 jour)";
        QTest::newRow("one day, German") << 1500.0 << 4.0 << Language::German << kGerman
                                         << "10,3380350715077 (10 Jahre, 4 Monate und 1 Tag)";
        QTest::newRow("one day, English") << 1500.0 << 4.0 << Language::English << kEnglish
                                          << "10.3380350715077 (10 years, 4 months and 1 day)";
        // The breakdown is that of the period as shown: 1.9999999999999989
        // years show as 2, and binary rounding must not take a day off 2.3.
        QTest::newRow("two whole years")
            << 1102.5 << 5.0 << Language::English << kEnglish << "2 (2 years, 0 months and 0 days)";
        QTest::newRow("2.3 years") << 4924.5776533796643 << 100.0 << Language::English << kEnglish
                                   << "2.3 (2 years, 3 months and 18 days)";
        QTest::newRow("zero years take the plural")
            << 1010.0 << 5.0 << Language::English << kEnglish
            << "0.203941327571965 (0 years, 2 months and 13 days)";
    }
    void showsPeriodWithBreakdown() {
        QFETCH(double, final);
        QFETCH(double, rate);
        QFETCH(Language, language);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        const tav::InvestmentPeriod period = tav::investmentPeriod(1000, final, rate);
        QCOMPARE(tav::periodText(language, period.years, period.months, period.days, locale),
                 expected);
    }

    void keepsEveryIntermediateValue() {
        // The window keeps these after a result.
        const tav::InvestmentPeriod period = tav::investmentPeriod(1000, 2000, 5);
        QCOMPARE(period.ratio, 2.0);
        QCOMPARE(period.logGrowth, std::log(1.05));
        QCOMPARE(period.logRatio, std::log(2.0));
    }

    void choosesTheSingularByTheWholePartOnly() {
        QCOMPARE(tav::periodText(Language::German, 1.9, 1.5, 1.99, kGerman),
                 QStringLiteral("1,9 (1 Jahr, 1 Monat und 1 Tag)"));
        QCOMPARE(tav::periodText(Language::Italian, 3, 1.2, 0.5, kEnglish),
                 QStringLiteral("3 (3 anni, 1 mese e 0 giorni)"));
    }

    void reportsArithmeticFaults_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("error");
        QTest::newRow("ratio beyond the range")
            << 1e-300 << 1e300 << 5.0 << tav::ErrorNumber::Overflow;
        QTest::newRow("rate too small to grow")
            << 1000.0 << 2000.0 << 1e-300 << tav::ErrorNumber::DivisionByZero;
        QTest::newRow("ratio underflowing to zero")
            << 1e300 << 1e-300 << 5.0 << tav::ErrorNumber::InvalidProcedureCall;
    }
    void reportsArithmeticFaults() {
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, rate);
        QFETCH(int, error);
        QCOMPARE(errorNumberOf([&] { tav::investmentPeriod(start, final, rate); }), error);
    }
};

QTEST_GUILESS_MAIN(TestInvestmentPeriod)
#include "tst_investmentperiod.moc"
