#include <QtTest>
#include <cfloat>

#include "calctest.h"
#include "interest.h"
#include "investmentperiod.h"
#include "numbertext.h"
#include "ratesearch.h"
#include "resultfile.h"
#include "stagedmodel.h"
#include "yearlabels.h"

using namespace tav;
using namespace tav::test;

Q_DECLARE_METATYPE(tav::Language)
Q_DECLARE_METATYPE(tav::Pattern)
Q_DECLARE_METATYPE(tav::StagedOutcome)
Q_DECLARE_METATYPE(tav::StagedStorage)

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kSwiss(QLocale::German, QLocale::Switzerland);
constexpr Language de = Language::German, en = Language::English;
constexpr Language it = Language::Italian, fr = Language::French;

QString inEnglish(double value) {
    return numberToText(value, kEnglish);
}

// A state in the middle of a five-year entry: two rates stored.
const StagedStorage kTwoRatesStored{5, 106.09, 2, {3, 3}, {103, 106.09}};

bool sameState(const StagedStorage& x, const StagedStorage& y) {
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
    void readsTypedNumbers_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks and plus") << " +12.25 " << kEnglish << 12.25;
        QTest::newRow("german grouping") << "1.000,5" << kGerman << 1000.5;
        QTest::newRow("french plain space") << "1 000" << kFrench << 1000.0;
        QTest::newRow("french no-break space") << "1\u00a0000,5" << kFrench << 1000.5;
        QTest::newRow("french narrow no-break") << "1\u202f000" << kFrench << 1000.0;
        QTest::newRow("swiss typographic quote") << "1\u2019000.5" << kSwiss << 1000.5;
        QTest::newRow("swiss ascii apostrophe") << "1'000.5" << kSwiss << 1000.5;
    }
    void readsTypedNumbers() {
        QFETCH(QString, typed);
        QFETCH(QLocale, locale);
        QFETCH(double, expected);
        QCOMPARE(textToNumber(typed, locale), expected);
    }

    void refusesWhatIsNotANumber_data() {  // with error 13
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QLocale>("locale");
        for (const char* bad : {"", "   ", "12abc", "inf", "nan", "1.2.3", "1e400"}) {
            QTest::addRow("'%s'", bad) << bad << kEnglish;
        }
        QTest::newRow("a point in German") << "1.5" << kGerman;
    }
    void refusesWhatIsNotANumber() {
        QFETCH(QString, typed);
        QFETCH(QLocale, locale);
        const Outcome read = outcomeOf([&] { return inEnglish(textToNumber(typed, locale)); });
        QCOMPARE(read.errorNumber(), 13);
    }

    // The general form has 15 digits (the largest doubles the largest such number below them).
    void showsNumbersInTheGeneralForm_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("15 digits") << 14.206699082890461 << kEnglish << "14.2066990828905";
        QTest::newRow("decimal comma") << 1628.89 << kGerman << "1628,89";
        QTest::newRow("negative zero") << -0.0 << kEnglish << "0";
        QTest::newRow("small") << -1.25e-7 << kSwiss << "-1.25E-07";
        QTest::newRow("largest") << DBL_MAX << kGerman << "1,79769313486231E+308";
        QTest::newRow("largest negative") << -DBL_MAX << kEnglish << "-1.79769313486231E+308";
        QTest::newRow("first up at 15")
            << 1.797693134862315e308 << kEnglish << "1.79769313486231E+308";
    }
    void showsNumbersInTheGeneralForm() {  // and the text reads back as the value
        QFETCH(double, value);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        const QString text = numberToText(value, locale);
        QCOMPARE(text, expected);
        QCOMPARE(textToNumber(text, locale), value);
    }

    // Half away from zero on the 15-digit form; a value past the largest double is an overflow.
    void roundsThroughAPattern_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<Pattern>("pattern");
        QTest::addColumn<QLocale>("locale");
        outcomeColumns();
        const Pattern cents = Pattern::Cents;
        QTest::newRow("1.005 up") << 1.005 << cents << kEnglish << "1.01" << 0;
        QTest::newRow("-0.125 away from zero") << -0.125 << cents << kEnglish << "-0.13" << 0;
        QTest::newRow("tiny negative is unsigned") << -1e-20 << cents << kEnglish << "0.00" << 0;
        QTest::newRow("carry through nines") << 999.995 << cents << kEnglish << "1000.00" << 0;
        QTest::newRow("12 decimals")
            << 9.999999999999964 << Pattern::TwelveDecimals << kEnglish << "10.000000000000" << 0;
        QTest::newRow("below the largest") << 1.7976931348623e308 << cents << kGerman
                                           << "17976931348623" + QString(295, u'0') + ",00" << 0;
        QTest::newRow("largest, rounded up") << DBL_MAX << cents << kGerman << "" << 6;
        QTest::newRow("largest negative, rounded down") << -DBL_MAX << cents << kEnglish << "" << 6;
    }
    void roundsThroughAPattern() {  // the rounded value is what the text reads back as
        QFETCH(double, value);
        QFETCH(Pattern, pattern);
        QFETCH(QLocale, locale);
        compareOutcome(outcomeOf([&] {
            const QString text = formatPattern(value, pattern, locale);
            const double rounded = roundThroughPattern(value, pattern, locale);
            return rounded == textToNumber(text, locale) ? text
                                                         : "rounded to " + inEnglish(rounded);
        }));
    }

    void computesTheFinalCapital_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("years");
        outcomeColumns();
        QTest::newRow("just below half a cent") << 1.0 << 0.4999 << 1.0 << "1" << 0;
        QTest::newRow("power overflows") << 1000.0 << 5.0 << 1e6 << "" << 6;
        QTest::newRow("product overflows") << 1e308 << 100.0 << 10.0 << "" << 6;
        QTest::newRow("cents overflow") << DBL_MAX << 1e-300 << 1.0 << "" << 6;
    }
    void computesTheFinalCapital() {
        QFETCH(double, start);
        QFETCH(double, rate);
        QFETCH(double, years);
        compareOutcome(
            outcomeOf([&] { return inEnglish(finalCapital(start, rate, years, kEnglish)); }));
    }

    void computesTheInterestForDays_data() {
        QTest::addColumn<double>("capital");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("days");
        outcomeColumns();
        QTest::newRow("90 days") << 1000.0 << 5.0 << 90.0 << "12.5" << 0;
        QTest::newRow("overflow") << 1e308 << 1e10 << 1e10 << "" << 6;
    }
    void computesTheInterestForDays() {
        QFETCH(double, capital);
        QFETCH(double, rate);
        QFETCH(double, days);
        compareOutcome(
            outcomeOf([&] { return inEnglish(interestForDays(capital, rate, days, kEnglish)); }));
    }

    // Refused with error 1001 beyond a rate of 99900 % and for years that are not positive.
    void searchesTheRate_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("years");
        outcomeColumns();
        QTest::newRow("rounds up to 10") << 1e3 << 1100.0 << 1.0 << "10" << 0;
        QTest::newRow("falling capital") << 2e3 << 1e3 << 1.0 << "-50" << 0;
        for (const double years : {1.0, 0.5, 1e-10, 1e-300}) {
            QTest::addRow("equal capitals in %g years", years) << 1e3 << 1e3 << years << "0" << 0;
        }
        QTest::newRow("fractional years") << 1e3 << 1500.0 << 2.5 << "17.60790225246" << 0;
        QTest::newRow("largest rate searched") << 1.0 << 1e3 << 1.0 << "99900" << 0;
        QTest::newRow("capital almost gone") << 1e12 << 1e-12 << 1.0 << "-100" << 0;
        QTest::newRow("just above the bound") << 1.0 << 1000.001 << 1.0 << "" << 1001;
        QTest::newRow("zero years") << 1.0 << 2.0 << 0.0 << "" << 1001;
        QTest::newRow("negative years") << 1.0 << 1e3 << -1.0 << "" << 1001;
        QTest::newRow("not-a-number years") << 1.0 << 2.0 << qQNaN() << "" << 1001;
        QTest::newRow("power overflows") << 1e3 << 2e3 << 1e5 << "" << 6;
        QTest::newRow("ratio overflows") << 1e-300 << 1e300 << 10.0 << "" << 6;
        QTest::newRow("from zero") << 0.0 << 2e3 << 10.0 << "" << 11;
    }
    void searchesTheRate() {
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, years);
        compareOutcome(outcomeOf(
            [&] { return inEnglish(searchInterestRate(start, final, years, kEnglish).rate); }));
    }

    void aRefusedRateNamesTheBound() {
        const Outcome refused =
            outcomeOf([] { return inEnglish(searchInterestRate(1, 1e6, 1, kEnglish).rate); });
        QCOMPARE(refused.errorNumber(), 1001);
        for (const Language language : kAllLanguages) {
            const QString description = refused.error->description(language);
            QVERIFY2(description.contains("99900"), qPrintable(description));
        }
    }

    // The breakdown is that of the years as shown (1.9999999999999989 years are 2; 2.3 and 0.3
    // lose no day); a unit is singular for a whole part of 1.
    void findsTheInvestmentPeriod_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("final");
        QTest::addColumn<double>("rate");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QLocale>("locale");
        outcomeColumns();
        QTest::newRow("digits") << 1e3 << 2e3 << 5.0 << en << kGerman
                                << "14,2066990828905 (14 years, 2 months and 14 days)" << 0;
        QTest::newRow("French 'jour'") << 1e3 << 2e3 << 5.0 << fr << kFrench
                                       << "14,2066990828905 (14 ans, 2 mois et 14 jour)" << 0;
        QTest::newRow("1 Jahr") << 1e3 << 1100.0 << 10.0 << de << kEnglish
                                << "1 (1 Jahr, 0 Monate und 0 Tage)" << 0;
        QTest::newRow("1 year") << 1e3 << 1100.0 << 10.0 << en << kEnglish
                                << "1 (1 year, 0 months and 0 days)" << 0;
        QTest::newRow("1 anno") << 1e3 << 1100.0 << 10.0 << it << kEnglish
                                << "1 (1 anno, 0 mesi e 0 giorni)" << 0;
        QTest::newRow("1 an") << 1e3 << 1100.0 << 10.0 << fr << kEnglish
                              << "1 (1 an, 0 mois et 0 jour)" << 0;
        QTest::newRow("1 Tag") << 1e3 << 1500.0 << 4.0 << de << kGerman
                               << "10,3380350715077 (10 Jahre, 4 Monate und 1 Tag)" << 0;
        QTest::newRow("1 day") << 1e3 << 1500.0 << 4.0 << en << kEnglish
                               << "10.3380350715077 (10 years, 4 months and 1 day)" << 0;
        QTest::newRow("two whole years")
            << 1e3 << 1102.5 << 5.0 << en << kEnglish << "2 (2 years, 0 months and 0 days)" << 0;
        QTest::newRow("2.3") << 1e3 << 4924.5776533796643 << 100.0 << en << kEnglish
                             << "2.3 (2 years, 3 months and 18 days)" << 0;
        QTest::newRow("0.3") << 1e3 << 1231.1444133449163 << 100.0 << en << kEnglish
                             << "0.3 (0 years, 3 months and 18 days)" << 0;
        QTest::newRow("0 years") << 1e3 << 1010.0 << 5.0 << en << kEnglish
                                 << "0.203941327571965 (0 years, 2 months and 13 days)" << 0;
        QTest::newRow("ratio overflows") << 1e-300 << 1e300 << 5.0 << en << kEnglish << "" << 6;
        QTest::newRow("rate too small") << 1e3 << 2e3 << 1e-300 << en << kEnglish << "" << 11;
        QTest::newRow("ratio underflows") << 1e300 << 1e-300 << 5.0 << en << kEnglish << "" << 5;
    }
    void findsTheInvestmentPeriod() {
        QFETCH(double, start);
        QFETCH(double, final);
        QFETCH(double, rate);
        QFETCH(Language, language);
        QFETCH(QLocale, locale);
        compareOutcome(outcomeOf([&] {
            const InvestmentPeriod p = investmentPeriod(start, final, rate);
            return periodText(language, p.years, p.months, p.days, locale);
        }));
    }

    void namesThePeriodsUnits_data() {  // by their whole parts
        QTest::addColumn<double>("years");
        QTest::addColumn<double>("months");
        QTest::addColumn<double>("days");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1 Monat") << 1.9 << 1.5 << 1.99 << de << kGerman
                                 << "1,9 (1 Jahr, 1 Monat und 1 Tag)";
        QTest::newRow("1 mese") << 3.0 << 1.2 << 0.5 << it << kEnglish
                                << "3 (3 anni, 1 mese e 0 giorni)";
    }
    void namesThePeriodsUnits() {
        QFETCH(double, years);
        QFETCH(double, months);
        QFETCH(double, days);
        QFETCH(Language, language);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(periodText(language, years, months, days, locale), expected);
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
                return outcomeOf([&] { return inEnglish(textToNumber(typed, locale)); }).text ==
                       inEnglish(value);
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
    void aPressWithUnusableYearsStoresNoRate_data() {
        QTest::addColumn<double>("years");
        QTest::addColumn<StagedOutcome>("outcome");
        QTest::addColumn<bool>("reset");
        QTest::newRow("a tiny fraction") << 3.000001 << StagedOutcome::NotWholeNumber << true;
        QTest::newRow("not a number") << qQNaN() << StagedOutcome::NotWholeNumber << true;
        QTest::newRow("negative") << -3.0 << StagedOutcome::YearsOutOfRange << false;
        QTest::newRow("infinite") << qInf() << StagedOutcome::YearsOutOfRange << false;
    }
    void aPressWithUnusableYearsStoresNoRate() {
        QFETCH(double, years);
        QFETCH(StagedOutcome, outcome);
        QFETCH(bool, reset);
        StagedStorage entry = kTwoRatesStored;
        QCOMPARE(pressStaged(entry.state(), years, 100, 3, kEnglish).outcome, outcome);
        QVERIFY(sameState(entry, reset ? StagedStorage() : kTwoRatesStored));
    }

    void aFaultyPressChangesNothing_data() {
        QTest::addColumn<StagedStorage>("entry");
        QTest::addColumn<double>("years");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("rate");
        QTest::addColumn<int>("error");
        QTest::newRow("first year overflows") << StagedStorage() << 1.0 << 1e308 << 100.0 << 6;
        QTest::newRow("later year overflows")
            << StagedStorage{2, 1e308, 1} << 2.0 << 1e307 << 900.0 << 6;
        QTest::newRow("cents past the largest") << StagedStorage() << 1.0 << DBL_MAX << 1e-300 << 6;
        QTest::newRow("years lowered below the count")
            << StagedStorage{5, 103, 3} << 3.0 << 100.0 << 3.0 << 9;
        QTest::newRow("a 21st year") << StagedStorage{20, 103, 20} << 20.0 << 100.0 << 3.0 << 9;
        QTest::newRow("negative count") << StagedStorage{5, 0, -1} << 5.0 << 100.0 << 3.0 << 9;
    }
    void aFaultyPressChangesNothing() {
        QFETCH(StagedStorage, entry);
        QFETCH(double, years);
        QFETCH(double, start);
        QFETCH(double, rate);
        QFETCH(int, error);
        StagedStorage pressed = entry;
        const Outcome outcome = outcomeOf([&] {
            return inEnglish(
                pressStaged(pressed.state(), years, start, rate, kEnglish).finalCapital);
        });
        QCOMPARE(outcome.errorNumber(), error);
        QVERIFY(sameState(pressed, entry));
    }

    void labelsEachYearsRate_data() {  // nothing outside the 21 rows
        QTest::addColumn<int>("nummer");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("expected");
        QTest::newRow("6th, fr") << 5 << fr << "Les tas intérêt des sixième anner";
        QTest::newRow("5th, German") << 4 << de << "Zinssatz fünftes Jahr";
        QTest::newRow("16th, German") << 15 << de << "Zinssatz sechszehntes Jahr";
        QTest::newRow("8th, Italian") << 7 << it << "Tasso d'interesse dell'ottavo anno";
        QTest::newRow("21st, Italian") << 20 << it << "Tasso d'interesse anno";
        QTest::newRow("1st, English") << 0 << en << "Interest rate first year";
        QTest::newRow("-1") << -1 << en << "";
        QTest::newRow("22nd") << 21 << de << "";
    }
    void labelsEachYearsRate() {
        QFETCH(int, nummer);
        QFETCH(Language, language);
        QFETCH(QString, expected);
        QCOMPARE(yearRateLabel(nummer, language), expected);
    }

    void padsAYearLineTo61Characters_data() {  // longer ones keep the two fixed blanks
        QTest::addColumn<QString>("label");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        const QString x41(41, u'x'), x42(42, u'x');
        QTest::newRow("German") << "Zinssatz erstes Jahr" << kGerman
                                << "Zinssatz erstes Jahr: 5,00000                       (1050,00)";
        QTest::newRow("61 long, no padding") << x41 << kEnglish << x41 + ": 5.00000  (1050.00)";
        QTest::newRow("one more") << x42 << kEnglish << x42 + ": 5.00000  (1050.00)";
    }
    void padsAYearLineTo61Characters() {
        QFETCH(QString, label);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(stagedYearLine(label, 5, 1050, locale), expected);
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
        QCOMPARE(outcomeOf([&] { return compose(22); }).errorNumber(), 9);
    }

    void namesThePathThatCannotBeAppendedTo_data() {  // in German here
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("description");
        QFile plain(pathIn("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        const QString below = pathIn("plain-file/t.txt");
        QTest::newRow("file as folder")
            << below << 76 << "Pfad nicht gefunden: " + QDir::toNativeSeparators(below);
        QTest::newRow("no name") << "" << 52 << "Dateiname oder -nummer falsch";
#ifdef Q_OS_LINUX  // links into a missing folder and below a file
        const QString toMissing = pathIn("link-to-missing"), toBelow = pathIn("link-below-file");
        QVERIFY(QFile::link(pathIn("no-such/t.txt"), toMissing) && QFile::link(below, toBelow));
        QTest::newRow("link to missing") << toMissing << 76 << "Pfad nicht gefunden: " + toMissing;
        QTest::newRow("link below a file") << toBelow << 76 << "Pfad nicht gefunden: " + toBelow;
#endif
    }
    void namesThePathThatCannotBeAppendedTo() {  // the window's fault tests cover other targets
        QFETCH(QString, path);
        QFETCH(int, error);
        QFETCH(QString, description);
        const Outcome appended = outcomeOf([&] {
            appendToFile(path, "\r\nCapital: 1\r\n");
            return QString();
        });
        QCOMPARE(appended.errorNumber(), error);
        QCOMPARE(appended.error->description(de), description);
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
