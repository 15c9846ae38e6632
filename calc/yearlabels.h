#pragma once

#include <QString>

#include "language.h"

namespace tav {

// The label naming the interest rate of year `nummer` + 1 (rows 0 to 20) in a
// language, e.g. "Interest rate third year" for 2. Empty outside 0..20.
QString yearRateLabel(int nummer, Language language);

inline constexpr int kYearLabelRows = 21;

}  // namespace tav
