#pragma once

#include <string_view>

namespace lumora {

// The play list "date.dat": one entry per line, newest first, seven fields joined by "|"
// (id|escaped title|extra|second player argument|v|v1|flag), GBK, CR LF line ends.
inline constexpr std::string_view kPlayListFile = "date.dat";

// Lines without "|" (the empty line of a fresh or cleared list) are not entries.
inline bool IsEntryLine(std::string_view line) {
  return line.find('|') != std::string_view::npos;
}

}  // namespace lumora
