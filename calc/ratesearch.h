#pragma once

#include <QLocale>

namespace tav {

// The yearly rate in per cent that turns `start` into `final` in `years`,
// found by a decimal digit-by-digit search of the growth factor from 0, with
// the step sizes 0.01 down to 1e-13. The trial factor is stepped by
// additions and subtractions, never recomputed from its digits, and so carries
// the rounding of that history; the rate's last digits depend on it, and they
// stay the same for the same inputs from one version of the program to the next.
// Equal capitals give a rate of 0 without a search.
struct RateSearchResult {
    double ratio = 0;   // final / start (e)
    double factor = 0;  // the growth factor found (f)
    double power = 0;   // the last trial factor raised to `years` (g)
    double rate = 0;    // (factor - 1) * 100, rounded through "###0.000000000000" (Ze)
};

// Upper bound on the rounds of the coarse (0.01) step: 100000 rounds reach a
// factor of 1000, a rate of 99900 % a year.
inline constexpr double kMaxCoarseRounds = 100000;

// Raises RateOutOfRange, before searching, when the coarse step would need more
// than kMaxCoarseRounds rounds; Overflow when a power overflows.
RateSearchResult searchInterestRate(double start, double final, double years,
                                    const QLocale& locale);

}  // namespace tav
