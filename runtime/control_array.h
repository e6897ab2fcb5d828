#pragma once

#include "runtime/runtime_error.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace jangora {

// Controls of one kind under one name, told apart by a 16-bit index from 0.
template <class T> class ControlArray {
  public:
    explicit ControlArray(std::vector<T*> elements) : elements_(std::move(elements)) {}

    T& operator()(std::int16_t index) const {
        if (index < 0 || index >= count()) {
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        }
        return *elements_[static_cast<std::size_t>(index)];
    }

    [[nodiscard]] std::int16_t count() const { return static_cast<std::int16_t>(elements_.size()); }

  private:
    std::vector<T*> elements_;
};

// A fixed array of the form's own variables, with the bounds it is declared with.
template <class T, std::int16_t Lower, std::int16_t Upper> class FixedArray {
  public:
    T& operator()(std::int16_t index) {
        if (index < Lower || index > Upper) {
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
        }
        return values_[static_cast<std::size_t>(index - Lower)];
    }
    const T& operator()(std::int16_t index) const { return const_cast<FixedArray&>(*this)(index); }

    bool operator==(const FixedArray&) const = default;

  private:
    std::array<T, Upper - Lower + 1> values_{};
};

} // namespace jangora
