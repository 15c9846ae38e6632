#include <QtTest>
#include <cfloat>

#include "errorcapture.h"
#include "errornumbers.h"
#include "interest.h"
#include "numbertext.h"

using tav::testing::errorNumberOf;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

}  // namespace

class TestInterest : public QObject {
    Q_OBJECT

private slots:
    void finalCapitalInCents_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("years");
        QTest::addColumn<QString>("shown");

        QTest::newRow("1000 at 5% for 10 years") << kEnglish << 1000.0 << 5.0 << 10.0 << "1628.89";
        QTest::newRow("German desktop") << kGerman << 1000.0 << 5.0 << 10.0 << "1628,89";
        QTest::newRow("no trailing zero") << kEnglish << 1000.0 << 5.0 << 2.0 << "1102.5";
        QTest::newRow("no trailing zero, German") << kGerman << 1000.0 << 5.0 << 2.0 << "1102,5";
        QTest::newRow("half a year") << kEnglish << 1000.0 << 5.0 << 0.5 << "1024.7";
        QTest::newRow("half a year, German") << kGerman << 1000.0 << 5.0 << 0.5 << "1024,7";
        QTest::newRow("whole amount") << kEnglish << 1000.0 << 5.0 << 1.0 << "1050";
        QTest::newRow("half a cent rounds up") << kEnglish << 1.0 << 0.5 << 1.0 << "1.01";
        QTest::newRow("half a cent on a large amount")
            << kEnglish << 1000.0 << 0.0005 << 1.0 << "1000.01";
        QTest::newRow("just below half a cent") << kEnglish << 1.0 << 0.4999 << 1.0 << "1";
    }
    void finalCapitalInCents() {
        QFETCH(QLocale, locale);
        QFETCH(double, start);
        QFETCH(double, rate);
        QFETCH(double, years);
        QFETCH(QString, shown);
        const double result = tav::finalCapital(start, rate, years, locale);
        QCOMPARE(tav::numberToText(result, locale), shown);
    }

    void interestForDaysInCents_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("capital");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("days");
        QTest::addColumn<QString>("shown");

        QTest::newRow("90 days") << kEnglish << 1000.0 << 5.0 << 90.0 << "12.5";
        QTest::newRow("90 days, German") << kGerman << 1000.0 << 5.0 << 90.0 << "12,5";
        QTest::newRow("30 days rounds to cents") << kEnglish << 10000.0 << 3.5 << 30.0 << "29.17";
        QTest::newRow("30 days, German") << kGerman << 10000.0 << 3.5 << 30.0 << "29,17";
        QTest::newRow("360 days are one year") << kEnglish << 1000.0 << 5.0 << 360.0 << "50";
        QTest::newRow("more than a year is not compounded")
            << kEnglish << 1000.0 << 5.0 << 720.0 << "100";
        QTest::newRow("half a cent rounds up") << kEnglish << 1000.0 << 0.9 << 1.0 << "0.03";
        QTest::newRow("under half a cent is zero") << kEnglish << 1.0 << 1.0 << 1.0 << "0";
    }
    void interestForDaysInCents() {
        QFETCH(QLocale, locale);
        QFETCH(double, capital);
        QFETCH(double, rate);
        QFETCH(double, days);
        QFETCH(QString, shown);
        const double result = tav::interestForDays(capital, rate, days, locale);
        QCOMPARE(tav::numberToText(result, locale), shown);
    }

    void sameNumberOnEveryDesktop() {
        // Only the separator differs between desktops, never the value.
        QCOMPARE(tav::finalCapital(1000, 5, 10, kGerman), tav::finalCapital(1000, 5, 10, kEnglish));
        QCOMPARE(tav::interestForDays(10000, 3.5, 30, kGerman),
                 tav::interestForDays(10000, 3.5, 30, kEnglish));
    }

    void reportsOverflow_data() {
        QTest::addColumn<std::function<void()>>("calculation");

        QTest::newRow("power of a huge period")
            << std::function<void()>([] { tav::finalCapital(1000, 5, 1e6, kEnglish); });
        QTest::newRow("product with a huge capital")
            << std::function<void()>([] { tav::finalCapital(1e308, 100, 10, kEnglish); });
        QTest::newRow("rounding to cents past the largest number")
            << std::function<void()>([] { tav::finalCapital(DBL_MAX, 1e-300, 1, kEnglish); });
        QTest::newRow("interest on a huge capital")
            << std::function<void()>([] { tav::interestForDays(1e308, 1e10, 1e10, kEnglish); });
    }
    void reportsOverflow() {
        QFETCH(std::function<void()>, calculation);
        QCOMPARE(errorNumberOf(calculation), tav::ErrorNumber::Overflow);
    }
};

QTEST_GUILESS_MAIN(TestInterest)
#include "tst_interest.moc"
