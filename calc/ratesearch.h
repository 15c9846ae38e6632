#pragma once

#include <QLocale>

namespace tav {

// The yearly rate in per cent that turns `start` into `final` in `years`,
// found by a decimal digit-by-digit search of the growth factor from 0, with
// the step sizes 0.01 down to 1e-13. The trial factor carries the rounding
// of its own history of additions and subtractions, as the search defines.
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
