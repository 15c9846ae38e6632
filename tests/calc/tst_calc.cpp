#include <QtTest>
#include <cfloat>
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "../testkit.h"
#include "interest.h"
#include "investmentperiod.h"
#include "numbertext.h"
#include "ratesearch.h"
#include "resultfile.h"
#include "runtimeerror.h"
#include "stagedmodel.h"
#include "yearlabels.h"

using namespace tav;
using namespace tav::test;

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kSwiss(QLocale::German, QLocale::Switzerland);
constexpr Language de = Language::German, en = Language::English;
constexpr Language it = Language::Italian, fr = Language::French;

template <typename Calculation>
int errorOf(const Calculation& calculation) {
    return raisedBy(calculation).number();
}

QString inEnglish(double value) {
    return numberToText(value, kEnglish);
}

// A state in the middle of a five-year entry: two rates stored.
const StagedState kTwoRatesStored{5, 106.09, 2, {3, 3}, {103, 106.09}};

bool sameState(const StagedState& x, const StagedState& y) {
    return x.a == y.a && x.Zs == y.Zs && x.c == y.c && x.Stufen_i == y.Stufen_i &&
           x.Stufen_Zs == y.Stufen_Zs;
}

}  // namespace

class TestCalc : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString pathIn(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void readsTypedNumbers() {
        QCOMPARE(textToNumber(" +12.25 ", kEnglish), 12.25);
        QCOMPARE(textToNumber("1.000,5", kGerman), 1000.5);
        QCOMPARE(textToNumber("1 000", kFrench), 1000.0);
        QCOMPARE(textToNumber("1\u00a0000,5", kFrench), 1000.5);  // no-break space
        QCOMPARE(textToNumber("1\u202f000", kFrench), 1000.0);    // narrow no-break space
        QCOMPARE(textToNumber("1\u2019000.5", kSwiss), 1000.5);   // typographic quote
        QCOMPARE(textToNumber("1'000.5", kSwiss), 1000.5);
    }

    void refusesWhatIsNotANumber() {  // two values pasted as one among them
        for (const char* typed : {"", "   ", "12abc", "inf", "nan", "1.2.3", "1e400", "10\r\n20"}) {
            QVERIFY2(errorOf([&] { textToNumber(typed, kEnglish); }) == 13, typed);
        }
        QCOMPARE(errorOf([] { textToNumber("1.5", kGerman); }), 13);  // a point in German
    }

    // The general form has 15 digits (the largest doubles the largest such number below them);
    // the text reads back as the value.
    void showsNumbersInTheGeneralForm() {
        const auto check = [](double value, const QLocale& locale, const QString& expected) {
            QCOMPARE(numberToText(value, locale), expected);
            QCOMPARE(textToNumber(expected, locale), value);
        };
        check(14.206699082890461, kEnglish, "14.2066990828905");
        check(1628.89, kGerman, "1628,89");
        check(-0.0, kEnglish, "0");  // a zero has no sign
        check(-1.25e-7, kSwiss, "-1.25E-07");
        check(DBL_MAX, kGerman, "1,79769313486231E+308");
        check(-DBL_MAX, kEnglish, "-1.79769313486231E+308");
        check(1.797693134862315e308, kEnglish, "1.79769313486231E+308");  // the first up at 15
    }

    // Half away from zero on the 15-digit form; the rounded value is what the text reads back as.
    void roundsThroughAPattern() {
        const auto check = [](double value, Pattern pattern, const QLocale& locale,
                              const QString& expected) {
            QCOMPARE(formatPattern(value, pattern, locale), expected);
            QVERIFY(roundThroughPattern(value, pattern, locale) == textToNumber(expected, locale));
        };
        const Pattern cents = Pattern::Cents;
        check(1.005, cents, kEnglish, "1.01");  // as a person rounds it
        check(-0.125, cents, kEnglish, "-0.13");
        check(-1e-20, cents, kEnglish, "0.00");      // a tiny negative is unsigned
        check(999.995, cents, kEnglish, "1000.00");  // a carry through the nines
        check(9.999999999999964, Pattern::TwelveDecimals, kEnglish, "10.000000000000");
        check(1.7976931348623e308, cents, kGerman, "17976931348623" + QString(295, u'0') + ",00");
    }

    void roundingPastTheLargestNumberOverflows() {
        QCOMPARE(errorOf([] { roundThroughPattern(DBL_MAX, Pattern::Cents, kGerman); }), 6);
        QCOMPARE(errorOf([] { roundThroughPattern(-DBL_MAX, Pattern::Cents, kEnglish); }), 6);
    }

    void computesTheFinalCapital() {
        QCOMPARE(inEnglish(finalCapital(1, 0.4999, 1, kEnglish)), "1");  // just below half a cent
        QCOMPARE(errorOf([] { finalCapital(1000, 5, 1e6, kEnglish); }), 6);        // power
        QCOMPARE(errorOf([] { finalCapital(1e308, 100, 10, kEnglish); }), 6);      // product
        QCOMPARE(errorOf([] { finalCapital(DBL_MAX, 1e-300, 1, kEnglish); }), 6);  // cents
    }

    void computesTheInterestForDays() {
        QCOMPARE(inEnglish(interestForDays(1000, 5, 90, kEnglish)), "12.5");
        QCOMPARE(errorOf([] { interestForDays(1e308, 1e10, 1e10, kEnglish); }), 6);
    }

    void searchesTheRate() {
        const auto rate = [](double start, double final, double years) {
            return inEnglish(searchInterestRate(start, final, years, kEnglish).rate);
        };
        QCOMPARE(rate(1e3, 1100, 1), "10");  // rounded up to 10
        QCOMPARE(rate(2e3, 1e3, 1), "-50");  // a falling capital
        for (const double years : {1.0, 0.5, 1e-10, 1e-300}) {
            QVERIFY2(rate(1e3, 1e3, years) == "0", qPrintable(QString::number(years)));
        }
        QCOMPARE(rate(1e3, 1500, 2.5), "17.60790225246");
        QCOMPARE(rate(1, 1e3, 1), "99900");      // the largest rate searched
        QCOMPARE(rate(1e12, 1e-12, 1), "-100");  // the capital almost gone
    }

    // Error 1001 beyond a rate of 99900 % and for years that are not positive.
    void refusesARateItCannotFind() {
        const auto rate = [](double start, double final, double years) {
            return errorOf([=] { searchInterestRate(start, final, years, kEnglish); });
        };
        QCOMPARE(rate(1, 1000.001, 1), 1001);  // just above the bound
        QCOMPARE(rate(1, 2, 0), 1001);
        QCOMPARE(rate(1, 1e3, -1), 1001);
        QCOMPARE(rate(1, 2, qQNaN()), 1001);
        QCOMPARE(rate(1e3, 2e3, 1e5), 6);      // the power overflows
        QCOMPARE(rate(1e-300, 1e300, 10), 6);  // the ratio overflows
        QCOMPARE(rate(0, 2e3, 10), 11);        // from nothing
    }

    void aRefusedRateNamesTheBound() {  // in every language
        const RuntimeError error = raisedBy([] { searchInterestRate(1, 1e6, 1, kEnglish); });
        for (const Language language : kAllLanguages) {
            QVERIFY2(error.description(language).contains("99900"), error.what());
        }
    }

    // From 1000; the breakdown is that of the years as shown (1.9999999999999989 years are 2;
    // 2.3 and 0.3 lose no day); a unit is singular for a whole part of 1.
    void findsTheInvestmentPeriod() {
        const auto period = [](double final, double rate, Language language, const QLocale& in) {
            const InvestmentPeriod p = investmentPeriod(1000, final, rate);
            return periodText(language, p.years, p.months, p.days, in);
        };
        QCOMPARE(period(2e3, 5, en, kGerman), "14,2066990828905 (14 years, 2 months and 14 days)");
        QCOMPARE(period(2e3, 5, fr, kFrench), "14,2066990828905 (14 ans, 2 mois et 14 jour)");
        QCOMPARE(period(1100, 10, de, kEnglish), "1 (1 Jahr, 0 Monate und 0 Tage)");
        QCOMPARE(period(1100, 10, en, kEnglish), "1 (1 year, 0 months and 0 days)");
        QCOMPARE(period(1100, 10, it, kEnglish), "1 (1 anno, 0 mesi e 0 giorni)");
        QCOMPARE(period(1100, 10, fr, kEnglish), "1 (1 an, 0 mois et 0 jour)");
        QCOMPARE(period(1500, 4, de, kGerman), "10,3380350715077 (10 Jahre, 4 Monate und 1 Tag)");
        QCOMPARE(period(1500, 4, en, kEnglish), "10.3380350715077 (10 years, 4 months and 1 day)");
        QCOMPARE(period(1102.5, 5, en, kEnglish), "2 (2 years, 0 months and 0 days)");
        QCOMPARE(period(4924.5776533796643, 100, en, kEnglish),
                 "2.3 (2 years, 3 months and 18 days)");
        QCOMPARE(period(1231.1444133449163, 100, en, kEnglish),
                 "0.3 (0 years, 3 months and 18 days)");
        QCOMPARE(period(1010, 5, en, kEnglish),
                 "0.203941327571965 (0 years, 2 months and 13 days)");
    }

    void aPeriodOutOfReachIsAnError() {
        QCOMPARE(errorOf([] { investmentPeriod(1e-300, 1e300, 5); }), 6);   // ratio overflows
        QCOMPARE(errorOf([] { investmentPeriod(1e3, 2e3, 1e-300); }), 11);  // rate too small
        QCOMPARE(errorOf([] { investmentPeriod(1e300, 1e-300, 5); }), 5);   // ratio underflows
    }

    void namesThePeriodsUnitsByTheirWholeParts() {
        QCOMPARE(periodText(de, 1.9, 1.5, 1.99, kGerman), "1,9 (1 Jahr, 1 Monat und 1 Tag)");
        QCOMPARE(periodText(it, 3, 1.2, 0.5, kEnglish), "3 (3 anni, 1 mese e 0 giorni)");
    }

    // Shown and rounded text reads back in every locale, also without direction marks, and
    // "e" or "E" reads where the locale writes another exponent.
    void readsItsOwnTextInEveryLocale() {
        const QList<QLocale> locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 500);
        const QRegularExpression marks(QStringLiteral("[\\x{200e}\\x{200f}\\x{61c}]"));
        for (const QLocale& locale : locales) {
            const auto reads = [&locale](const QString& typed, double value) {
                double read = 0;
                return errorOf([&] { read = textToNumber(typed, locale); }) == 0 && read == value;
            };
            for (const double value : {-50.0, 0.5, 1234567.89, 1e33, 1e-5}) {
                QString text = numberToText(value, locale);
                const double back = roundThroughPattern(value, Pattern::TwelveDecimals, locale);
                QVERIFY2(reads(text, value) && reads(text.remove(marks), value) && back == value,
                         qPrintable(locale.name() + ": " + text));
            }
            QVERIFY2(reads("1e5", 1e5) && reads("1E5", 1e5) && reads("-1e5", -1e5),
                     qPrintable(locale.name()));
        }
    }

    // Years that are not whole reset the entry; years outside 1 to 20 leave it as it was.
    void aPressWithUnusableYearsStoresNoRate() {
        const auto check = [](double years, StagedOutcome outcome, const StagedState& after) {
            StagedState entry = kTwoRatesStored;
            QCOMPARE(pressStaged(entry, years, 100, 3, kEnglish).outcome, outcome);
            QVERIFY(sameState(entry, after));
        };
        check(3.000001, StagedOutcome::NotWholeNumber, StagedState());
        check(qQNaN(), StagedOutcome::NotWholeNumber, StagedState());
        check(-3, StagedOutcome::YearsOutOfRange, kTwoRatesStored);
        check(qInf(), StagedOutcome::YearsOutOfRange, kTwoRatesStored);
    }

    void aFaultyPressChangesNothing() {
        const auto check = [](const StagedState& entry, double years, double start, double rate,
                              int error) {
            StagedState pressed = entry;
            QCOMPARE(errorOf([&] { pressStaged(pressed, years, start, rate, kEnglish); }), error);
            QVERIFY(sameState(pressed, entry));
        };
        check({}, 1, 1e308, 100, 6);             // the first year overflows
        check({2, 1e308, 1}, 2, 1e307, 900, 6);  // a later year overflows
        check({}, 1, DBL_MAX, 1e-300, 6);        // the cents pass the largest number
        check({5, 103, 3}, 3, 100, 3, 9);        // years lowered below the count
        check({20, 103, 20}, 20, 100, 3, 9);     // a 21st year
        check({5, 0, -1}, 5, 100, 3, 9);         // a negative count
    }

    void labelsEachYearsRate() {  // nothing outside the 21 rows
        QCOMPARE(yearRateLabel(5, fr), "Les tas intérêt des sixième anner");
        QCOMPARE(yearRateLabel(4, de), "Zinssatz fünftes Jahr");
        QCOMPARE(yearRateLabel(15, de), "Zinssatz sechszehntes Jahr");
        QCOMPARE(yearRateLabel(7, it), "Tasso d'interesse dell'ottavo anno");
        QCOMPARE(yearRateLabel(20, it), "Tasso d'interesse anno");
        QCOMPARE(yearRateLabel(0, en), "Interest rate first year");
        QCOMPARE(yearRateLabel(-1, en), "");
        QCOMPARE(yearRateLabel(21, de), "");
    }

    void padsAYearLineTo61Characters() {  // longer ones keep the two fixed blanks
        QCOMPARE(stagedYearLine("Zinssatz erstes Jahr", 5, 1050, kGerman),
                 "Zinssatz erstes Jahr: 5,00000                       (1050,00)");
        const QString x41(41, u'x'), x42(42, u'x');
        QCOMPARE(stagedYearLine(x41, 5, 1050, kEnglish), x41 + ": 5.00000  (1050.00)");
        QCOMPARE(stagedYearLine(x42, 5, 1050, kEnglish), x42 + ": 5.00000  (1050.00)");
    }

    void composesAStagedBlockOfUpTo21Years() {
        StagedArray ones{};
        ones.fill(1);
        const auto compose = [&](int years) {
            return composeStagedBlock(
                {"Capital", "1"}, {"Years", "1"}, years, ones, ones,
                [](int n) { return yearRateLabel(n, de); }, {"Final:", "1"}, kEnglish);
        };
        const QString block = compose(21);
        QCOMPARE(block.count("\r\n"), 25);
        QCOMPARE(block.count("(1.00)"), 21);
        QCOMPARE(errorOf([&] { compose(22); }), 9);
    }

    // In German here; the window's fault tests cover other targets.
    void namesThePathThatCannotBeAppendedTo() {
        const auto check = [](const QString& path, int error, const QString& description) {
            const RuntimeError raised = raisedBy([&] { appendToFile(path, "\r\nCapital: 1\r\n"); });
            QCOMPARE(raised.number(), error);
            QCOMPARE(raised.description(de), description);
        };
        QVERIFY(QFile(pathIn("plain-file")).open(QIODevice::WriteOnly));
        const QString below = pathIn("plain-file/t.txt");  // a file taken for a folder
        check(below, 76, "Pfad nicht gefunden: " + QDir::toNativeSeparators(below));
        check("", 52, "Dateiname oder -nummer falsch");
#ifdef Q_OS_LINUX  // links into a missing folder and below a file
        const QString toMissing = pathIn("link-to-missing"), toBelow = pathIn("link-below-file");
        QVERIFY(QFile::link(pathIn("no-such/t.txt"), toMissing) && QFile::link(below, toBelow));
        check(toMissing, 76, "Pfad nicht gefunden: " + toMissing);
        check(toBelow, 76, "Pfad nicht gefunden: " + toBelow);
#endif
    }

#ifdef Q_OS_WIN  // the system's own errors, not the C library's
    // A file that another opening holds with writing denied takes no block.
    void refusesAFileHeldWithWritingDenied() {
        const QString path = pathIn("held.txt");
        const HANDLE holder =
            CreateFileW(path.toStdWString().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(holder != INVALID_HANDLE_VALUE);
        const auto release = qScopeGuard([holder] { CloseHandle(holder); });
        QCOMPARE(errorOf([&] { appendToFile(path, "\r\nCapital: 1\r\n"); }), 70);
    }

    // A file marked read-only takes no block, and keeps what it holds.
    void readOnlyFileIsNotWritten() {
        const QString path = pathIn("read-only.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier\r\n") == 9);
        file.close();
        const std::wstring name = path.toStdWString();
        QVERIFY(SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
        const auto writable =
            qScopeGuard([&name] { SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL); });
        const HANDLE probe = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe != INVALID_HANDLE_VALUE) {
            CloseHandle(probe);
            QSKIP("this system lets the user write to a read-only file (Wine run as root)");
        }
        QCOMPARE(errorOf([&] { appendToFile(path, "\r\nCapital: 1\r\n"); }), 70);
        QCOMPARE(fileBytes(path), "earlier\r\n");
    }
#endif
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
