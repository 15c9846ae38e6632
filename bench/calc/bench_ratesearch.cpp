// Timing of the interest-rate search, which runs inside the click handler
// under the wait cursor: a typical request and the slowest ones it accepts.
#include <benchmark/benchmark.h>

#include <QLocale>

#include "ratesearch.h"

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

void searchRate(benchmark::State& state, double start, double final, double years) {
    for (auto _ : state) {
        const tav::RateSearchResult result = tav::searchInterestRate(start, final, years, kEnglish);
        benchmark::DoNotOptimize(result.rate);
    }
}

}  // namespace

// Doubling in ten years: about 165 powers.
BENCHMARK_CAPTURE(searchRate, typical_1000_2000_10y, 1000.0, 2000.0, 10.0)
    ->Unit(benchmark::kMicrosecond);

// Right at the bound: a factor of 1000 a year takes the full 100000 coarse rounds.
BENCHMARK_CAPTURE(searchRate, bound_1_1000_1y, 1.0, 1000.0, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchRate, bound_1_1e6_2y, 1.0, 1e6, 2.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(searchRate, bound_1_9p999e29_10y, 1.0, 9.999e29, 10.0)
    ->Unit(benchmark::kMillisecond);
// A fractional period takes the general path of the power.
BENCHMARK_CAPTURE(searchRate, bound_1_31622000_2p5y, 1.0, 31622000.0, 2.5)
    ->Unit(benchmark::kMillisecond);

// At the bound with a factor of nines, the most rounds in the finer steps
// found near the bound (100099 powers in all).
BENCHMARK_CAPTURE(searchRate, bound_nines_1_999_999999999_1y, 1.0, 999.999999999, 1.0)
    ->Unit(benchmark::kMillisecond);

// The most rounds in the finer steps found anywhere (111 after the coarse step).
BENCHMARK_CAPTURE(searchRate, finer_steps_worst, 1.0, 780416.34960477857, 5.8128088931518382)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
