// Micro-benchmarks of the spin, and a million-spin run of the draw's fairness.

#include "game/symbol_table.h"
#include "runtime/random_source.h"
#include "test_services.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace jangora {
namespace {

constexpr float thousandPasses = 0.9999F; // rounds to RollCount 1000

// The 3,001 numbers a charged press of 1000 passes takes, drawn alone.
void drawNumbersAlone(benchmark::State& state) {
    testing::TestServices services;
    services.random.seed(1);
    for (auto _ : state) {
        float sum = 0;
        for (int i = 0; i < 3001; ++i) {
            sum += services.rnd();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(drawNumbersAlone);

// The press handler with 1000 passes: the worst case a player can meet.
void chargedPressOfThousandPasses(benchmark::State& state) {
    testing::LoadedGame game;
    game.services.random.seed(1);
    for (auto _ : state) {
        game.form.GameOn = 0;
        game.form.Money = 70;
        game.services.script = {thousandPasses};
        game.form.Form1_Image1_MouseDown({});
        game.form.Form1_Image1_MouseUp({});
    }
}
BENCHMARK(chargedPressOfThousandPasses);

// A million spins through the real random source and handlers: how often each line of three
// comes, against 1000, 512, 216, 125, 8 and 1 in 32768.
void millionSpins(benchmark::State& state) {
    const std::vector<double> weights{30906, 1000, 512, 216, 125, 8, 1};
    for (auto _ : state) {
        testing::LoadedGame game;
        game.services.random.seed(20261206);
        Form1& form = game.form;
        std::vector<double> lines(7, 0);
        for (int spin = 0; spin < 1'000'000; ++spin) {
            form.Form1_Image1_MouseDown({});
            form.Form1_Image1_MouseUp({});
            for (int tick = 0; tick < 3; ++tick) {
                form.Form1_Timer3_Timer();
            }
            const float before = form.Money;
            form.Form1_Timer1_Timer();
            lines[form.Money > before ? static_cast<std::size_t>(form.ReelSymbol(1)) : 0] += 1;
        }
        double chiSquare = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const double expected = 1e6 * weights[i] / 32768;
            chiSquare += (lines[i] - expected) * (lines[i] - expected) / expected;
            state.counters[i == 0 ? "none" : std::string(symbols[i - 1].name)] = lines[i];
        }
        // Six degrees of freedom: 22.458 at the 0.1 % level.
        state.counters["chi_square"] = chiSquare;
    }
}
BENCHMARK(millionSpins)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace jangora

BENCHMARK_MAIN();
