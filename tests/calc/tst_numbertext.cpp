#include <QtTest>
#include <cfloat>

#include "calctest.h"
#include "errornumbers.h"
#include "numbertext.h"

using namespace tav::testing;
using tav::Pattern;

namespace {

const QLocale kSwiss(QLocale::German, QLocale::Switzerland);

double readOrNaN(const QString& text, const QLocale& locale) {
    double read = qQNaN();
    errorNumberOf([&] { read = tav::textToNumber(text, locale); });
    return read;
}

double roundedOrNaN(double value, const QLocale& locale) {
    double rounded = qQNaN();
    errorNumberOf(
        [&] { rounded = tav::roundThroughPattern(value, Pattern::TwelveDecimals, locale); });
    return rounded;
}

}  // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    // An empty expectation means the text is refused as a type mismatch.
    void readsWhatUsersType_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks and plus") << kEnglish << " +12.25 " << 12.25;
        QTest::newRow("english grouping") << kEnglish << "1,000,000" << 1e6;
        QTest::newRow("german grouping") << kGerman << "1.000,5" << 1000.5;
        QTest::newRow("french plain space") << kFrench << "1 000" << 1000.0;
        QTest::newRow("french no-break space") << kFrench << "1\u00a0000,5" << 1000.5;
        QTest::newRow("french narrow no-break") << kFrench << "1\u202f000" << 1000.0;
        QTest::newRow("swiss typographic apostrophe") << kSwiss << "1\u2019000.5" << 1000.5;
        QTest::newRow("swiss ascii apostrophe") << kSwiss << "1'000.5" << 1000.5;
        QTest::newRow("exponent") << kEnglish << "1E3" << 1000.0;
        for (const char* bad : {"", "   ", "12abc", "inf", "nan", "1.2.3", "1e400"}) {
            QTest::newRow(bad) << kEnglish << bad << qQNaN();
        }
        QTest::newRow("point in german") << kGerman << "1.5" << qQNaN();
    }
    void readsWhatUsersType() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(double, expected);
        double read = qQNaN();
        const int error = errorNumberOf([&] { read = tav::textToNumber(text, locale); });
        QCOMPARE(error, qIsNaN(expected) ? tav::ErrorNumber::TypeMismatch : 0);
        if (!qIsNaN(expected)) {
            QCOMPARE(read, expected);
        }
    }

    // The general form: 15 significant digits, no grouping, and what is shown
    // reads back as the same number (the largest doubles as the largest
    // 15-digit number below them, which can still be typed in again).
    void writesGeneralForm_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<double>("readBack");
        QTest::newRow("15 digits")
            << kEnglish << 14.206699082890461 << "14.2066990828905" << 14.2066990828905;
        QTest::newRow("no trailing zeros") << kEnglish << 1102.5 << "1102.5" << 1102.5;
        QTest::newRow("decimal comma") << kGerman << 1628.89 << "1628,89" << 1628.89;
        QTest::newRow("negative zero") << kEnglish << -0.0 << "0" << 0.0;
        QTest::newRow("shortest") << kEnglish << 0.1 + 0.2 << "0.3" << 0.3;
        QTest::newRow("large") << kFrench << 1.5e24 << "1,5E+24" << 1.5e24;
        QTest::newRow("small") << kSwiss << -1.25e-7 << "-1.25E-07" << -1.25e-7;
        QTest::newRow("largest double")
            << kGerman << DBL_MAX << "1,79769313486231E+308" << 1.79769313486231e308;
        QTest::newRow("largest negative")
            << kEnglish << -DBL_MAX << "-1.79769313486231E+308" << -1.79769313486231e308;
        QTest::newRow("first to round up at 15 digits")
            << kEnglish << 1.797693134862315e308 << "1.79769313486231E+308" << 1.79769313486231e308;
    }
    void writesGeneralForm() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QFETCH(double, readBack);
        const QString shown = tav::numberToText(value, locale);
        QCOMPARE(shown, expected);
        QCOMPARE(tav::textToNumber(shown, locale), readBack);
    }

    // Every locale Qt knows: the number the program shows, and the rounded
    // text it reads its results back from, read back as the same number; and
    // what a user types instead reads too: the sign without the direction
    // marks some right-to-left locales put around it, an exponent as "e" or
    // "E" where the locale writes another one.
    void readsItsOwnTextInEveryLocale() {
        const QList<QLocale> locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 500);
        for (const QLocale& locale : locales) {
            const QByteArray name = locale.name().toUtf8();
            for (const double value : {-50.0, 0.5, 1234567.89, 1e33, 1e-5}) {
                const QString shown = tav::numberToText(value, locale);
                QString markless = shown;
                markless.remove(QRegularExpression(QStringLiteral("[\\x{200e}\\x{200f}\\x{61c}]")));
                for (const QString& text : {shown, markless}) {
                    const double read = readOrNaN(text, locale);
                    QVERIFY2(read == value, name + ": " + text.toUtf8());
                }
                QVERIFY2(roundedOrNaN(value, locale) == value,
                         name + ": rounding " + shown.toUtf8());
            }
            for (const char* typed : {"1e5", "1E5", "-1e5"}) {
                QVERIFY2(std::fabs(readOrNaN(QString::fromLatin1(typed), locale)) == 1e5,
                         name + ": " + typed);
            }
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
        QTest::newRow("tiny negative is unsigned")
            << kEnglish << -1e-20 << Pattern::Cents << "0.00";
        QTest::newRow("carry through nines") << kEnglish << 999.995 << Pattern::Cents << "1000.00";
        QTest::newRow("german comma")
            << kGerman << 1628.894626777442 << Pattern::Cents << "1628,89";
        QTest::newRow("five decimals") << kEnglish << 5.0 << Pattern::FiveDecimals << "5.00000";
        QTest::newRow("twelve decimals to ten")
            << kEnglish << 9.999999999999964 << Pattern::TwelveDecimals << "10.000000000000";
        QTest::newRow("huge value, no grouping")
            << kEnglish << 1e24 << Pattern::Cents << "1000000000000000000000000.00";
    }
    void roundsLikeAPerson() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(Pattern, pattern);
        QFETCH(QString, expected);
        QCOMPARE(tav::formatPattern(value, pattern, locale), expected);
    }

    // Rounding through the text gives the number shown; past the largest
    // number it is an overflow, not a typing error.
    void roundsThroughText_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<Pattern>("pattern");
        QTest::addColumn<double>("expected");
        QTest::newRow("cents, German") << kGerman << 1628.894626777442 << Pattern::Cents << 1628.89;
        QTest::newRow("just below the largest")
            << kGerman << 1.7976931348623e308 << Pattern::Cents << 1.7976931348623e308;
        QTest::newRow("largest double") << kGerman << DBL_MAX << Pattern::Cents << qQNaN();
        QTest::newRow("largest negative") << kEnglish << -DBL_MAX << Pattern::Cents << qQNaN();
    }
    void roundsThroughText() {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(Pattern, pattern);
        QFETCH(double, expected);
        double rounded = qQNaN();
        const int error =
            errorNumberOf([&] { rounded = tav::roundThroughPattern(value, pattern, locale); });
        QCOMPARE(error, qIsNaN(expected) ? tav::ErrorNumber::Overflow : 0);
        if (!qIsNaN(expected)) {
            QCOMPARE(rounded, expected);
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
