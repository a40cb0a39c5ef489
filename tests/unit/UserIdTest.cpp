#include <gtest/gtest.h>

#include "core/UserId.h"
#include "platform/headless/HeadlessPlatform.h"

namespace lumora {
namespace {

NetworkAdapter Adapter(std::vector<std::uint8_t> address, bool hasIp = true,
                       bool loopback = false) {
  return {"eth", loopback, hasIp, std::move(address)};
}

TEST(UserIdTest, TakesTheFirstNonLoopbackAdapterWithAnAddress) {
  std::vector<NetworkAdapter> adapters = {
      Adapter({0, 0, 0, 0, 0, 0}, true, true), Adapter({1, 2, 3, 4, 5, 6}, false),
      Adapter({0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}), Adapter({9, 9, 9, 9, 9, 9})};
  EXPECT_EQ(GetMacAddress(adapters), "0A-1B-2C-3D-4E-5F");
}

TEST(UserIdTest, UnusableFirstAdapterEndsTheSearch) {
  EXPECT_EQ(GetMacAddress({Adapter({0, 0x53, 0x45, 0, 0, 0}), Adapter({1, 2, 3, 4, 5, 6})}), "");
  EXPECT_EQ(GetMacAddress({Adapter({0, 0, 0, 0, 0, 0}), Adapter({1, 2, 3, 4, 5, 6})}), "");
  EXPECT_EQ(GetMacAddress({Adapter({}), Adapter({1, 2, 3, 4, 5, 6})}), "");
  EXPECT_EQ(GetMacAddress({}), "");
}

TEST(UserIdTest, FallbackIsDateTimeAndRandomWithoutLeadingZeros) {
  EXPECT_EQ(MakeFallbackId(LocalDateTime{2011, 1, 9, 8, 5, 3}, 123), "201119853123");
}

TEST(UserIdTest, ObtainFallsBackToDigitsFromTheClock) {
  headless::HeadlessPlatform platform(WallTime(std::chrono::seconds(1294560303)));
  std::string id = ObtainUserId(platform.GetNetworkAdapters(), platform.GetClock());
  ASSERT_EQ(id.size(), 12u);
  EXPECT_TRUE(id.starts_with("201119853")) << id;  // 2011-01-09 08:05:03 UTC
  int random = std::stoi(id.substr(9));
  EXPECT_GE(random, 100);
  EXPECT_LE(random, 999);
  platform.Adapters().adapters = {Adapter({0xAB, 0xCD, 0xEF, 1, 2, 3})};
  EXPECT_EQ(ObtainUserId(platform.GetNetworkAdapters(), platform.GetClock()), "AB-CD-EF-01-02-03");
}

}  // namespace
}  // namespace lumora
