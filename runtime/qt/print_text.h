#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace jangora {

// Text from a print server as the game shows it: UTF-8 whatever it was sent as, on one line,
// with no control or direction-changing characters, and at most `most` characters (elided
// with "…"). A name shown so is sent back as it came, never as shown.
[[nodiscard]] std::string plainText(std::string_view bytes, std::size_t most);

// Whether a print server's own words say anything: not empty, and not a success code given
// as the reason something failed ("successful-ok", "Success").
[[nodiscard]] bool meaningful(std::string_view words);

} // namespace jangora
