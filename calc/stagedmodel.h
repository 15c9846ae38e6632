#pragma once

#include <QLocale>
#include <QtGlobal>
#include <array>

namespace tav {

// The staged model: an investment of 1 to 20 whole years in which every year
// earns its own rate, entered one year per press of the calculate button.
// The window owns one StagedState and hands it to each press.

inline constexpr int kStagedSlots = 21;  // indices 0 to 20
inline constexpr int kStagedMaxYears = 20;
using StagedArray = std::array<double, kStagedSlots>;

struct StagedState {
    double a = 0;             // number of years
    double Zs = 0;            // running capital
    qint16 c = 0;             // rates stored so far = index of the year due next
    StagedArray Stufen_i{};   // rate in per cent of year index + 1
    StagedArray Stufen_Zs{};  // capital at the end of year index + 1, unrounded

    // Everything back to zero.
    void reset() { *this = StagedState{}; }
};

enum class StagedOutcome {
    NotWholeNumber,   // years not whole: the state was reset
    YearsOutOfRange,  // years not one of 1..20: nothing stored
    NextYearDue,      // a rate was stored; another year is due
    Completed,        // the last rate was stored; Zs holds the final capital in cents
};

struct StagedPress {
    StagedOutcome outcome = StagedOutcome::NotWholeNumber;
    // After a stored rate: exactly one year is still to come, or the model has
    // one year only; the window then shows the calculate caption.
    bool calculateCaption = false;
    double finalCapital = 0;  // Completed only; the state is not reset yet
};

// One press: `years`, `startCapital` and `rate` are the values of the three
// fields. The start capital is read only on the first press (c = 0). Raises
// Overflow when the capital leaves the double range and SubscriptOutOfRange
// when the count would leave 0..20 or already reached the years; after an
// error the state is as it was before the press.
StagedPress pressStaged(StagedState& state, double years, double startCapital, double rate,
                        const QLocale& locale);

}  // namespace tav
