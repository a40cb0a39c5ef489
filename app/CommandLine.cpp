#include "app/CommandLine.h"

#include "core/Product.h"

namespace lumora {
namespace {

std::string VersionText() {
  return std::string(kProductName) + " " + std::string(kAppVersion) + "\n";
}

std::string HelpText() {
  return "Usage: lumora [ARGUMENT...]\n"
         "A desktop client for the " +
         std::string(kProductName) +
         " video portal.\n"
         "\n"
         "  ARGUMENT   any other argument changes nothing: when the program already runs, a new\n"
         "             start hands its arguments to the running window, which comes to the\n"
         "             front, and ends; otherwise the window opens as without them\n"
         "  --help     show this help and end\n"
         "  --version  show the version and end\n";
}

}  // namespace

std::optional<std::string> InformationAskedFor(const std::vector<std::string>& commandLine) {
  if (commandLine.size() != 2) return std::nullopt;
  if (commandLine[1] == "--help") return HelpText();
  if (commandLine[1] == "--version") return VersionText();
  return std::nullopt;
}

}  // namespace lumora
