#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumora {

// The text that "--help" or "--version" asks for, which the program prints before ending at once;
// nothing for any other command line, which goes to the running instance as it is.
std::optional<std::string> InformationAskedFor(const std::vector<std::string>& commandLine);

}  // namespace lumora
