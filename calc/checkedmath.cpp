#include "checkedmath.h"

#include <cmath>

#include "errornumbers.h"
#include "runtimeerror.h"

namespace tav::checked {

double check(double result) {
    if (std::isnan(result)) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    }
    if (std::isinf(result)) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return result;
}

double add(double x, double y) {
    return check(x + y);
}
double sub(double x, double y) {
    return check(x - y);
}
double mul(double x, double y) {
    return check(x * y);
}

double div(double x, double y) {
    if (y == 0.0) {
        throw RuntimeError(ErrorNumber::DivisionByZero);
    }
    return check(x / y);
}

double pow(double base, double exponent) {
    return check(std::pow(base, exponent));
}

double log(double x) {
    if (x <= 0.0) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    }
    return check(std::log(x));
}

}  // namespace tav::checked
