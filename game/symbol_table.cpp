#include "game/symbol_table.h"

#include "runtime/runtime_error.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace jangora {

static_assert(symbols.front().firstStop == 0 && symbols.back().lastStop == reelStopCount - 1);
static_assert(std::adjacent_find(symbols.begin(), symbols.end(),
                                 [](const Symbol& a, const Symbol& b) {
                                     return b.firstStop != a.lastStop + 1;
                                 }) == symbols.end(),
              "the stop ranges follow one another without gap or overlap");

namespace {

// Every drawn stop is looked up, at random: a table spares the search its mispredicted branches.
constexpr std::array<std::size_t, reelStopCount> symbolIndexByStop = [] {
    std::array<std::size_t, reelStopCount> table{};
    for (std::size_t index = 0; index < symbols.size(); ++index) {
        for (int stop = symbols[index].firstStop; stop <= symbols[index].lastStop; ++stop) {
            table[static_cast<std::size_t>(stop)] = index;
        }
    }
    return table;
}();

} // namespace

const Symbol& symbolAtStop(std::int16_t stop) {
    if (stop < 0 || stop >= reelStopCount) {
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    }
    return symbols[symbolIndexByStop[static_cast<std::size_t>(stop)]];
}

const Symbol* symbolWithPayCode(std::int32_t payCode) {
    const auto found = std::find_if(symbols.begin(), symbols.end(), [&](const Symbol& symbol) {
        return symbol.payCode == payCode;
    });
    return found == symbols.end() ? nullptr : &*found;
}

} // namespace jangora
