// Text typed into a field, read as a number in eight desktop locales, among
// them right-to-left ones whose signs carry direction marks, ones with digits
// of their own and ones that write the exponent other than as "E". Any text is
// either refused with error 13 or gives a finite number, and the number's
// general form (what the result field shows) reads back as that number to the
// 15 digits the general form keeps, and shows the same again.
#include <QLocale>
#include <QString>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errornumbers.h"
#include "fuzzcheck.h"
#include "numbertext.h"
#include "runtimeerror.h"

namespace {

const std::array<QLocale, 8>& locales() {
    static const std::array<QLocale, 8> all{
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland),
        QLocale(QLocale::Hebrew, QLocale::Israel),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Persian, QLocale::Iran),
        QLocale(QLocale::Swedish, QLocale::Sweden),
    };
    return all;
}

// `value` rounded to 15 significant digits by the C library, which rounds
// the exact binary value correctly.
double roundedTo15Digits(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", value);
    return std::strtod(text, nullptr);
}

void checkLocale(const QString& text, const QLocale& locale) {
    const QByteArray name = locale.name().toUtf8();
    double number = 0;
    try {
        number = tav::textToNumber(text, locale);
    } catch (const tav::RuntimeError& error) {
        FUZZ_CHECK(error.number() == tav::ErrorNumber::TypeMismatch,
                   "%s: refused with error %d instead of 13", name.constData(), error.number());
        return;
    }
    FUZZ_CHECK(std::isfinite(number), "%s: accepted a number that is not finite", name.constData());

    const QString shown = tav::numberToText(number, locale);
    const QByteArray shownUtf8 = shown.toUtf8();
    double back = 0;
    try {
        back = tav::textToNumber(shown, locale);
    } catch (const tav::RuntimeError& error) {
        FUZZ_CHECK(false, "%s: %.17g is shown as \"%s\", which reads back as error %d",
                   name.constData(), number, shownUtf8.constData(), error.number());
    }

    // The general form keeps 15 digits: reading it back gives the number
    // rounded to them. On an exact tie either neighbour is right.
    const double expected = roundedTo15Digits(number);
    const bool sameNumber =
        back == expected || std::fabs(back - number) <= std::fabs(expected - number);
    FUZZ_CHECK(sameNumber, "%s: %.17g is shown as \"%s\", which reads back as %.17g",
               name.constData(), number, shownUtf8.constData(), back);
    // And the shown text is stable: showing the number read back shows the same.
    const QString shownAgain = tav::numberToText(back, locale);
    FUZZ_CHECK(shownAgain == shown, "%s: \"%s\" reads back as a number shown as \"%s\"",
               name.constData(), shownUtf8.constData(), shownAgain.toUtf8().constData());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QLocale& locale : locales()) {
        checkLocale(text, locale);
    }

    // Qt's parser carries no coverage feedback, so mutating text alone rarely
    // reaches the far ends of the double range. The first eight bytes are
    // also read as a double and typed in full, 17 digits with the locale's
    // grouping, as a user could copy it.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) {
            for (const QLocale& locale : locales()) {
                checkLocale(locale.toString(value, 'g', 17), locale);
            }
        }
    }
    return 0;
}
