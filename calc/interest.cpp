#include "interest.h"

#include "checkedmath.h"
#include "numbertext.h"

namespace tav {

double finalCapital(double start, double ratePercent, double years, const QLocale& locale) {
    const double base = checked::add(checked::div(ratePercent, 100.0), 1.0);
    const double growth = checked::pow(base, years);
    const double capital = checked::mul(growth, start);
    return roundThroughPattern(capital, Pattern::Cents, locale);
}

double interestForDays(double capital, double ratePercent, double days, const QLocale& locale) {
    // Left to right, as the formula is written: rate / 100 * capital / 360 * days.
    double interest = checked::div(ratePercent, 100.0);
    interest = checked::mul(interest, capital);
    interest = checked::div(interest, 360.0);
    interest = checked::mul(interest, days);
    return roundThroughPattern(interest, Pattern::Cents, locale);
}

}  // namespace tav
