#pragma once

namespace tav::checked {

// Arithmetic that tests the floating-point result after every step, as the
// calculations require: an infinite result raises Overflow (6), not-a-number
// raises InvalidProcedureCall (5), and a division by zero raises
// DivisionByZero (11).

double check(double result);
double add(double x, double y);
double sub(double x, double y);
double mul(double x, double y);
double div(double x, double y);
double pow(double base, double exponent);
double log(double x);

}  // namespace tav::checked
