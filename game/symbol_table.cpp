#include "game/symbol_table.h"

#include <algorithm>
#include <cstddef>

namespace jangora {

static_assert(symbols.front().firstStop == 0 && symbols.back().lastStop == reelStopCount - 1);
static_assert(std::adjacent_find(symbols.begin(), symbols.end(),
                                 [](const Symbol& a, const Symbol& b) {
                                     return b.firstStop != a.lastStop + 1;
                                 }) == symbols.end(),
              "the stop ranges follow one another without gap or overlap");

const Symbol* symbolWithPayCode(std::int32_t payCode) {
    const auto found = std::find_if(symbols.begin(), symbols.end(), [&](const Symbol& symbol) {
        return symbol.payCode == payCode;
    });
    return found == symbols.end() ? nullptr : &*found;
}

} // namespace jangora
