#include <gtest/gtest.h>

#include "core/WebAddress.h"
#include "platform/headless/HeadlessDesktop.h"

namespace lumora {
namespace {

TEST(WebAddressTest, OnlyHttpAndHttpsReachTheDesktop) {
  headless::HeadlessDesktop desktop;
  for (const char* address : {"http://a/", "HTTPS://b/x?y", "Http://c"}) {
    EXPECT_TRUE(OpenWebAddress(desktop, address)) << address;
  }
  for (const char* address : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)",
                              "mailto:a@b", "http:/x", "https:", " http://lead-blank/", ""}) {
    EXPECT_FALSE(OpenWebAddress(desktop, address)) << address;
  }
  EXPECT_EQ(desktop.OpenedAddresses(),
            (std::vector<std::string>{"http://a/", "HTTPS://b/x?y", "Http://c"}));
}

}  // namespace
}  // namespace lumora
