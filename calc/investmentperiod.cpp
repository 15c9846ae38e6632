#include "investmentperiod.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>

#include "checkedmath.h"
#include "numbertext.h"

namespace tav {

namespace {

// The period is shown with 15 significant digits, and its breakdown is that of
// the number shown: 1.9999999999999989 years show as 2 and are 2 years, not 1
// year, 11 months and 29 days.
constexpr int kShownDigits = 15;

double shownYears(double years) {
    return QString::number(years, 'g', kShownDigits).toDouble();
}

// The breakdown counts whole years, months and days: the largest whole number
// not above the value.
double wholePart(double value) {
    return std::floor(value);
}

bool isSingular(double value) {
    return wholePart(value) == 1.0;
}

struct WholeMonthsAndDays {
    qint64 months = 0;
    qint64 days = 0;
};

// The whole months and days in the shown years, counted exactly on their
// decimal digits: binary arithmetic puts 2.3 years at 3 months and
// 17.99999999999994 days. The fraction of a year is `fraction` / `scale`.
// Below a thousandth of a year there is no whole month or day, and the scale
// would leave the integers.
WholeMonthsAndDays countedOnShownDigits(double years) {
    const auto [digits, exponent] = decimalDigits(years);
    const int decimals = kShownDigits - 1 - exponent;
    if (decimals <= 0 || decimals > 17) {
        return {};
    }
    const qint64 fraction = digits.right(std::min(decimals, kShownDigits)).toLongLong();
    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const qint64 months = 12 * fraction;
    return {months / scale, 30 * (months % scale) / scale};
}

// `value` kept at or above `whole` and below the next whole number.
double within(double value, qint64 whole) {
    const double low = static_cast<double>(whole);
    return std::clamp(value, low, std::nextafter(low + 1.0, low));
}

QString choose(double value, const char* singular, const char* plural) {
    return QString::fromUtf8(isSingular(value) ? singular : plural);
}

}  // namespace

InvestmentPeriod investmentPeriod(double start, double final, double ratePercent) {
    InvestmentPeriod period;
    period.ratio = checked::div(final, start);
    period.logGrowth = checked::log(checked::add(checked::div(ratePercent, 100.0), 1.0));
    period.logRatio = checked::log(period.ratio);
    period.years = checked::div(period.logRatio, period.logGrowth);
    const double shown = shownYears(period.years);
    period.months = checked::mul(checked::sub(shown, wholePart(shown)), 12.0);
    period.days = checked::mul(checked::sub(period.months, wholePart(period.months)), 30.0);
    if (shown > 0) {  // as every request's period is; the digits carry no sign
        const WholeMonthsAndDays whole = countedOnShownDigits(shown);
        period.months = within(period.months, whole.months);
        period.days = within(period.days, whole.days);
    }
    return period;
}

UnitWords unitWords(Language language, double years, double months, double days) {
    years = shownYears(years);
    switch (language) {
        case Language::German:
            return {choose(years, "Jahr", "Jahre"), choose(months, "Monat", "Monate"),
                    choose(days, "Tag", "Tage")};
        case Language::English:
            return {choose(years, "year", "years"), choose(months, "month", "months"),
                    choose(days, "day", "days")};
        case Language::Italian:
            return {choose(years, "anno", "anni"), choose(months, "mese", "mesi"),
                    choose(days, "giorno", "giorni")};
        case Language::French:
            return {choose(years, "an", "ans"), {}, {}};
    }
    return {};
}

QString periodText(Language language, double years, double months, double days,
                   const QLocale& locale) {
    const UnitWords words = unitWords(language, years, months, days);
    const QString n = numberToText(years, locale);
    const QString y = numberToText(wholePart(shownYears(years)), locale);
    const QString m = numberToText(wholePart(months), locale);
    const QString d = numberToText(wholePart(days), locale);

    const QString head =
        n + QStringLiteral(" (") + y + u' ' + words.years + QStringLiteral(", ") + m;
    switch (language) {
        case Language::German:
            return head + u' ' + words.months + QStringLiteral(" und ") + d + u' ' + words.days +
                   u')';
        case Language::English:
            return head + u' ' + words.months + QStringLiteral(" and ") + d + u' ' + words.days +
                   u')';
        case Language::Italian:
            return head + u' ' + words.months + QStringLiteral(" e ") + d + u' ' + words.days +
                   u')';
        case Language::French:
            // French keeps the month and day words fixed, whatever the numbers.
            return head + QStringLiteral(" mois et ") + d + QStringLiteral(" jour)");
    }
    return {};
}

}  // namespace tav
