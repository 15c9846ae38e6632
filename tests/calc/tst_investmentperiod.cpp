#include <QtTest>

#include "errorcapture.h"
#include "errornumbers.h"
#include "investmentperiod.h"
#include "language.h"

using tav::Language;
using tav::testing::errorNumberOf;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kFrench(QLocale::French, QLocale::France);

}  // namespace

class TestInvestmentPeriod : public QObject {
    Q_OBJECT

private slots:
    void showsPeriodWithBreakdown_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("rate");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");

        QTest::newRow("doubling at 5%, English")
            << 1000.0 << 2000.0 << 5.0 << Language::English << kEnglish
            << "14.2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("doubling at 5%, German words")
            << 1000.0 << 2000.0 << 5.0 << Language::German << kEnglish
            << "14.2066990828905 (14 Jahre, 2 Monate und 14 Tage)";
        QTest::newRow("doubling at 5%, German desktop")
            << 1000.0 << 2000.0 << 5.0 << Language::German << kGerman
            << "14,2066990828905 (14 Jahre, 2 Monate und 14 Tage)";
        QTest::newRow("doubling at 5%, English words on a German desktop")
            << 1000.0 << 2000.0 << 5.0 << Language::English << kGerman
            << "14,2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("doubling at 5%, Italian")
            << 1000.0 << 2000.0 << 5.0 << Language::Italian << kEnglish
            << "14.2066990828905 (14 anni, 2 mesi e 14 giorni)";
        QTest::newRow("doubling at 5%, French keeps 'jour' for 14 days")
            << 1000.0 << 2000.0 << 5.0 << Language::French << kFrench
            << "14,2066990828905 (14 ans, 2 mois et 14 jour)";

        QTest::newRow("exactly one year, German") << 1000.0 << 1100.0 << 10.0 << Language::German
                                                  << kEnglish << "1 (1 Jahr, 0 Monate und 0 Tage)";
        QTest::newRow("exactly one year, English") << 1000.0 << 1100.0 << 10.0 << Language::English
                                                   << kEnglish << "1 (1 year, 0 months and 0 days)";
        QTest::newRow("exactly one year, Italian") << 1000.0 << 1100.0 << 10.0 << Language::Italian
                                                   << kEnglish << "1 (1 anno, 0 mesi e 0 giorni)";
        QTest::newRow("exactly one year, French singular 'an'")
            << 1000.0 << 1100.0 << 10.0 << Language::French << kEnglish
            << "1 (1 an, 0 mois et 0 jour)";

        QTest::newRow("one day is singular, German")
            << 1000.0 << 1500.0 << 4.0 << Language::German << kEnglish
            << "10.3380350715077 (10 Jahre, 4 Monate und 1 Tag)";
        QTest::newRow("one day is singular, German desktop")
            << 1000.0 << 1500.0 << 4.0 << Language::German << kGerman
            << "10,3380350715077 (10 Jahre, 4 Monate und 1 Tag)";
        QTest::newRow("one day is singular, English")
            << 1000.0 << 1500.0 << 4.0 << Language::English << kEnglish
            << "10.3380350715077 (10 years, 4 months and 1 day)";
        QTest::newRow("under a year, zero years take the plural")
            << 1000.0 << 1010.0 << 5.0 << Language::English << kEnglish
            << "0.203941327571965 (0 years, 2 months and 13 days)";
    }
    void showsPeriodWithBreakdown() {
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, rate);
        QFETCH(Language, language);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);

        const tav::InvestmentPeriod period = tav::investmentPeriod(start, final, rate);
        QCOMPARE(tav::periodText(language, period.years, period.months, period.days, locale),
                 expected);
    }

    void keepsEveryIntermediateValue() {
        // The window keeps e, f, g and the breakdown after a result: they must
        // be the values of the documented steps.
        const tav::InvestmentPeriod period = tav::investmentPeriod(1000, 2000, 5);
        QCOMPARE(period.ratio, 2.0);
        QCOMPARE(period.logGrowth, std::log(1.05));
        QCOMPARE(period.logRatio, std::log(2.0));
        QCOMPARE(period.years, 14.206699082890461);
        QVERIFY(std::fabs(period.months - 2.48) < 0.001);
        QVERIFY(std::fabs(period.days - 14.41) < 0.01);
    }

    void choosesSingularOnlyForOne_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<double>("years");
        QTest::addColumn<double>("months");
        QTest::addColumn<double>("days");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("German ones with fractions")
            << Language::German << 1.9 << 1.5 << 1.99 << QStringList{"Jahr", "Monat", "Tag"};
        QTest::newRow("German zeros")
            << Language::German << 0.5 << 0.0 << 0.9 << QStringList{"Jahre", "Monate", "Tage"};
        QTest::newRow("German twos")
            << Language::German << 2.0 << 2.1 << 2.9 << QStringList{"Jahre", "Monate", "Tage"};
        QTest::newRow("English ones")
            << Language::English << 1.0 << 1.0 << 1.0 << QStringList{"year", "month", "day"};
        QTest::newRow("English mixed")
            << Language::English << 3.0 << 1.2 << 0.0 << QStringList{"years", "month", "days"};
        QTest::newRow("Italian ones")
            << Language::Italian << 1.0 << 1.0 << 1.0 << QStringList{"anno", "mese", "giorno"};
        QTest::newRow("Italian plurals")
            << Language::Italian << 5.0 << 0.0 << 11.0 << QStringList{"anni", "mesi", "giorni"};
        QTest::newRow("French one year")
            << Language::French << 1.5 << 1.0 << 1.0 << QStringList{"an", QString(), QString()};
        QTest::newRow("French years")
            << Language::French << 2.0 << 3.0 << 3.0 << QStringList{"ans", QString(), QString()};
    }
    void choosesSingularOnlyForOne() {
        QFETCH(Language, language);
        QFETCH(double, years);
        QFETCH(double, months);
        QFETCH(double, days);
        QFETCH(QStringList, expected);

        const tav::UnitWords words = tav::unitWords(language, years, months, days);
        QCOMPARE((QStringList{words.years, words.months, words.days}), expected);
    }

    void frenchUsesFixedMonthAndDayWords() {
        QCOMPARE(tav::periodText(Language::French, 2.5, 6.0, 1.0, kEnglish),
                 QStringLiteral("2.5 (2 ans, 6 mois et 1 jour)"));
    }

    void reportsArithmeticFaults_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("error");

        QTest::newRow("ratio beyond the double range")
            << 1e-300 << 1e300 << 5.0 << tav::ErrorNumber::Overflow;
        QTest::newRow("rate too small to grow: division by zero")
            << 1000.0 << 2000.0 << 1e-300 << tav::ErrorNumber::DivisionByZero;
        QTest::newRow("ratio underflowing to zero has no logarithm")
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
