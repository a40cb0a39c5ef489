#pragma once

#include <exception>
#include <iostream>

namespace lumora::bench {

// Runs a benchmark; a failure becomes the line "<name> error: <what>" and exit code 1, so the
// scripts that read the figures see why a run gave none.
template <typename Run>
int ReportErrors(const char* name, Run&& run) {
  try {
    return run();
  } catch (const std::exception& error) {
    std::cout << name << " error: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace lumora::bench
