#pragma once

#include <QLocale>
#include <QString>

#include "language.h"

namespace tav {

// How many years a starting capital needs at a fixed yearly rate, compounded
// yearly, to grow to a final capital; with the breakdown into months and days
// (12-month year, 30-day month). The years are shown with 15 significant
// digits, and the breakdown is that of the number shown, counted exactly on
// its digits: a whole number of years shows 0 months and 0 days.
struct InvestmentPeriod {
    double ratio = 0;      // final / start (the window's e)
    double logGrowth = 0;  // ln(rate / 100 + 1) (f)
    double logRatio = 0;   // ln(ratio) (g)
    double years = 0;      // logRatio / logGrowth (Ze)
    double months = 0;     // fraction of a year in `years` as shown, times 12 (erstes_i)
    double days = 0;       // fraction of a month in `months`, times 30 (zweites_i)
};

// Steps in a fixed order, each checked as it is taken, so that a failure
// reports the error of the first step that fails and the window shows the
// values of the steps before it. Expects 0 < start < final and
// ratePercent > 0 (the request has checked them).
InvestmentPeriod investmentPeriod(double start, double final, double ratePercent);

// The unit words for the whole parts of the three numbers (of `years` as
// shown); a word is singular exactly when the whole part is 1. French has no
// month or day word: those stay empty (its text uses fixed words).
struct UnitWords {
    QString years;   // Jahre
    QString months;  // Monate
    QString days;    // Tage
};
UnitWords unitWords(Language language, double years, double months, double days);

// The text of the result field, e.g. "14.2066990828905 (14 years, 2 months and
// 14 days)"; numbers in the general form of `locale`.
QString periodText(Language language, double years, double months, double days,
                   const QLocale& locale);

}  // namespace tav
