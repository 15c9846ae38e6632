#include "investmentperiod.h"

#include <cmath>

#include "checkedmath.h"
#include "numbertext.h"

namespace tav {

namespace {

// The breakdown counts whole years, months and days: Int, the largest whole
// number not above the value.
double wholePart(double value) {
    return std::floor(value);
}

bool isSingular(double value) {
    return wholePart(value) == 1.0;
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
    period.months = checked::mul(checked::sub(period.years, wholePart(period.years)), 12.0);
    period.days = checked::mul(checked::sub(period.months, wholePart(period.months)), 30.0);
    return period;
}

UnitWords unitWords(Language language, double years, double months, double days) {
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
    const QString y = numberToText(wholePart(years), locale);
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
