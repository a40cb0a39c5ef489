#pragma once

#include <algorithm>
#include <string>

#include "server/DemoServer.h"

namespace lumora::testing {

// The demo server on a free port of 127.0.0.1, serving the site of the source tree.
struct TestSite : DemoServer {
  TestSite() : DemoServer(LUMORA_TEST_SITE_DIR) { Start(0); }
  // Whether the server was asked for this path under /box/.
  bool Requested(const std::string& path) const {
    return std::ranges::any_of(RequestLog(), [&](const std::string& line) {
      return line.find(" /box/" + path + " ") != std::string::npos;
    });
  }
};

}  // namespace lumora::testing
