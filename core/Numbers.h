#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace lumora {

// A decimal whole number that fits 32 bits, or nothing (the empty text included).
inline std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace lumora
