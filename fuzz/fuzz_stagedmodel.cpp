// The staged model's core driven by a random sequence of presses and resets,
// with the values a window would pass and with any double at all. After every
// step the state must be one the model can be in: nothing stored and all zero,
// or 1 <= c < a <= 20 whole years with the running capital equal to the last
// stored year and every entry past the count zero.
#include <QLocale>
#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "errornumbers.h"
#include "fuzzcheck.h"
#include "runtimeerror.h"
#include "stagedmodel.h"

using tav::StagedOutcome;
using tav::StagedState;

namespace {

// Reads the fuzz input front to back; past its end every read gives zero.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    double anyDouble() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) {
            bits = bits << 8 | byte();
        }
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Rates as users type them (0.25 to 64 per cent in quarters, sometimes
// negative) or, now and then, any double.
double rate(Bytes& in) {
    const std::uint8_t kind = in.byte();
    if (kind < 200) {
        return (in.byte() + 1) / 4.0;
    }
    if (kind < 230) {
        return -(in.byte() + 1) / 4.0;
    }
    return in.anyDouble();
}

double capital(Bytes& in) {
    const std::uint8_t kind = in.byte();
    if (kind < 128) {
        return in.byte() * 100.0 + in.byte() / 100.0;  // 0 to 25502.55
    }
    if (kind < 192) {
        return std::ldexp(1.0, in.byte() + 800);  // close to the top of the range
    }
    return in.anyDouble();
}

double years(Bytes& in) {
    const std::uint8_t kind = in.byte();
    if (kind < 200) {
        return in.byte() % 23;  // 0 to 22: a few past the limit
    }
    if (kind < 230) {
        return in.byte() % 23 + 0.5;
    }
    return in.anyDouble();
}

bool sameState(const StagedState& x, const StagedState& y) {
    // Bitwise, so that a NaN stored somewhere counts as a change.
    return std::memcmp(&x.a, &y.a, sizeof x.a) == 0 &&
           std::memcmp(&x.Zs, &y.Zs, sizeof x.Zs) == 0 && x.c == y.c &&
           std::memcmp(x.Stufen_i.data(), y.Stufen_i.data(), sizeof x.Stufen_i) == 0 &&
           std::memcmp(x.Stufen_Zs.data(), y.Stufen_Zs.data(), sizeof x.Stufen_Zs) == 0;
}

bool isAllZero(const StagedState& s) {
    const auto zero = [](const tav::StagedArray& v) {
        return std::all_of(v.begin(), v.end(), [](double x) { return x == 0.0; });
    };
    return s.a == 0 && s.Zs == 0 && s.c == 0 && zero(s.Stufen_i) && zero(s.Stufen_Zs);
}

// `completed`: the last press stored the last year and the window has not
// reset the state yet; the count then equals the years and Zs is rounded.
void checkInvariants(const StagedState& s, bool completed) {
    if (s.c == 0) {
        FUZZ_CHECK(isAllZero(s), "nothing stored, yet the state is not zero (a=%g Zs=%g)", s.a,
                   s.Zs);
        return;
    }
    FUZZ_CHECK(s.c >= 1, "negative count %d", s.c);
    FUZZ_CHECK(std::floor(s.a) == s.a && s.a <= tav::kStagedMaxYears,
               "years %g are not whole years 1 to 20", s.a);
    FUZZ_CHECK(completed ? s.c == s.a : s.c < s.a, "count %d against %g years", s.c, s.a);
    const auto stored = static_cast<std::size_t>(s.c);
    for (std::size_t i = 0; i < stored; ++i) {
        FUZZ_CHECK(std::isfinite(s.Stufen_i[i]) && std::isfinite(s.Stufen_Zs[i]),
                   "year %zu holds rate %g and capital %g", i + 1, s.Stufen_i[i], s.Stufen_Zs[i]);
    }
    for (std::size_t i = stored; i < tav::kStagedSlots; ++i) {
        FUZZ_CHECK(s.Stufen_i[i] == 0 && s.Stufen_Zs[i] == 0,
                   "entry %zu beyond the count %d holds rate %g and capital %g", i, s.c,
                   s.Stufen_i[i], s.Stufen_Zs[i]);
    }
    const double last = s.Stufen_Zs[stored - 1];
    if (!completed) {
        FUZZ_CHECK(s.Zs == last, "running capital %.17g, last stored year %.17g", s.Zs, last);
        return;
    }
    // Only the final capital is rounded: to cents, from its 15-digit form
    // (as a person rounds what is shown), so it may be off by half a cent,
    // half a unit of the 15th digit and the reading back into a double.
    const double step = 0.005 + std::fabs(last) * (5e-15 + DBL_EPSILON);
    FUZZ_CHECK(std::fabs(s.Zs - last) <= step * (1 + 1e-9),
               "final capital %.17g from last year %.17g", s.Zs, last);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::array<QLocale, 2> locales{QLocale(QLocale::English, QLocale::UnitedStates),
                                                QLocale(QLocale::German, QLocale::Germany)};
    Bytes in(data, size);
    const QLocale& locale = locales[in.byte() % locales.size()];

    StagedState s;
    // The years and start capital stay in their locked fields during an entry;
    // a press may also come with other values, as the core allows.
    double entryYears = 3;
    double entryCapital = 100;
    for (int step = 0; step < 200 && !in.empty(); ++step) {
        const std::uint8_t op = in.byte() % 8;
        if (op == 6) {  // a mode switch or the error path of the request
            s.reset();
            checkInvariants(s, false);
            continue;
        }
        if (op == 7) {  // a new entry: years and capital typed afresh
            entryYears = years(in);
            entryCapital = capital(in);
            continue;
        }
        const double pressYears = op == 5 ? years(in) : entryYears;
        const double pressCapital = op == 5 ? capital(in) : entryCapital;
        const double pressRate = rate(in);

        const StagedState before = s;
        tav::StagedPress press;
        try {
            press = tav::pressStaged(s, pressYears, pressCapital, pressRate, locale);
        } catch (const tav::RuntimeError& error) {
            FUZZ_CHECK(sameState(before, s), "error %d changed the state", error.number());
            checkInvariants(s, false);
            continue;
        }

        switch (press.outcome) {
            case StagedOutcome::NotWholeNumber:
                FUZZ_CHECK(std::floor(pressYears) != pressYears, "%g years refused as not whole",
                           pressYears);
                FUZZ_CHECK(isAllZero(s), "not whole years, yet the state was not reset");
                break;
            case StagedOutcome::YearsOutOfRange:
                FUZZ_CHECK(!(pressYears >= 1 && pressYears <= tav::kStagedMaxYears),
                           "%g years refused as out of range", pressYears);
                FUZZ_CHECK(sameState(before, s), "years out of range changed the state");
                break;
            case StagedOutcome::NextYearDue:
            case StagedOutcome::Completed: {
                const bool completed = press.outcome == StagedOutcome::Completed;
                FUZZ_CHECK(s.c == before.c + 1, "count went from %d to %d", before.c, s.c);
                FUZZ_CHECK(s.a == pressYears, "years %g stored as %g", pressYears, s.a);
                const auto year = static_cast<std::size_t>(s.c - 1);
                FUZZ_CHECK(s.Stufen_i[year] == pressRate, "rate %g stored as %g", pressRate,
                           s.Stufen_i[year]);
                const double from = before.c == 0 ? pressCapital : before.Zs;
                FUZZ_CHECK(s.Stufen_Zs[year] == (pressRate / 100 + 1) * from,
                           "%.17g at %g%% became %.17g", from, pressRate, s.Stufen_Zs[year]);
                FUZZ_CHECK(press.calculateCaption == (s.c + 1 == s.a || s.a == 1),
                           "calculate caption %d at count %d of %g years", press.calculateCaption,
                           s.c, s.a);
                FUZZ_CHECK(completed == (s.c == s.a), "outcome %d at count %d of %g years",
                           static_cast<int>(press.outcome), s.c, s.a);
                checkInvariants(s, completed);
                if (completed) {
                    FUZZ_CHECK(press.finalCapital == s.Zs, "final capital %.17g, Zs %.17g",
                               press.finalCapital, s.Zs);
                    // The window writes the result file, then resets.
                    s.reset();
                }
                break;
            }
        }
    }
    return 0;
}
