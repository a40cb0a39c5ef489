#pragma once

#include <string>
#include <vector>

namespace lumora::testing {

// A command line as one environment value: arguments separated by the unit separator.
inline std::string JoinCommandLine(const std::vector<std::string>& commandLine) {
  std::string joined;
  for (const std::string& argument : commandLine) joined += argument + '\x1f';
  return joined;
}

inline std::vector<std::string> SplitCommandLine(const std::string& joined) {
  std::vector<std::string> commandLine;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = joined.find('\x1f', start)) != std::string::npos;
       start = end + 1) {
    commandLine.push_back(joined.substr(start, end - start));
  }
  return commandLine;
}

}  // namespace lumora::testing
