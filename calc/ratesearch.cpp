#include "ratesearch.h"

#include <cmath>

#include "checkedmath.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "runtimeerror.h"

namespace tav {

namespace {

constexpr double kSteps[] = {0.01, 0.001, 0.0001, 0.00001, 0.000001, 0.0000001,
                             1e-8, 1e-9,  1e-10,  1e-11,   1e-12,    1e-13};

// The accumulated rounding of 100000 additions of 0.01 stays far below one
// step, so an accepted target is reached within one extra round; the slack
// only guards against inputs the up-front test cannot judge (a negative or
// not-a-number period).
constexpr long kCoarseRoundsSlack = 10;

// A finer step covers what one round of the step before it covered, which
// takes about ten rounds; far more means the trial factor no longer moves
// usefully, and the search ends instead of spinning.
constexpr long kMaxFineRounds = 1000;

[[noreturn]] void raiseOutOfRange() {
    throw RuntimeError(ErrorNumber::RateOutOfRange, QStringLiteral("searchInterestRate"));
}

// The coarse step from 0 needs about 100 * ratio^(1/years) rounds to reach
// the target. Written so that an infinite or undefined estimate is refused.
bool coarseStepWithinBound(double ratio, double years) {
    const double rounds = 100.0 * std::pow(ratio, 1.0 / years);
    return rounds <= kMaxCoarseRounds;
}

}  // namespace

RateSearchResult searchInterestRate(double start, double final, double years,
                                    const QLocale& locale) {
    RateSearchResult result;
    const double e = checked::div(final, start);
    result.ratio = e;
    if (!coarseStepWithinBound(e, years)) {
        raiseOutOfRange();
    }
    // Equal capitals grow at no rate in any period. The search from below
    // would stop just under a factor of 1, the further under the shorter the
    // period (its power rounds to 1 sooner), down to 0 and -100 %.
    if (e == 1.0) {
        result.factor = 1;
        result.power = 1;
        result.rate = 0;
        return result;
    }

    double f = 0;
    double g = 0;
    bool coarse = true;
    for (const double s : kSteps) {
        const long maxRounds =
            coarse ? static_cast<long>(kMaxCoarseRounds) + kCoarseRoundsSlack : kMaxFineRounds;
        long rounds = 0;
        do {
            const double next = checked::add(f, s);
            // A step too small to change the factor would never reach the target.
            if (next == f || ++rounds > maxRounds) {
                raiseOutOfRange();
            }
            f = next;
            g = checked::pow(f, years);
        } while (g < e);
        f = checked::sub(f, s);
        coarse = false;
    }

    result.factor = f;
    result.power = g;
    const double rate = checked::mul(checked::sub(f, 1.0), 100.0);
    result.rate = roundThroughPattern(rate, Pattern::TwelveDecimals, locale);
    return result;
}

}  // namespace tav
