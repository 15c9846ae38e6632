#include <QtTest>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <tuple>

#include "calctest.h"
#include "interest.h"
#include "investmentperiod.h"
#include "numbertext.h"
#include "ratesearch.h"
#include "resultfile.h"
#include "stagedmodel.h"
#include "yearlabels.h"

using namespace tav::testing;
using tav::Language;
using tav::Pattern;
using tav::StagedStorage;

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kSwiss(QLocale::German, QLocale::Switzerland);
constexpr Language de = Language::German, en = Language::English;
constexpr Language it = Language::Italian, fr = Language::French;

// The file is in the desktop's 8-bit encoding: UTF-8 here, the ANSI code page
// on Windows (1252 in Western Europe, where "é" is one byte).
#ifdef Q_OS_WIN
const QByteArray kEAcute("\xe9"), kECircumflex("\xea");
#else
const QByteArray kEAcute("\xc3\xa9"), kECircumflex("\xc3\xaa");
#endif

Calculation parsed(const QString& text, const QLocale& locale) {
    return [=] { return QString::number(tav::textToNumber(text, locale), 'g', 17); };
}
// The general form of `value`, which must read back as `value`.
Calculation shown(double value, const QLocale& locale) {
    return [=] {
        const QString text = tav::numberToText(value, locale);
        const double back = tav::textToNumber(text, locale);
        return back == value || qFuzzyCompare(back, value) ? text : text + " reads back wrong";
    };
}
// `value` in `pattern`; rounding through the pattern gives the number shown.
Calculation rounded(double value, Pattern pattern, const QLocale& locale = kEnglish) {
    return [=] {
        const QString text = tav::formatPattern(value, pattern, locale);
        const double back = tav::roundThroughPattern(value, pattern, locale);
        return back == tav::textToNumber(text, locale) ? text : text + " rounds to another number";
    };
}
QString text(double value) {
    return tav::numberToText(value, kEnglish);
}
Calculation capital(double start, double rate, double years) {
    return [=] { return text(tav::finalCapital(start, rate, years, kEnglish)); };
}
Calculation interest(double capital, double rate, double days, const QLocale& l = kEnglish) {
    return [=] { return tav::numberToText(tav::interestForDays(capital, rate, days, l), l); };
}
Calculation rate(double start, double final, double years) {
    return [=] { return text(tav::searchInterestRate(start, final, years, kEnglish).rate); };
}
// Where the search from 1 to `final` lands: just below the exact factor, its
// power below the ratio, the last trial's power at or above it.
Calculation factor(double final, double years) {
    return [=] {
        const tav::RateSearchResult found = tav::searchInterestRate(1, final, years, kEnglish);
        const double exact = std::pow(final, 1.0 / years);
        const bool below = std::pow(found.factor, years) < found.ratio &&
                           found.power >= found.ratio &&
                           exact - found.factor < 1e-12 * std::max(1.0, exact);
        return below ? QStringLiteral("just below") : QString::number(found.factor, 'g', 17);
    };
}
Calculation period(double final, double rate, Language language = en,
                   const QLocale& locale = kEnglish, double start = 1000) {
    return [=] {
        const tav::InvestmentPeriod p = tav::investmentPeriod(start, final, rate);
        return tav::periodText(language, p.years, p.months, p.days, locale);
    };
}

QString outcomeName(const tav::StagedPress& press) {
    const char* names[] = {"not whole", "out of range", "next", "done"};
    return names[static_cast<int>(press.outcome)] + QString(press.calculateCaption ? "+" : "");
}
// Presses for `years` with the `rates` one by one, the start field holding
// `start` on the first press and 999999 later (it is read once only): each
// press's outcome ("+": the caption turns to calculate), the last year's
// capital as stored, Zs and the final capital. The stored years fill the
// first slots with their rates; every later slot is zero.
Calculation presses(double years, double start, const QList<double>& rates) {
    return [=] {
        StagedStorage s;
        QString outcomes;
        tav::StagedPress press;
        for (int i = 0; i < rates.size(); ++i) {
            press = tav::pressStaged(s.state(), years, i == 0 ? start : 999999, rates[i], kEnglish);
            tav::StagedArray stored{};
            std::copy_n(rates.begin(), i + 1, stored.begin());
            const bool slotsRight = s.c == i + 1 && s.a == years && s.Stufen_i == stored &&
                                    std::count(s.Stufen_Zs.begin(), s.Stufen_Zs.end(), 0.0) ==
                                        tav::kStagedSlots - i - 1;
            outcomes += outcomeName(press) + (slotsRight ? " " : " (slots wrong) ");
        }
        return outcomes + text(s.Stufen_Zs[std::size_t(s.c - 1)]) + " " + text(s.Zs) + " " +
               text(press.finalCapital);
    };
}
// One press on state `s`: its outcome, and whether it reset or else changed
// the state.
Calculation press(StagedStorage s, double years, double start, double rate) {
    return [=]() mutable {
        const auto all = [](const StagedStorage& x) {
            return std::make_tuple(x.a, x.Zs, x.c, x.Stufen_i, x.Stufen_Zs);
        };
        const auto before = all(s);
        const QString outcome = outcomeOf(
            [&] { return outcomeName(tav::pressStaged(s.state(), years, start, rate, kEnglish)); });
        return outcome + (all(s) == before ? "" : all(s) == all({}) ? ", reset" : ", changed");
    };
}

QString composeStaged(int years, const tav::StagedArray& rates, const tav::StagedArray& capitals,
                      Language language) {
    return tav::composeStagedBlock(
        {"Capital initial", "100"}, {"Le durée des placements en ans", QString::number(years)},
        years, rates, capitals, [language](int n) { return tav::yearRateLabel(n, language); },
        {"Capital final:", "105"}, kEnglish);
}

}  // namespace

class TestCalc : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString pathIn(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    // Typed text; the general form (15 significant digits, the largest
    // doubles as the largest 15-digit number below them); the patterns, which
    // round half away from zero on the 15-digit decimal form.
    void readsAndWritesNumbers_data() {
        outcomeColumns();
        const QString mismatch = raises(tav::ErrorNumber::TypeMismatch);
        const QString overflow = raises(tav::ErrorNumber::Overflow);
        row("blanks and plus") << parsed(" +12.25 ", kEnglish) << "12.25";
        row("german grouping") << parsed("1.000,5", kGerman) << "1000.5";
        row("french plain space") << parsed("1 000", kFrench) << "1000";
        row("french no-break space") << parsed("1\u00a0000,5", kFrench) << "1000.5";
        row("french narrow no-break") << parsed("1\u202f000", kFrench) << "1000";
        row("swiss typographic quote") << parsed("1\u2019000.5", kSwiss) << "1000.5";
        row("swiss ascii apostrophe") << parsed("1'000.5", kSwiss) << "1000.5";
        for (const char* bad : {"", "   ", "12abc", "inf", "nan", "1.2.3", "1e400"}) {
            QTest::addRow("reading '%s'", bad)
                << parsed(QString::fromLatin1(bad), kEnglish) << mismatch;
        }
        row("a point in German") << parsed("1.5", kGerman) << mismatch;
        row("15 digits") << shown(14.206699082890461, kEnglish) << "14.2066990828905";
        row("decimal comma") << shown(1628.89, kGerman) << "1628,89";
        row("negative zero") << shown(-0.0, kEnglish) << "0";
        row("small") << shown(-1.25e-7, kSwiss) << "-1.25E-07";
        row("largest") << shown(DBL_MAX, kGerman) << "1,79769313486231E+308";
        row("largest negative") << shown(-DBL_MAX, kEnglish) << "-1.79769313486231E+308";
        row("first up at 15") << shown(1.797693134862315e308, kEnglish) << "1.79769313486231E+308";
        const Pattern cents = Pattern::Cents;
        row("1.005 up") << rounded(1.005, cents) << "1.01";
        row("-0.125 away from zero") << rounded(-0.125, cents) << "-0.13";
        row("tiny negative is unsigned") << rounded(-1e-20, cents) << "0.00";
        row("carry through nines") << rounded(999.995, cents) << "1000.00";
        row("12 decimals") << rounded(9.999999999999964, Pattern::TwelveDecimals)
                           << "10.000000000000";
        row("just below the largest") << rounded(1.7976931348623e308, cents, kGerman)
                                      << "17976931348623" + QString(295, u'0') + ",00";
        row("largest rounded") << rounded(DBL_MAX, cents, kGerman) << overflow;
        row("largest negative rounded") << rounded(-DBL_MAX, cents) << overflow;
    }
    void readsAndWritesNumbers() { compareOutcome(); }
    // In every locale the shown and the rounded text read back as the number,
    // also without the direction marks around a sign, and "e" or "E" reads
    // where the locale writes another exponent.
    void readsItsOwnTextInEveryLocale() {
        const QList<QLocale> locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 500);
        const QRegularExpression marks(QStringLiteral("[\\x{200e}\\x{200f}\\x{61c}]"));
        for (const QLocale& locale : locales) {
            const auto reads = [&locale](const QString& typed, double value) {
                return outcomeOf(parsed(typed, locale)) == QString::number(value, 'g', 17);
            };
            for (const double value : {-50.0, 0.5, 1234567.89, 1e33, 1e-5}) {
                QString text = tav::numberToText(value, locale);
                const double back =
                    tav::roundThroughPattern(value, Pattern::TwelveDecimals, locale);
                QVERIFY2(reads(text, value) && reads(text.remove(marks), value) && back == value,
                         qPrintable(locale.name() + ": " + text));
            }
            for (const char* typed : {"1e5", "1E5", "-1e5"}) {
                QVERIFY2(reads(QString::fromLatin1(typed), QByteArray(typed).toDouble()),
                         qPrintable(locale.name() + ": " + typed));
            }
        }
    }
    // The period's breakdown is that of the years as shown: 1.9999999999999989
    // years are 2, and binary rounding must not take a day off 2.3 or 0.3.
    void calculatesResults_data() {
        outcomeColumns();
        const QString overflow = raises(tav::ErrorNumber::Overflow);
        const QString outOfRange = raises(tav::ErrorNumber::RateOutOfRange);
        const QString byZero = raises(tav::ErrorNumber::DivisionByZero);
        row("10 years") << capital(1000, 5, 10) << "1628.89";
        row("half a year") << capital(1000, 5, 0.5) << "1024.7";
        row("just below half a cent") << capital(1, 0.4999, 1) << "1";
        row("capital: power overflows") << capital(1000, 5, 1e6) << overflow;
        row("capital: product overflows") << capital(1e308, 100, 10) << overflow;
        row("capital: cents overflow") << capital(DBL_MAX, 1e-300, 1) << overflow;
        row("90 days") << interest(1000, 5, 90) << "12.5";
        row("30 days, German") << interest(10000, 3.5, 30, kGerman) << "29,17";
        row("days overflow") << interest(1e308, 1e10, 1e10) << overflow;
        row("rate doubling in 10 years") << rate(1e3, 2e3, 10) << "7.17734625362";
        row("rate rounds up to 10") << rate(1e3, 1100, 1) << "10";
        row("falling capital") << rate(2e3, 1e3, 1) << "-50";
        for (const double years : {1.0, 0.5, 1e-10, 1e-300}) {
            QTest::addRow("equal capitals in %g years", years) << rate(1e3, 1e3, years) << "0";
        }
        row("fractional years") << rate(1e3, 1500, 2.5) << "17.60790225246";
        row("largest rate searched") << rate(1, 1e3, 1) << "99900";
        row("capital almost gone") << rate(1e12, 1e-12, 1) << "-100";
        row("rate just above the bound") << rate(1, 1000.001, 1) << outOfRange;
        row("rate in zero years") << rate(1, 2, 0) << outOfRange;
        row("rate in negative years") << rate(1, 1e3, -1) << outOfRange;
        row("rate in not-a-number years") << rate(1, 2, qQNaN()) << outOfRange;
        row("rate: power overflows") << rate(1e3, 2e3, 1e5) << overflow;
        row("rate: ratio overflows") << rate(1e-300, 1e300, 10) << overflow;
        row("rate from zero") << rate(0, 2e3, 10) << byZero;
        row("factor in a long period") << factor(3, 300) << "just below";
        row("factor of nines") << factor(1.0299999999999, 1) << "just below";
        row("doubling, German") << period(2000, 5, de, kGerman)
                                << "14,2066990828905 (14 Jahre, 2 Monate und 14 Tage)";
        row("English words, German digits")
            << period(2000, 5, en, kGerman) << "14,2066990828905 (14 years, 2 months and 14 days)";
        row("French 'jour'") << period(2000, 5, fr, kFrench)
                             << "14,2066990828905 (14 ans, 2 mois et 14 jour)";
        row("1 Jahr") << period(1100, 10, de) << "1 (1 Jahr, 0 Monate und 0 Tage)";
        row("1 year") << period(1100, 10) << "1 (1 year, 0 months and 0 days)";
        row("1 anno") << period(1100, 10, it) << "1 (1 anno, 0 mesi e 0 giorni)";
        row("1 an") << period(1100, 10, fr) << "1 (1 an, 0 mois et 0 jour)";
        row("1 Tag") << period(1500, 4, de, kGerman)
                     << "10,3380350715077 (10 Jahre, 4 Monate und 1 Tag)";
        row("1 day") << period(1500, 4) << "10.3380350715077 (10 years, 4 months and 1 day)";
        row("two whole years") << period(1102.5, 5) << "2 (2 years, 0 months and 0 days)";
        row("2.3 years") << period(4924.5776533796643, 100)
                         << "2.3 (2 years, 3 months and 18 days)";
        row("0.3 years") << period(1231.1444133449163, 100)
                         << "0.3 (0 years, 3 months and 18 days)";
        row("0 years") << period(1010, 5) << "0.203941327571965 (0 years, 2 months and 13 days)";
        row("period: ratio overflows") << period(1e300, 5, en, kEnglish, 1e-300) << overflow;
        row("period: rate too small") << period(2000, 1e-300) << byZero;
        row("period: ratio underflows") << period(1e-300, 5, en, kEnglish, 1e300)
                                        << raises(tav::ErrorNumber::InvalidProcedureCall);
    }
    void calculatesResults() { compareOutcome(); }
    void explainsItsErrorsAndKeepsTheIntermediateValues() {
        try {  // a refused rate names the bound in every language
            tav::searchInterestRate(1, 1e6, 1, kEnglish);
            QFAIL("no error raised");
        } catch (const tav::RuntimeError& error) {
            for (const Language language : tav::kAllLanguages) {
                QVERIFY(error.description(language).contains(QStringLiteral("99900")));
            }
        }
        // The window keeps these; the unit words go by the whole part only.
        const tav::InvestmentPeriod period = tav::investmentPeriod(1000, 2000, 5);
        QCOMPARE(period.ratio, 2.0);
        QCOMPARE(period.logGrowth, std::log(1.05));
        QCOMPARE(period.logRatio, std::log(2.0));
        QCOMPARE(tav::periodText(de, 1.9, 1.5, 1.99, kGerman), "1,9 (1 Jahr, 1 Monat und 1 Tag)");
        QCOMPARE(tav::periodText(it, 3, 1.2, 0.5, kEnglish), "3 (3 anni, 1 mese e 0 giorni)");
    }
    // Whole numbers outside 1 to 20 store nothing, fractions reset everything;
    // faults leave the state as it was; only the final capital is rounded.
    void pressesStagedYears_data() {
        outcomeColumns();
        const QString overflow = raises(tav::ErrorNumber::Overflow);
        const QString subscript = raises(tav::ErrorNumber::SubscriptOutOfRange);
        const StagedStorage entry{5, 106.09, 2, {3, 3}, {103, 106.09}};
        row("three years") << presses(3, 100, {5, 4, 3}) << "next next+ done 112.476 112.48 112.48";
        row("one year") << presses(1, 1, {0.5}) << "done+ 1.005 1.01 1.01";
        row("two years") << presses(2, 100, {10}) << "next+ 110 110 0";
        row("twenty years") << presses(20, 100, QList<double>(20, 1))
                            << QString("next ").repeated(18) +
                                   "next+ done 122.019003994797 122.02 122.02";
        row("2.5 years") << press(entry, 2.5, 100, 3) << "not whole, reset";
        row("a tiny fraction") << press(entry, 3.000001, 100, 3) << "not whole, reset";
        row("not a number") << press(entry, qQNaN(), 100, 3) << "not whole, reset";
        row("21 years") << press(entry, 21, 100, 3) << "out of range";
        row("negative years") << press(entry, -3, 100, 3) << "out of range";
        row("infinite years") << press(entry, qInf(), 100, 3) << "out of range";
        row("first year overflows") << press({}, 1, 1e308, 100) << overflow;
        row("later year overflows") << press({2, 1e308, 1}, 2, 1e307, 900) << overflow;
        row("cents past the largest") << press({}, 1, DBL_MAX, 1e-300) << overflow;
        row("years lowered below the count") << press({5, 103, 3}, 3, 100, 3) << subscript;
        row("a 21st year") << press({20, 103, 20}, 20, 100, 3) << subscript;
        row("negative count") << press({5, 0, -1}, 5, 100, 3) << subscript;
    }
    void pressesStagedYears() { compareOutcome(); }
    // Labels byte for byte, so that a change of source encoding cannot slip
    // through: é C3 A9, ê C3 AA, è C3 A8, ü C3 BC, and the plain apostrophe.
    // Year lines padded to 61 characters while the label leaves room, longer
    // ones keep only the two fixed blanks. Year 21 takes the last label.
    void composesTheStagedBlock_data() {
        outcomeColumns();
        const auto label = [](int nummer, Language language) {
            return Calculation([=] { return tav::yearRateLabel(nummer, language); });
        };
        const auto line = [](const QString& label, const QLocale& locale) {
            return Calculation([=] { return tav::stagedYearLine(label, 5, 1050, locale); });
        };
        const auto block = [](int years) {
            return Calculation([=] {
                tav::StagedArray ones{};
                ones.fill(1);
                const QString text = composeStaged(years, ones, ones, de);
                return QStringLiteral("%1 lines, %2 years")
                    .arg(text.count("\r\n"))
                    .arg(text.count("(1.00)"));
            });
        };
        const QString x41(41, u'x'), x42(42, u'x');
        row("1st, French") << label(0, fr) << "Le tas d'int\xc3\xa9r\xc3\xaat premier anner";
        row("6th, fr") << label(5, fr) << "Les tas int\xc3\xa9r\xc3\xaat des sixi\xc3\xa8me anner";
        row("5th, German") << label(4, de) << "Zinssatz f\xc3\xbcnftes Jahr";
        row("16th, German") << label(15, de) << "Zinssatz sechszehntes Jahr";
        row("8th, Italian") << label(7, it) << "Tasso d'interesse dell'ottavo anno";
        row("21st, Italian") << label(20, it) << "Tasso d'interesse anno";
        row("1st, English") << label(0, en) << "Interest rate first year";
        row("-1") << label(-1, en) << "";
        row("22nd") << label(21, de) << "";
        row("year line, German") << line("Zinssatz erstes Jahr", kGerman)
                                 << "Zinssatz erstes Jahr: 5,00000  " + QString(21, u' ') +
                                        "(1050,00)";
        row("61 long, no padding") << line(x41, kEnglish) << x41 + ": 5.00000  (1050.00)";
        row("one more") << line(x42, kEnglish) << x42 + ": 5.00000  (1050.00)";
        row("block of 21 years") << block(21) << "25 lines, 21 years";
        row("block of 22 years") << block(22) << raises(tav::ErrorNumber::SubscriptOutOfRange);
    }
    void composesTheStagedBlock() { compareOutcome(); }
    void everyLanguageHasTwentyOneDistinctLabels() {
        for (const Language language : tav::kAllLanguages) {
            QSet<QString> seen;
            for (int nummer = 0; nummer < tav::kYearLabelRows; ++nummer) {
                const QString label = tav::yearRateLabel(nummer, language);
                QVERIFY2(!label.isEmpty() && label == label.trimmed() && !label.contains(u'\u2019'),
                         qPrintable(label));
                seen.insert(label);
            }
            QCOMPARE(seen.size(), tav::kYearLabelRows);
        }
    }
    void reportsPaths_data() {
        outcomeColumns();
        const auto append = [](const QString& path) {
            return Calculation([=] {
                try {
                    tav::appendToFile(path, QStringLiteral("\r\nStarting capital: 1000\r\n"));
                } catch (const tav::RuntimeError& error) {
                    return raises(error.number()) + " " + error.description(de);
                }
                return QStringLiteral("saved");
            });
        };
        const auto failure = [](int number, const QString& german, const QString& path) {
            return raises(number) + " " + german + ": " + QDir::toNativeSeparators(path);
        };
        using namespace tav::ErrorNumber;
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        QFile plain(pathIn("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        const QString missing = pathIn("no-such/t.txt"), below = pathIn("plain-file/t.txt");
        const QString folder = pathIn("folder"), notFound = QStringLiteral("Pfad nicht gefunden");
        row("missing folder") << append(missing) << failure(PathNotFound, notFound, missing);
        row("file as folder") << append(below) << failure(PathNotFound, notFound, below);
        row("folder") << append(folder)
                      << failure(PathFileAccess, "Fehler beim Zugriff auf Pfad/Datei", folder);
#ifdef Q_OS_LINUX  // a device that is always full; links into a missing folder and a file
        const QString toMissing = pathIn("link-to-missing"), toBelow = pathIn("link-below-file");
        QVERIFY(QFile::link(missing, toMissing) && QFile::link(below, toBelow));
        row("link into a missing folder")
            << append(toMissing) << failure(PathNotFound, notFound, toMissing);
        row("link below a file") << append(toBelow) << failure(PathNotFound, notFound, toBelow);
        row("disk full") << append("/dev/full")
                         << failure(DiskFull, "Datenträger voll", "/dev/full");
#endif
        row("no name") << append({}) << raises(BadFileName) + " Dateiname oder -nummer falsch";
    }
    void reportsPaths() {
        compareOutcome();
    }
    void appendsBlocksByteForByte() {
        // The failures above left their targets and later blocks alone.
        QVERIFY(QDir(pathIn("folder")).isEmpty());
        QCOMPARE(readAll(pathIn("plain-file")), QByteArray());
        const QString path = pathIn("two-blocks.txt");
        tav::appendToFile(path, QStringLiteral("earlier line\r\n"));
        tav::appendToFile(
            path, tav::composePlainBlock({"Starting capital", "1000"}, {"Interest rate in %", "5"},
                                         {"Invest period in years", "10"},
                                         {"Money at the end of investment:", "1628.89"}));
        tav::appendToFile(path, composeStaged(1, tav::StagedArray{5}, tav::StagedArray{105}, fr));
        QCOMPARE(readAll(path),
                 "earlier line\r\n"
                 "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                 "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n"
                 "\r\nCapital initial: 100\r\nLe dur" +
                     kEAcute + "e des placements en ans: 1\r\nLe tas d'int" + kEAcute + "r" +
                     kECircumflex + "t premier anner: 5.00000  " + QByteArray(12, ' ') +
                     "(105.00)\r\nCapital final: 105\r\n");
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
