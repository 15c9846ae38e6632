#pragma once

#include <QLocale>
#include <QString>

namespace tav {

// Conversions between the text in a field and numbers, in the number format of
// a given locale (the program passes the desktop's, QLocale::system()).

// Text as a user of `locale` types it: decimal separator and digit grouping of
// the locale, an optional sign, surrounding blanks, an exponent as "E", "e" or
// the locale's own. Direction marks are ignored, so the text numberToText and
// formatPattern write reads back in every locale. Raises error 13 for empty
// text, for anything that is not a number, and for infinity or not-a-number.
double textToNumber(const QString& text, const QLocale& locale);

// General form: shortest text with at most 15 significant digits, the locale's
// decimal separator, no grouping, no trailing zeros; a zero is always "0".
QString numberToText(double value, const QLocale& locale);

// The fixed-decimal patterns results are rounded through.
enum class Pattern {
    Cents,           // ###0.00
    FiveDecimals,    // ###0.00000
    TwelveDecimals,  // ###0.000000000000
};

int patternDecimals(Pattern pattern);

// The digits of a number as its 15-significant-digit decimal form writes them,
// locale-independent, and the power of ten of the first digit: 1234.5 gives
// "123450000000000" and 3, 0.05 gives "500000000000000" and -2. The sign is
// left out. Expects a finite number.
struct DecimalDigits {
    QString digits;
    int exponent = 0;
};
DecimalDigits decimalDigits(double value);

// `value` with the pattern's decimals: its 15-significant-digit decimal form is
// rounded half away from zero, as a person rounds (1.005 gives 1.01), with at
// least one integer digit, the locale's decimal separator and no grouping.
// Trailing zeros are kept ("1050.00"); a rounded zero carries no sign.
QString formatPattern(double value, Pattern pattern, const QLocale& locale);

// The result rounding: formatPattern, then straight back to a number.
double roundThroughPattern(double value, Pattern pattern, const QLocale& locale);

}  // namespace tav
