#include "tests/backend/TestSite.h"

#include <algorithm>

#include "server/DemoServer.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::testing {

TestSite::TestSite() : server_(std::make_unique<DemoServer>(SiteDir())) {
  server_->Start(0);
}

TestSite::~TestSite() = default;

std::uint16_t TestSite::Port() const {
  return server_->Port();
}

std::string TestSite::BaseUrl() const {
  return server_->BaseUrl();
}

bool TestSite::Requested(const std::string& path) const {
  const auto& log = server_->RequestLog();
  return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
    return line.find(" /box/" + path + " ") != std::string::npos;
  });
}

}  // namespace lumora::testing
