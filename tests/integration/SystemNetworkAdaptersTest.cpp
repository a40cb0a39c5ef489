#include <gtest/gtest.h>

#include "platform/gtk/SystemNetworkAdapters.h"

namespace lumora {
namespace {

TEST(SystemNetworkAdaptersTest, LoopbackComesFirstFlaggedAndWithItsAddress) {
  std::vector<NetworkAdapter> adapters = gtk::SystemNetworkAdapters().List();
  ASSERT_FALSE(adapters.empty());
  EXPECT_EQ(adapters.front().name, "lo");
  EXPECT_TRUE(adapters.front().loopback);
  EXPECT_TRUE(adapters.front().hasIpAddress);
  for (size_t i = 1; i < adapters.size(); ++i) {
    EXPECT_FALSE(adapters[i].loopback) << adapters[i].name;
    EXPECT_FALSE(adapters[i].name.empty());
  }
}

}  // namespace
}  // namespace lumora
