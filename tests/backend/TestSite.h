#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumora {
class DemoServer;
}

namespace lumora::testing {

// The demo server on a free port of 127.0.0.1, serving the site of the source tree. Kept apart
// from the server's own header, whose names need not meet the platform's.
class TestSite {
 public:
  TestSite();
  ~TestSite();
  TestSite(const TestSite&) = delete;
  TestSite& operator=(const TestSite&) = delete;

  std::uint16_t Port() const;
  std::string BaseUrl() const;
  // Whether the server was asked for this path under /box/.
  bool Requested(const std::string& path) const;

 private:
  std::unique_ptr<DemoServer> server_;
};

}  // namespace lumora::testing
