#pragma once

#include "runtime/runtime_error.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace jangora {

// The six symbols of the machine: what a spin records for each, which template control holds
// its picture, which stops of the virtual reel carry it, and what a line of three pays.
struct Symbol {
    std::int16_t number;
    std::string_view name;
    std::string_view templateControl;
    std::int16_t firstStop;
    std::int16_t lastStop;
    std::int32_t payCode;
    float prize; // dollars
    std::string_view message;
};

// In the order of their numbers; the stop ranges follow one another over stops 0 to 32.
inline constexpr std::array<Symbol, 6> symbols{{
    {1, "apple", "picApple", 0, 10, 1, 10, "3 apples! You win $10!"},
    {2, "cherry", "picCherry", 11, 18, 11, 15, "3 Cherries! You win $15!!"},
    {3, "banana", "picBanana", 19, 24, 111, 30, "3 Bananas! You win $30!!"},
    {4, "box", "PicBox", 25, 29, 1111, 50, "3 BOXES!! YOU WIN $50!!"},
    {5, "dollar sign", "picCash", 30, 31, 11111, 100, "3 $ SIGNS!! YOU WIN $100!!!"},
    {6, "seven", "pic7", 32, 32, 2, 1000, "JACKPOT!!! YOU WIN 1000$!!!"},
}};

inline constexpr std::int16_t reelStopCount = 33;

inline constexpr std::string_view lossMessage = "You did not win anything.";

namespace detail {
// Every drawn stop is looked up, at random: a table spares the search its mispredicted branches.
inline constexpr std::array<std::uint8_t, reelStopCount> symbolIndexByStop = [] {
    std::array<std::uint8_t, reelStopCount> table{};
    for (std::size_t index = 0; index < symbols.size(); ++index) {
        for (int stop = symbols[index].firstStop; stop <= symbols[index].lastStop; ++stop) {
            table[static_cast<std::size_t>(stop)] = static_cast<std::uint8_t>(index);
        }
    }
    return table;
}();
} // namespace detail

// The symbol whose stop range holds `stop` (0 to 32); any other stop is a run-time error.
[[nodiscard]] inline const Symbol& symbolAtStop(std::int16_t stop) {
    if (stop < 0 || stop >= reelStopCount) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    }
    return symbols[detail::symbolIndexByStop[static_cast<std::size_t>(stop)]];
}

// The first symbol, in the order of their numbers, with this pay code; null if none has it.
[[nodiscard]] const Symbol* symbolWithPayCode(std::int32_t payCode);

} // namespace jangora
