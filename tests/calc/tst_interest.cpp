#include <QtTest>
#include <cfloat>

#include "calctest.h"
#include "errornumbers.h"
#include "interest.h"
#include "numbertext.h"

using namespace tav::testing;

class TestInterest : public QObject {
    Q_OBJECT

private slots:
    // Final capital of (capital, rate, years) or interest for (capital, rate,
    // days), in cents; an empty text means an overflow is raised.
    void inCents_data() {
        QTest::addColumn<bool>("forDays");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("capital");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("time");
        QTest::addColumn<QString>("shown");
        QTest::newRow("10 years") << false << kEnglish << 1000.0 << 5.0 << 10.0 << "1628.89";
        QTest::newRow("10 years, German") << false << kGerman << 1000.0 << 5.0 << 10.0 << "1628,89";
        QTest::newRow("no trailing zero") << false << kEnglish << 1000.0 << 5.0 << 2.0 << "1102.5";
        QTest::newRow("half a year") << false << kEnglish << 1000.0 << 5.0 << 0.5 << "1024.7";
        QTest::newRow("half a cent up") << false << kEnglish << 1.0 << 0.5 << 1.0 << "1.01";
        QTest::newRow("just below half a cent") << false << kEnglish << 1.0 << 0.4999 << 1.0 << "1";
        QTest::newRow("power overflows") << false << kEnglish << 1000.0 << 5.0 << 1e6 << "";
        QTest::newRow("product overflows") << false << kEnglish << 1e308 << 100.0 << 10.0 << "";
        QTest::newRow("cents past the largest")
            << false << kEnglish << DBL_MAX << 1e-300 << 1.0 << "";
        QTest::newRow("90 days") << true << kEnglish << 1000.0 << 5.0 << 90.0 << "12.5";
        QTest::newRow("30 days, German") << true << kGerman << 10000.0 << 3.5 << 30.0 << "29,17";
        QTest::newRow("30 days") << true << kEnglish << 10000.0 << 3.5 << 30.0 << "29.17";
        QTest::newRow("360 days") << true << kEnglish << 1000.0 << 5.0 << 360.0 << "50";
        QTest::newRow("not compounded") << true << kEnglish << 1000.0 << 5.0 << 720.0 << "100";
        QTest::newRow("days, half a cent up") << true << kEnglish << 1000.0 << 0.9 << 1.0 << "0.03";
        QTest::newRow("days overflow") << true << kEnglish << 1e308 << 1e10 << 1e10 << "";
    }
    void inCents() {
        QFETCH(bool, forDays);
        QFETCH(QLocale, locale);
        QFETCH(double, capital);
        QFETCH(double, rate);
        QFETCH(double, time);
        QFETCH(QString, shown);
        double result = 0;
        const int error = errorNumberOf([&] {
            result = forDays ? tav::interestForDays(capital, rate, time, locale)
                             : tav::finalCapital(capital, rate, time, locale);
        });
        QCOMPARE(error, shown.isEmpty() ? tav::ErrorNumber::Overflow : 0);
        if (!shown.isEmpty()) {
            QCOMPARE(tav::numberToText(result, locale), shown);
        }
    }
};

QTEST_GUILESS_MAIN(TestInterest)
#include "tst_interest.moc"
