#pragma once

#include <QString>
#include <utility>

#include "runtimeerror.h"

namespace tav {

// The service classes name the routine an error came from in its source
// ("cSysRegistry:GetRegistryValue"). The innermost routine that labels an
// error wins: a source that already holds a ":" is left as it is.
template <typename Body>
auto labelUnlabelled(const QString& label, Body&& body) -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (RuntimeError& error) {
        if (!error.source().contains(QLatin1Char(':'))) {
            error.setSource(label);
        }
        throw;
    }
}

// The same, but the label replaces whatever source the error had.
template <typename Body>
auto labelAlways(const QString& label, Body&& body) -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (RuntimeError& error) {
        error.setSource(label);
        throw;
    }
}

}  // namespace tav
