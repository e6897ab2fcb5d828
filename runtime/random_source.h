#pragma once

#include <cstdint>
#include <random>

namespace jangora {

// The random source of the game: a Mersenne twister whose top 24 bits make a float in
// [0, 1), every value that a float with a 24-bit mantissa can hold there on an even grid.
class RandomSource {
  public:
    void seed(std::uint32_t seed) { engine_.seed(seed); }
    void seedFromClock();

    [[nodiscard]] float next() { return static_cast<float>(engine_() >> 8) * (1.0F / 16777216.0F); }

  private:
    std::mt19937 engine_;
};

} // namespace jangora
