#include <QtTest>
#include <cfloat>
#include <optional>
#include <tuple>

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

namespace {

const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kSwiss(QLocale::German, QLocale::Switzerland);
constexpr Language de = Language::German, en = Language::English;
constexpr Language it = Language::Italian, fr = Language::French;
const QString kMismatch = raises(ErrorNumber::TypeMismatch);
const QString kOverflow = raises(ErrorNumber::Overflow);
const QString kOutOfRange = raises(ErrorNumber::RateOutOfRange);
const QString kByZero = raises(ErrorNumber::DivisionByZero);
const QString kSubscript = raises(ErrorNumber::SubscriptOutOfRange);

Calculation parsed(const QString& text, const QLocale& locale) {
    return [=] { return QString::number(textToNumber(text, locale), 'g', 17); };
}
// `value` in the general form or in `pattern`; the text reads back as the (rounded) value.
Calculation shown(double value, const QLocale& locale, std::optional<Pattern> pattern = {}) {
    return [=] {
        const QString text =
            pattern ? formatPattern(value, *pattern, locale) : numberToText(value, locale);
        const double kept = pattern ? roundThroughPattern(value, *pattern, locale) : value;
        const double back = textToNumber(text, locale);
        return back == kept || (!pattern && qFuzzyCompare(back, value))
                   ? text
                   : text + " reads back wrong";
    };
}
const auto text = [](double value) { return numberToText(value, kEnglish); };
Calculation capital(double start, double rate, double years) {
    return [=] { return text(finalCapital(start, rate, years, kEnglish)); };
}
Calculation interest(double capital, double rate, double days) {
    return [=] { return text(interestForDays(capital, rate, days, kEnglish)); };
}
Calculation rate(double start, double final, double years) {
    return [=] { return text(searchInterestRate(start, final, years, kEnglish).rate); };
}
Calculation period(double final, double rate, Language language = en,
                   const QLocale& locale = kEnglish, double start = 1000) {
    return [=] {
        const InvestmentPeriod p = investmentPeriod(start, final, rate);
        return periodText(language, p.years, p.months, p.days, locale);
    };
}

QString outcomeName(const StagedPress& press) {
    const char* names[] = {"not whole", "out of range", "next", "done"};
    return names[static_cast<int>(press.outcome)] + QString(press.calculateCaption ? "+" : "");
}
// One press on `s`: its outcome, and whether it reset or else changed the state.
Calculation press(StagedState s, double years, double start, double rate) {
    return [=]() mutable {
        const auto all = [](const StagedState& x) {
            return std::make_tuple(x.a, x.Zs, x.c, x.Stufen_i, x.Stufen_Zs);
        };
        const auto before = all(s);
        const QString outcome =
            outcomeOf([&] { return outcomeName(pressStaged(s, years, start, rate, kEnglish)); });
        return outcome + (all(s) == before ? "" : all(s) == all({}) ? ", reset" : ", changed");
    };
}

}  // namespace

class TestCalc : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString pathIn(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    // The general form has 15 digits (the largest doubles the largest such number below them);
    // patterns round half away from zero on it. The period's breakdown is that of the years as
    // shown (1.9999999999999989 years are 2; 2.3 and 0.3 lose no day); units go by whole parts.
    void calculates_data() {
        outcomeColumns();
        row("blanks and plus") << parsed(" +12.25 ", kEnglish) << "12.25";
        row("german grouping") << parsed("1.000,5", kGerman) << "1000.5";
        row("french plain space") << parsed("1 000", kFrench) << "1000";
        row("french no-break space") << parsed("1\u00a0000,5", kFrench) << "1000.5";
        row("french narrow no-break") << parsed("1\u202f000", kFrench) << "1000";
        row("swiss typographic quote") << parsed("1\u2019000.5", kSwiss) << "1000.5";
        row("swiss ascii apostrophe") << parsed("1'000.5", kSwiss) << "1000.5";
        for (const char* bad : {"", "   ", "12abc", "inf", "nan", "1.2.3", "1e400"}) {
            QTest::addRow("reading '%s'", bad) << parsed(bad, kEnglish) << kMismatch;
        }
        row("a point in German") << parsed("1.5", kGerman) << kMismatch;
        row("15 digits") << shown(14.206699082890461, kEnglish) << "14.2066990828905";
        row("decimal comma") << shown(1628.89, kGerman) << "1628,89";
        row("negative zero") << shown(-0.0, kEnglish) << "0";
        row("small") << shown(-1.25e-7, kSwiss) << "-1.25E-07";
        row("largest") << shown(DBL_MAX, kGerman) << "1,79769313486231E+308";
        row("largest negative") << shown(-DBL_MAX, kEnglish) << "-1.79769313486231E+308";
        row("first up at 15") << shown(1.797693134862315e308, kEnglish) << "1.79769313486231E+308";
        const Pattern cents = Pattern::Cents;
        row("1.005 up") << shown(1.005, kEnglish, cents) << "1.01";
        row("-0.125 away from zero") << shown(-0.125, kEnglish, cents) << "-0.13";
        row("tiny negative is unsigned") << shown(-1e-20, kEnglish, cents) << "0.00";
        row("carry through nines") << shown(999.995, kEnglish, cents) << "1000.00";
        row("12 decimals") << shown(9.999999999999964, kEnglish, Pattern::TwelveDecimals)
                           << "10.000000000000";
        row("below the largest") << shown(1.7976931348623e308, kGerman, cents)
                                 << "17976931348623" + QString(295, u'0') + ",00";
        row("largest rounded") << shown(DBL_MAX, kGerman, cents) << kOverflow;
        row("largest negative rounded") << shown(-DBL_MAX, kEnglish, cents) << kOverflow;
        row("just below half a cent") << capital(1, 0.4999, 1) << "1";
        row("capital: power overflows") << capital(1000, 5, 1e6) << kOverflow;
        row("capital: product overflows") << capital(1e308, 100, 10) << kOverflow;
        row("capital: cents overflow") << capital(DBL_MAX, 1e-300, 1) << kOverflow;
        row("90 days") << interest(1000, 5, 90) << "12.5";
        row("days overflow") << interest(1e308, 1e10, 1e10) << kOverflow;
        row("rate rounds up to 10") << rate(1e3, 1100, 1) << "10";
        row("falling capital") << rate(2e3, 1e3, 1) << "-50";
        for (const double years : {1.0, 0.5, 1e-10, 1e-300}) {
            QTest::addRow("equal capitals in %g years", years) << rate(1e3, 1e3, years) << "0";
        }
        row("fractional years") << rate(1e3, 1500, 2.5) << "17.60790225246";
        row("largest rate searched") << rate(1, 1e3, 1) << "99900";
        row("capital almost gone") << rate(1e12, 1e-12, 1) << "-100";
        row("rate just above the bound") << rate(1, 1000.001, 1) << kOutOfRange;
        row("rate in zero years") << rate(1, 2, 0) << kOutOfRange;
        row("rate in negative years") << rate(1, 1e3, -1) << kOutOfRange;
        row("rate in not-a-number years") << rate(1, 2, qQNaN()) << kOutOfRange;
        row("rate: power overflows") << rate(1e3, 2e3, 1e5) << kOverflow;
        row("rate: ratio overflows") << rate(1e-300, 1e300, 10) << kOverflow;
        row("rate from zero") << rate(0, 2e3, 10) << kByZero;
        const QString doubling = "14,2066990828905 (14 ";
        row("digits") << period(2e3, 5, en, kGerman) << doubling + "years, 2 months and 14 days)";
        row("French 'jour'") << period(2e3, 5, fr, kFrench) << doubling + "ans, 2 mois et 14 jour)";
        row("1 Jahr") << period(1100, 10, de) << "1 (1 Jahr, 0 Monate und 0 Tage)";
        row("1 year") << period(1100, 10) << "1 (1 year, 0 months and 0 days)";
        row("1 anno") << period(1100, 10, it) << "1 (1 anno, 0 mesi e 0 giorni)";
        row("1 an") << period(1100, 10, fr) << "1 (1 an, 0 mois et 0 jour)";
        row("1 Tag") << period(1500, 4, de, kGerman)
                     << "10,3380350715077 (10 Jahre, 4 Monate und 1 Tag)";
        row("1 day") << period(1500, 4) << "10.3380350715077 (10 years, 4 months and 1 day)";
        row("two whole years") << period(1102.5, 5) << "2 (2 years, 0 months and 0 days)";
        row("2.3") << period(4924.5776533796643, 100) << "2.3 (2 years, 3 months and 18 days)";
        row("0.3") << period(1231.1444133449163, 100) << "0.3 (0 years, 3 months and 18 days)";
        row("0 years") << period(1010, 5) << "0.203941327571965 (0 years, 2 months and 13 days)";
        row("period: ratio overflows") << period(1e300, 5, en, kEnglish, 1e-300) << kOverflow;
        row("period: rate too small") << period(2000, 1e-300) << kByZero;
        row("period: ratio underflows")
            << period(1e-300, 5, en, kEnglish, 1e300) << raises(ErrorNumber::InvalidProcedureCall);
        row("1 Monat") << Calculation([] { return periodText(de, 1.9, 1.5, 1.99, kGerman); })
                       << "1,9 (1 Jahr, 1 Monat und 1 Tag)";
        row("1 mese") << Calculation([] { return periodText(it, 3, 1.2, 0.5, kEnglish); })
                      << "3 (3 anni, 1 mese e 0 giorni)";
    }
    void calculates() { compareOutcome(); }
    // Shown and rounded text reads back in every locale, also without direction marks, and
    // "e" or "E" reads where the locale writes another exponent.
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
                QString text = numberToText(value, locale);
                const double back = roundThroughPattern(value, Pattern::TwelveDecimals, locale);
                QVERIFY2(reads(text, value) && reads(text.remove(marks), value) && back == value,
                         qPrintable(locale.name() + ": " + text));
            }
            QVERIFY2(reads("1e5", 1e5) && reads("1E5", 1e5) && reads("-1e5", -1e5),
                     qPrintable(locale.name()));
        }
    }
    void aRefusedRateNamesTheBound() {
        for (const Language language : kAllLanguages) {
            const QString refused = outcomeOf(rate(1, 1e6, 1), language);
            QVERIFY2(refused.startsWith(kOutOfRange + " ") && refused.contains("99900"),
                     qPrintable(refused));
        }
    }
    // Years outside 1 to 20 store nothing, fractions reset all, faults change nothing (the
    // window's entries cover the presses that go through). Labels byte for byte (é C3 A9, ê C3 AA,
    // è C3 A8, ü C3 BC, plain apostrophe); year lines padded to 61 characters, longer ones keep the
    // two fixed blanks.
    void stagesYears_data() {
        outcomeColumns();
        const StagedState entry{5, 106.09, 2, {3, 3}, {103, 106.09}};
        row("a tiny fraction") << press(entry, 3.000001, 100, 3) << "not whole, reset";
        row("not a number") << press(entry, qQNaN(), 100, 3) << "not whole, reset";
        row("negative years") << press(entry, -3, 100, 3) << "out of range";
        row("infinite years") << press(entry, qInf(), 100, 3) << "out of range";
        row("first year overflows") << press({}, 1, 1e308, 100) << kOverflow;
        row("later year overflows") << press({2, 1e308, 1}, 2, 1e307, 900) << kOverflow;
        row("cents past the largest") << press({}, 1, DBL_MAX, 1e-300) << kOverflow;
        row("years lowered below the count") << press({5, 103, 3}, 3, 100, 3) << kSubscript;
        row("a 21st year") << press({20, 103, 20}, 20, 100, 3) << kSubscript;
        row("negative count") << press({5, 0, -1}, 5, 100, 3) << kSubscript;
        const auto label = [](int nummer, Language language) {
            return Calculation([=] { return yearRateLabel(nummer, language); });
        };
        const auto line = [](const QString& label, const QLocale& locale) {
            return Calculation([=] { return stagedYearLine(label, 5, 1050, locale); });
        };
        const auto block = [](int years) {
            return Calculation([=] {
                StagedArray ones{};
                ones.fill(1);
                const QString text = composeStagedBlock(
                    {"Capital", "1"}, {"Years", "1"}, years, ones, ones,
                    [](int n) { return yearRateLabel(n, de); }, {"Final:", "1"}, kEnglish);
                return QString("%1 lines, %2 years").arg(text.count("\r\n")).arg(text.count("(1"));
            });
        };
        const QString x41(41, u'x'), x42(42, u'x');
        row("6th, fr") << label(5, fr) << "Les tas int\xc3\xa9r\xc3\xaat des sixi\xc3\xa8me anner";
        row("5th, German") << label(4, de) << "Zinssatz f\xc3\xbcnftes Jahr";
        row("16th, German") << label(15, de) << "Zinssatz sechszehntes Jahr";
        row("8th, Italian") << label(7, it) << "Tasso d'interesse dell'ottavo anno";
        row("21st, Italian") << label(20, it) << "Tasso d'interesse anno";
        row("1st, English") << label(0, en) << "Interest rate first year";
        row("-1") << label(-1, en) << "";
        row("22nd") << label(21, de) << "";
        const QString padded = ": 5,00000  " + QString(21, u' ') + "(1050,00)";
        row("year line, German") << line("Zinssatz erstes Jahr", kGerman)
                                 << "Zinssatz erstes Jahr" + padded;
        row("61 long, no padding") << line(x41, kEnglish) << x41 + ": 5.00000  (1050.00)";
        row("one more") << line(x42, kEnglish) << x42 + ": 5.00000  (1050.00)";
        row("block of 21 years") << block(21) << "25 lines, 21 years";
        row("block of 22 years") << block(22) << kSubscript;
    }
    void stagesYears() { compareOutcome(); }
    void reportsPaths() { compareOutcome(); }
    void reportsPaths_data() {
        outcomeColumns();
        const auto append = [](const QString& path) {
            return Calculation([=] {
                return outcomeOf([&] { return appendToFile(path, "\r\nCapital: 1\r\n"), "saved"; },
                                 de);
            });
        };
        const auto failure = [](int number, const QString& german, const QString& path) {
            return raises(number) + " " + german + ": " + QDir::toNativeSeparators(path);
        };
        using namespace ErrorNumber;  // the window's fault tests cover the other targets
        QFile plain(pathIn("plain-file"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        const QString below = pathIn("plain-file/t.txt"), notFound("Pfad nicht gefunden");
        row("file as folder") << append(below) << failure(PathNotFound, notFound, below);
        row("no name") << append({}) << raises(BadFileName) + " Dateiname oder -nummer falsch";
#ifdef Q_OS_LINUX  // links into a missing folder and below a file
        const QString toMissing = pathIn("link-to-missing"), toBelow = pathIn("link-below-file");
        QVERIFY(QFile::link(pathIn("no-such/t.txt"), toMissing) && QFile::link(below, toBelow));
        row("link to missing") << append(toMissing) << failure(PathNotFound, notFound, toMissing);
        row("link below a file") << append(toBelow) << failure(PathNotFound, notFound, toBelow);
#endif
    }
};

QTEST_GUILESS_MAIN(TestCalc)
#include "tst_calc.moc"
