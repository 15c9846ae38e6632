#pragma once

#include <QLocale>
#include <functional>

#include "runtimeerror.h"

namespace tav::testing {

inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
inline const QLocale kGerman(QLocale::German, QLocale::Germany);
inline const QLocale kFrench(QLocale::French, QLocale::France);

// The number of the error `action` raises, or 0 when it raises none.
inline int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

}  // namespace tav::testing
