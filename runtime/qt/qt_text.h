#pragma once

#include <QString>

#include <string_view>

namespace jangora {

// The model's texts are UTF-8.
[[nodiscard]] inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace jangora
