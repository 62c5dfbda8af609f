// Unsigned decimal integers as the pool-size variables and control-group
// files write them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvik::runtime {

// Digits only, optionally preceded by "+", fitting 64 bits; nothing otherwise
// (an empty text, blanks, a minus sign, overflow).
inline std::optional<std::uint64_t> parse_unsigned(std::string_view text) noexcept {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (n > (UINT64_MAX - digit) / 10) return std::nullopt;
        n = n * 10 + digit;
    }
    return n;
}

}  // namespace orvik::runtime
