#include <gtest/gtest.h>

#include "app/Startup.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "core/UserId.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

constexpr std::string_view kDefaultsAfterUser =
    "[Ver]\r\nName=9.0\r\n[S_q]\r\nts=3\r\nquit=2\r\ns_size=2\r\nh_w=14850\r\nh_h=9830\r\n";

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { platform_.Adapters().adapters = {{"eth0", false, true, {1, 2, 3, 4, 5, 6}}}; }

  void Start() { RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock()); }
  void SetPageAge(int secondsAfterList) {
    std::filesystem::last_write_time(dir_ / "c.htm",
                                     std::filesystem::last_write_time(dir_ / "date.dat") +
                                         std::chrono::seconds(secondsAfterList));
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
};

TEST_F(StartupTest, NewFilesGetDefaultsUnusableValuesAreRepairedThePageFollowsAnOlderList) {
  Start();
  std::string settings = "[main]\r\nName=Lumora\r\n[User]\r\nName=01-02-03-04-05-06\r\n" +
                         std::string(kDefaultsAfterUser);
  EXPECT_EQ(dir_.Read("config.dll"), settings);
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");
  EXPECT_TRUE(dir_.Read("i.gif").starts_with("GIF89a"));
  EXPECT_EQ(dir_.FileCount(), 4u);
  platform_.Adapters().adapters = {{"eth1", false, true, {9, 9, 9, 9, 9, 9}}};
  Start();
  EXPECT_EQ(dir_.Read("config.dll"), settings);

  // Missing, zero, empty and non-numeric values are repaired, others stay even out of range; ts
  // goes back to 3 (ask again) unless the question was answered (1 or 2).
  for (auto [before, after] : {
           std::pair{"[USER]\r\nNAME=odd id\r\n[ver]\r\nName=8.0\r\n"
                     "[S_q]\r\nts=2\r\nquit=abc\r\ns_size=\r\nh_w=-100\r\nh_h=0\r\n",
                     "[USER]\r\nNAME=odd id\r\n[ver]\r\nName=9.0\r\n"
                     "[S_q]\r\nts=2\r\nquit=2\r\ns_size=2\r\nh_w=-100\r\nh_h=9830\r\n"},
           {"[User]\r\nName=0\r\n[S_q]\r\nts=7\r\nquit=7\r\ns_size=5\r\n",
            "[User]\r\nName=09-09-09-09-09-09\r\n[S_q]\r\nts=3\r\nquit=7\r\ns_size=5\r\n"
            "h_w=14850\r\nh_h=9830\r\n[Ver]\r\nName=9.0\r\n"},
       }) {
    dir_.Write("config.dll", before);
    Start();
    EXPECT_EQ(dir_.Read("config.dll"), after);
  }

  // Without an adapter the id is the local date and time, then three random digits.
  dir_.Write("config.dll", "[main]\r\nName=Other\r\n");
  platform_.Adapters().adapters.clear();
  Start();
  std::string id = IniRead(dir_ / "config.dll", "User", "Name", "");
  ASSERT_EQ(id.size(), 17u) << id;
  EXPECT_TRUE(id.starts_with("20231114221320")) << id;  // 2023-11-14 22:13:20 UTC
  EXPECT_GE(std::stoi(id.substr(14)), 100) << id;
  EXPECT_EQ(dir_.Read("config.dll"), "[main]\r\nName=Other\r\n[User]\r\nName=" + id + "\r\n" +
                                         std::string(kDefaultsAfterUser));

  // A page newer than the list stays; one that a run ending between writing the list and its page
  // left behind the list is written again. The list stays as it is.
  dir_.Write("date.dat", "7|abc|E|B|1|2|0\r\n");
  dir_.Write("c.htm", "stale");
  SetPageAge(1);
  Start();
  EXPECT_EQ(dir_.Read("c.htm"), "stale");
  SetPageAge(-1);
  Start();
  EXPECT_EQ(dir_.Read("date.dat"), "7|abc|E|B|1|2|0\r\n");
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk("href=open://1>·abc</a>")), std::string::npos);
}

// Adapters as {name, loopback, has an IP address, hardware address}.
TEST(UserIdTest, FirstNonLoopbackAdapterWithAnAddressIfUsableElseDateTimeAndRandom) {
  EXPECT_EQ(GetMacAddress({{"lo", true, true, {0, 0, 0, 0, 0, 0}},
                           {"a", false, false, {1, 2, 3, 4, 5, 6}},
                           {"b", false, true, {0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}},
                           {"c", false, true, {9, 9, 9, 9, 9, 9}}}),
            "0A-1B-2C-3D-4E-5F");
  // An unusable first candidate ends the search.
  for (std::vector<std::uint8_t> first :
       {std::vector<std::uint8_t>{0, 0x53, 0x45, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {}}) {
    EXPECT_EQ(GetMacAddress({{"a", false, true, first}, {"b", false, true, {1, 2, 3, 4, 5, 6}}}),
              "");
  }
  // Without one, the id is the date, the time and a random number, none with leading zeros.
  EXPECT_EQ(MakeFallbackId(LocalDateTime{2011, 1, 9, 8, 5, 3}, 123), "201119853123");
}

}  // namespace
}  // namespace lumora
