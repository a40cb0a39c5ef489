#pragma once

#include <string>
#include <string_view>

namespace lumora {

// Compares ASCII letters without regard to case; other bytes (GBK included) must match exactly.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The text without the blanks at either end; blanks are space and tab unless said otherwise.
inline std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " \t") {
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The text with every occurrence of part removed.
inline std::string RemoveAll(std::string_view text, std::string_view part) {
  std::string rest;
  size_t start = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, start)) {
    rest.append(text.substr(start, at - start));
    start = at + part.size();
  }
  rest.append(text.substr(start));
  return rest;
}

inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace lumora
