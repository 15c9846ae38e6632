#include <QtTest>
#include <cfloat>

#include "errornumbers.h"
#include "numbertext.h"
#include "runtimeerror.h"

using tav::Pattern;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kSwiss(QLocale::German, QLocale::Switzerland);

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const tav::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void readsWhatUsersType_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain integer") << kEnglish << "1000" << 1000.0;
        QTest::newRow("decimal point") << kEnglish << "3.5" << 3.5;
        QTest::newRow("surrounding blanks") << kEnglish << "  12.25 " << 12.25;
        QTest::newRow("explicit plus") << kEnglish << "+7" << 7.0;
        QTest::newRow("minus") << kEnglish << "-2.5" << -2.5;
        QTest::newRow("english grouping") << kEnglish << "1,000,000" << 1e6;
        QTest::newRow("german comma") << kGerman << "3,5" << 3.5;
        QTest::newRow("german grouping") << kGerman << "1.000,5" << 1000.5;
        QTest::newRow("french comma") << kFrench << "2,75" << 2.75;
        QTest::newRow("french plain space group") << kFrench << "1 000" << 1000.0;
        QTest::newRow("french no-break space group") << kFrench << "1\u00a0000,5" << 1000.5;
        QTest::newRow("french narrow no-break group") << kFrench << "1\u202f000" << 1000.0;
        QTest::newRow("swiss typographic apostrophe") << kSwiss << "1\u2019000.5" << 1000.5;
        QTest::newRow("swiss ascii apostrophe") << kSwiss << "1'000.5" << 1000.5;
        QTest::newRow("exponent") << kEnglish << "1E3" << 1000.0;
    }
    void readsWhatUsersType() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(tav::textToNumber(text, locale), expected);
    }

    void rejectsWhatIsNotANumber_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << kEnglish << "";
        QTest::newRow("blanks only") << kEnglish << "   ";
        QTest::newRow("letters") << kEnglish << "abc";
        QTest::newRow("number then letters") << kEnglish << "12abc";
        QTest::newRow("inf") << kEnglish << "inf";
        QTest::newRow("infinity") << kEnglish << "Infinity";
        QTest::newRow("nan") << kEnglish << "nan";
        QTest::newRow("german nan") << kGerman << "NaN";
        QTest::newRow("two decimal points") << kEnglish << "1.2.3";
        QTest::newRow("point in german") << kGerman << "1.5";
        QTest::newRow("sign alone") << kEnglish << "-";
        QTest::newRow("beyond double range") << kEnglish << "1e400";
    }
    void rejectsWhatIsNotANumber() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QCOMPARE(errorNumberOf([&] { tav::textToNumber(text, locale); }),
                 tav::ErrorNumber::TypeMismatch);
    }

    void writesGeneralForm_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("15 significant digits")
            << kEnglish << 14.206699082890461 << "14.2066990828905";
        QTest::newRow("no trailing zeros") << kEnglish << 1102.5 << "1102.5";
        QTest::newRow("integer") << kEnglish << 1050.0 << "1050";
        QTest::newRow("no grouping") << kEnglish << 1234567.25 << "1234567.25";
        QTest::newRow("decimal comma") << kGerman << 1628.89 << "1628,89";
        QTest::newRow("no grouping in german") << kGerman << 1234567.0 << "1234567";
        QTest::newRow("negative") << kEnglish << -50.0 << "-50";
        QTest::newRow("zero") << kEnglish << 0.0 << "0";
        QTest::newRow("negative zero") << kEnglish << -0.0 << "0";
        QTest::newRow("shortest") << kEnglish << 0.1 + 0.2 << "0.3";
        QTest::newRow("rate") << kEnglish << 7.17734625362 << "7.17734625362";
    }
    void writesGeneralForm() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(tav::numberToText(value, locale), expected);
    }

    void generalFormReadsBack_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        for (const QLocale& locale : {kEnglish, kGerman, kFrench, kSwiss}) {
            const QByteArray name = locale.name().toLatin1();
            QTest::newRow(name + " large") << locale << 1.5e24;
            QTest::newRow(name + " small") << locale << 1.25e-7;
            QTest::newRow(name + " negative") << locale << -1234.5;
        }
    }
    void generalFormReadsBack() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QCOMPARE(tav::textToNumber(tav::numberToText(value, locale), locale), value);
    }

    void generalFormOfTheLargestNumbersReadsBack_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("largest double") << DBL_MAX << "1.79769313486231E+308";
        QTest::newRow("largest negative double") << -DBL_MAX << "-1.79769313486231E+308";
        QTest::newRow("first to round up at 15 digits")
            << 1.797693134862315e308 << "1.79769313486231E+308";
        QTest::newRow("below them, unchanged") << 1.7976931348623e308 << "1.7976931348623E+308";
    }
    void generalFormOfTheLargestNumbersReadsBack() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        // Rounded up to 15 digits these would lie beyond the range: shown,
        // they must still be a number that can be typed in again.
        for (const QLocale& locale : {kEnglish, kGerman, kFrench, kSwiss}) {
            QString shown = tav::numberToText(value, locale);
            const double back = tav::textToNumber(shown, locale);
            QVERIFY(std::isfinite(back));
            QCOMPARE(shown.replace(locale.decimalPoint(), QStringLiteral(".")), expected);
        }
    }

    void roundsLikeAPerson_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<Pattern>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.005 up") << kEnglish << 1.005 << Pattern::Cents << "1.01";
        QTest::newRow("2.675 up") << kEnglish << 2.675 << Pattern::Cents << "2.68";
        QTest::newRow("-0.125 away from zero") << kEnglish << -0.125 << Pattern::Cents << "-0.13";
        QTest::newRow("keeps trailing zeros") << kEnglish << 1050.0 << Pattern::Cents << "1050.00";
        QTest::newRow("leading zero") << kEnglish << 0.5 << Pattern::Cents << "0.50";
        QTest::newRow("below half a cent") << kEnglish << 0.004 << Pattern::Cents << "0.00";
        QTest::newRow("half a cent") << kEnglish << 0.005 << Pattern::Cents << "0.01";
        QTest::newRow("tiny negative is unsigned zero")
            << kEnglish << -1e-20 << Pattern::Cents << "0.00";
        QTest::newRow("carry through nines") << kEnglish << 999.995 << Pattern::Cents << "1000.00";
        QTest::newRow("final capital")
            << kEnglish << 1628.894626777442 << Pattern::Cents << "1628.89";
        QTest::newRow("german comma")
            << kGerman << 1628.894626777442 << Pattern::Cents << "1628,89";
        QTest::newRow("no grouping") << kGerman << 1234567.891 << Pattern::Cents << "1234567,89";
        QTest::newRow("five decimals") << kEnglish << 5.0 << Pattern::FiveDecimals << "5.00000";
        QTest::newRow("twelve decimals")
            << kEnglish << 7.17734625362012 << Pattern::TwelveDecimals << "7.177346253620";
        QTest::newRow("twelve decimals to ten")
            << kEnglish << 9.999999999999964 << Pattern::TwelveDecimals << "10.000000000000";
        QTest::newRow("huge value")
            << kEnglish << 1e24 << Pattern::Cents << "1000000000000000000000000.00";
    }
    void roundsLikeAPerson() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(Pattern, pattern);
        QFETCH(QString, expected);
        QCOMPARE(tav::formatPattern(value, pattern, locale), expected);
    }

    void roundingThroughTextGivesTheShownNumber() {
        QCOMPARE(tav::roundThroughPattern(1102.5, Pattern::Cents, kGerman), 1102.5);
        QCOMPARE(tav::roundThroughPattern(9.999999999999964, Pattern::TwelveDecimals, kEnglish),
                 10.0);
        QCOMPARE(tav::numberToText(
                     tav::roundThroughPattern(1628.894626777442, Pattern::Cents, kGerman), kGerman),
                 QStringLiteral("1628,89"));
    }

    void roundingPastTheLargestNumberIsAnOverflow_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("largest double") << DBL_MAX << tav::ErrorNumber::Overflow;
        QTest::newRow("largest negative double") << -DBL_MAX << tav::ErrorNumber::Overflow;
        QTest::newRow("just below, still readable") << 1.7976931348623e308 << 0;
    }
    void roundingPastTheLargestNumberIsAnOverflow() {
        QFETCH(double, value);
        QFETCH(int, error);
        for (const QLocale& locale : {kEnglish, kGerman}) {
            QCOMPARE(
                errorNumberOf([&] { tav::roundThroughPattern(value, Pattern::Cents, locale); }),
                error);
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
