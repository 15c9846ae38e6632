#pragma once

#include <QLocale>

namespace tav {

// Final capital K * (1 + p/100)^n with yearly compounding and a real exponent,
// rounded to cents through the "###0.00" pattern. Every step is checked.
double finalCapital(double start, double ratePercent, double years, const QLocale& locale);

// Simple interest for some days with a 360-day year, ((p / 100) * K) / 360 * t,
// strictly left to right, rounded to cents through "###0.00".
double interestForDays(double capital, double ratePercent, double days, const QLocale& locale);

}  // namespace tav
