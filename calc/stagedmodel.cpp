#include "stagedmodel.h"

#include <cmath>

#include "checkedmath.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "runtimeerror.h"

namespace tav {

StagedPress pressStaged(StagedState& state, double years, double startCapital, double rate,
                        const QLocale& locale) {
    StagedPress press;

    // Only whole years can be entered one by one.
    if (std::floor(years) != years) {
        state.reset();
        press.outcome = StagedOutcome::NotWholeNumber;
        return press;
    }
    // Zero years would never complete: nothing to enter.
    if (years < 1 || years > kStagedMaxYears) {
        press.outcome = StagedOutcome::YearsOutOfRange;
        return press;
    }

    // The year due must exist in the arrays and in the model; a count that has
    // already reached the years (they changed in the middle of an entry) or
    // would pass the last slot is refused before anything changes.
    const qint16 index = state.c;
    if (index < 0 || index >= kStagedMaxYears || index >= years) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange, QStringLiteral("pressStaged"));
    }
    const auto slot = static_cast<std::size_t>(index);

    // Computed first and stored afterwards, so that an error leaves the state
    // as it was.
    const double capitalBefore = index == 0 ? startCapital : state.Zs;
    const double capital =
        checked::mul(checked::add(checked::div(rate, 100.0), 1.0), capitalBefore);
    const auto count = static_cast<qint16>(index + 1);
    const bool completed = count == years;
    // Only the final capital is rounded; the yearly capitals keep full precision.
    const double shownCapital =
        completed ? roundThroughPattern(capital, Pattern::Cents, locale) : capital;

    state.a = years;
    state.Stufen_i[slot] = rate;
    state.Stufen_Zs[slot] = capital;
    state.Zs = shownCapital;
    state.c = count;

    press.calculateCaption = count + 1 == years || years == 1;
    if (completed) {
        press.outcome = StagedOutcome::Completed;
        press.finalCapital = shownCapital;
    } else {
        press.outcome = StagedOutcome::NextYearDue;
    }
    return press;
}

}  // namespace tav
