#include "numbertext.h"

#include <QRegularExpression>
#include <cmath>

#include "checkedmath.h"
#include "errornumbers.h"
#include "runtimeerror.h"

namespace tav {

namespace {

constexpr QChar kNoBreakSpace(0x00A0);
constexpr QChar kNarrowNoBreakSpace(0x202F);
constexpr QChar kRightSingleQuote(0x2019);
constexpr QChar kMinusSign(0x2212);

// Numbers above this can round up past the largest double at 15 digits.
constexpr double kLargestBeforeRounding = 1.797693134862e308;

// The largest number whose 15-digit general form still reads back; the few
// doubles above it would show as 1.79769313486232E+308, beyond the range.
constexpr double kLargestGeneralForm = 1.79769313486231e308;

// Right-to-left locales wrap their signs in direction marks (left-to-right
// mark, right-to-left mark, Arabic letter mark) that keep a number in order
// within the text around it. They carry no value, the parser reads no sign
// with them in it, and a user rarely types them: they are left out.
QString withoutDirectionMarks(QString text) {
    for (const QChar mark : {QChar(0x200E), QChar(0x200F), QChar(0x061C)}) {
        text.remove(mark);
    }
    return text;
}

// The parser reads "E" in every locale, but neither the longer exponents some
// locales write (a times sign and "10^" in Swedish, two Arabic letters in
// Arabic) nor, in those locales, an "e". Both become "E", as most locales
// write it.
QString withPlainExponent(QString text, const QLocale& locale) {
    const QString exponent = withoutDirectionMarks(locale.exponential());
    if (exponent.compare(QStringLiteral("E"), Qt::CaseInsensitive) != 0) {
        text.replace(exponent, QStringLiteral("E"), Qt::CaseInsensitive);
    }
    text.replace(u'e', u'E');
    return text;
}

// What users of a locale really type can differ from what the locale writes:
// a plain or no-break space where it groups with a narrow no-break space, an
// ASCII apostrophe where it uses a typographic one, an ASCII sign where it
// uses a typographic minus. Returns the text with those replaced by the
// locale's own characters.
QString withLocaleCharacters(QString text, const QLocale& locale) {
    const QString group = locale.groupSeparator();
    if (group == QString(kNarrowNoBreakSpace) || group == QString(kNoBreakSpace)) {
        for (QChar blank : {QChar(u' '), kNoBreakSpace, kNarrowNoBreakSpace}) {
            text.replace(blank, group);
        }
    } else if (group == QString(kRightSingleQuote)) {
        text.replace(u'\'', group);
    }
    const QString minus = withoutDirectionMarks(locale.negativeSign());
    if (minus != QStringLiteral("-")) {
        text.replace(u'-', minus);
    } else {
        text.replace(kMinusSign, minus);
    }
    const QString plus = withoutDirectionMarks(locale.positiveSign());
    if (plus != QStringLiteral("+")) {
        text.replace(u'+', plus);
    }
    return text;
}

[[noreturn]] void raiseTypeMismatch() {
    throw RuntimeError(ErrorNumber::TypeMismatch);
}

}  // namespace

double textToNumber(const QString& text, const QLocale& locale) {
    const QString trimmed = withPlainExponent(withoutDirectionMarks(text), locale).trimmed();
    if (trimmed.isEmpty()) {
        raiseTypeMismatch();
    }
    for (const QString& candidate : {trimmed, withLocaleCharacters(trimmed, locale)}) {
        bool ok = false;
        const double value = locale.toDouble(candidate, &ok);
        // toDouble also reads "inf" and "nan"; neither is an amount.
        if (ok && std::isfinite(value)) {
            return value;
        }
    }
    raiseTypeMismatch();
}

QString numberToText(double value, const QLocale& locale) {
    if (value == 0.0) {
        return QStringLiteral("0");  // never "-0"
    }
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Shown as the largest 15-digit number below them, the top doubles stay
    // readable when the shown text is typed in again.
    if (std::fabs(value) > kLargestGeneralForm) {
        value = std::copysign(kLargestGeneralForm, value);
    }
    return plain.toString(value, 'G', 15);
}

DecimalDigits decimalDigits(double value) {
    // "d.dddddddddddddde+XX"
    const QString scientific = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = scientific.indexOf(u'e');
    return {scientific.left(1) + scientific.mid(2, ePos - 2), scientific.mid(ePos + 1).toInt()};
}

int patternDecimals(Pattern pattern) {
    switch (pattern) {
        case Pattern::Cents:
            return 2;
        case Pattern::FiveDecimals:
            return 5;
        case Pattern::TwelveDecimals:
            return 12;
    }
    return 2;
}

QString formatPattern(double value, Pattern pattern, const QLocale& locale) {
    checked::check(value);
    const int decimals = patternDecimals(pattern);
    const auto [digits, exponent] = decimalDigits(value);

    // Keep the digits up to the pattern's last decimal; they form the integer
    // value * 10^decimals. The first digit dropped decides the rounding.
    const int kept = exponent + 1 + decimals;
    QString scaled;
    bool roundUp = false;
    if (kept >= 0) {
        scaled = digits.left(kept);
        if (kept > digits.size()) {
            scaled += QString(kept - digits.size(), u'0');
        } else if (kept < digits.size()) {
            roundUp = digits.at(kept) >= u'5';
        }
    }
    if (scaled.isEmpty()) {
        scaled = QStringLiteral("0");
    }
    if (roundUp) {
        qsizetype i = scaled.size() - 1;
        while (i >= 0 && scaled.at(i) == u'9') {
            scaled[i] = u'0';
            --i;
        }
        if (i < 0) {
            scaled.prepend(u'1');
        } else {
            scaled[i] = QChar(scaled.at(i).unicode() + 1);
        }
    }

    if (scaled.size() <= decimals) {
        scaled = QString(decimals + 1 - scaled.size(), u'0') + scaled;
    }
    const QString integerPart = scaled.left(scaled.size() - decimals);
    const QString fraction = scaled.right(decimals);
    const bool isZero = !scaled.contains(QRegularExpression(QStringLiteral("[1-9]")));

    QString text;
    if (value < 0 && !isZero) {
        text = locale.negativeSign();
    }
    text += integerPart;
    if (decimals > 0) {
        text += locale.decimalPoint() + fraction;
    }
    return text;
}

double roundThroughPattern(double value, Pattern pattern, const QLocale& locale) {
    const QString text = formatPattern(value, pattern, locale);
    try {
        return textToNumber(text, locale);
    } catch (const RuntimeError&) {
        // Near the end of the double range, rounding up at 15 digits can carry
        // the number past it; that is an overflow, not a typing error.
        if (std::fabs(value) > kLargestBeforeRounding) {
            throw RuntimeError(ErrorNumber::Overflow);
        }
        throw;
    }
}

}  // namespace tav
