#include "game/symbol_table.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace jangora {
namespace {

// Pearson's statistic of observed counts against expected ones.
double chiSquare(const std::vector<double>& observed, const std::vector<double>& expected) {
    double sum = 0;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        sum += (observed[i] - expected[i]) * (observed[i] - expected[i]) / expected[i];
    }
    return sum;
}

// 100,000 spins through the real random source and the real handlers, from a fixed seed.
// Each check is a chi-square goodness-of-fit test at the 0.1 % significance level.
TEST(Fairness, StopsAreUniformAndLinesOfThreeComeAsOftenAsTheWeightsSay) {
    constexpr int spins = 100'000;
    testing::LoadedGame game;
    Form1& form = game.form;
    game.services.random.seed(20261206);

    std::array<std::vector<double>, 3> stops;
    stops.fill(std::vector<double>(32, 0));
    std::vector<double> lines(7, 0); // by symbol number, 0 for no line
    for (int spin = 0; spin < spins; ++spin) {
        form.Form1_Image1_MouseDown({});
        form.Form1_Image1_MouseUp({});
        // The last pass drew the last three numbers: they give the stops the reels show.
        for (std::size_t reel = 0; reel < 3; ++reel) {
            const auto stop = static_cast<std::int16_t>(
                std::floor(static_cast<double>(game.services.lastThree[reel]) * 32 + 1));
            ASSERT_EQ(form.ReelSymbol(static_cast<std::int16_t>(reel + 1)),
                      symbolAtStop(stop).number);
            ASSERT_EQ(form.picInSlot(static_cast<std::int16_t>(reel)).picture(),
                      form.picSlot(stop).picture());
            stops[reel][static_cast<std::size_t>(stop - 1)] += 1;
        }
        for (int tick = 0; tick < 3; ++tick) {
            form.Form1_Timer3_Timer();
        }
        const float before = form.Money;
        form.Form1_Timer1_Timer();
        lines[form.Money > before ? static_cast<std::size_t>(form.ReelSymbol(1)) : 0] += 1;
    }

    const double n = spins;
    for (const auto& reel : stops) {
        // 31 degrees of freedom: 61.098 at 0.1 %.
        const double statistic = chiSquare(reel, std::vector<double>(32, n / 32));
        EXPECT_LT(statistic, 61.098);
        std::printf("stops of a reel: chi-square %.3f\n", statistic);
    }
    // Lines of three come 1000, 512, 216, 125, 8 and 1 times in 32768; the two rarest are
    // pooled so that every expected count is at least 5. Five degrees of freedom: 20.515.
    const std::vector<double> expected{n * 30906 / 32768, n * 1000 / 32768, n * 512 / 32768,
                                       n * 216 / 32768,   n * 125 / 32768,  n * 9 / 32768};
    const std::vector<double> observed{lines[0], lines[1], lines[2],
                                       lines[3], lines[4], lines[5] + lines[6]};
    EXPECT_LT(chiSquare(observed, expected), 20.515);
    std::printf("lines of three (none, apple .. seven):");
    for (const double count : lines) {
        std::printf(" %.0f", count);
    }
    std::printf("; chi-square %.3f\n", chiSquare(observed, expected));
}

} // namespace
} // namespace jangora
