#include "runtime/random_source.h"

#include <chrono>

namespace jangora {

void RandomSource::seedFromClock() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq sequence{static_cast<std::uint32_t>(ticks),
                           static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) >> 32)};
    engine_.seed(sequence);
}

} // namespace jangora
