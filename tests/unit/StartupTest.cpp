#include <gtest/gtest.h>

#include "app/Startup.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { platform_.Adapters().adapters = {{"eth0", false, true, {1, 2, 3, 4, 5, 6}}}; }

  void Start() { RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock()); }
  std::string Setting(std::string_view section, std::string_view key) {
    return IniRead(dir_ / "config.dll", section, key, "0");
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
};

TEST_F(StartupTest, EmptyDirectoryGetsTheSettingsListPageAndIcon) {
  Start();
  EXPECT_EQ(dir_.Read("config.dll"),
            "[main]\r\nName=Lumora\r\n[User]\r\nName=01-02-03-04-05-06\r\n[Ver]\r\nName=9.0\r\n"
            "[S_q]\r\nts=3\r\nquit=2\r\ns_size=2\r\nh_w=14850\r\nh_h=9830\r\n");
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk("暂无记录")), std::string::npos);
  EXPECT_TRUE(dir_.Read("i.gif").starts_with("GIF89a"));
  EXPECT_EQ(dir_.FileCount(), 4u);
}

TEST_F(StartupTest, FileWithOnlyMainGetsEveryOtherKey) {
  dir_.Write("config.dll", "[main]\r\nName=Other\r\n");
  platform_.Adapters().adapters.clear();
  Start();
  EXPECT_EQ(Setting("main", "Name"), "Other");
  std::string id = Setting("User", "Name");
  EXPECT_FALSE(id.empty());
  EXPECT_TRUE(std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }));
  EXPECT_EQ(Setting("Ver", "Name"), "9.0");
  EXPECT_EQ(Setting("S_q", "ts"), "3");
  EXPECT_EQ(Setting("S_q", "quit"), "2");
  EXPECT_EQ(Setting("S_q", "s_size"), "2");
  EXPECT_EQ(Setting("S_q", "h_w"), "14850");
  EXPECT_EQ(Setting("S_q", "h_h"), "9830");
}

TEST_F(StartupTest, RepairsMissingZeroEmptyAndNonNumericValuesOnly) {
  dir_.Write("config.dll",
             "[USER]\r\nNAME=odd id\r\n[ver]\r\nName=8.0\r\n"
             "[S_q]\r\nts=2\r\nquit=abc\r\ns_size=\r\nh_w=-100\r\nh_h=0\r\n");
  Start();
  EXPECT_EQ(dir_.Read("config.dll"),
            "[USER]\r\nNAME=odd id\r\n[ver]\r\nName=9.0\r\n"
            "[S_q]\r\nts=2\r\nquit=2\r\ns_size=2\r\nh_w=-100\r\nh_h=9830\r\n");
}

TEST_F(StartupTest, OutOfRangeValuesStayAndAnUnansweredQuestionIsAskedAgain) {
  dir_.Write("config.dll", "[User]\r\nName=0\r\n[S_q]\r\nts=7\r\nquit=7\r\ns_size=5\r\n");
  Start();
  EXPECT_EQ(Setting("User", "Name"), "01-02-03-04-05-06");
  EXPECT_EQ(Setting("S_q", "ts"), "3");
  EXPECT_EQ(Setting("S_q", "quit"), "7");
  EXPECT_EQ(Setting("S_q", "s_size"), "5");
}

TEST_F(StartupTest, StoredIdStaysWhateverTheAdaptersAreLater) {
  Start();
  platform_.Adapters().adapters = {{"eth1", false, true, {9, 9, 9, 9, 9, 9}}};
  Start();
  EXPECT_EQ(Setting("User", "Name"), "01-02-03-04-05-06");
}

TEST_F(StartupTest, ExistingListAndNewerPageAreNeverReplaced) {
  dir_.Write("date.dat", "7|T|E|B|1|2|0\r\n");
  dir_.Write("c.htm", "stale");
  std::filesystem::last_write_time(
      dir_ / "c.htm",
      std::filesystem::last_write_time(dir_ / "date.dat") + std::chrono::seconds(1));
  Start();
  EXPECT_EQ(dir_.Read("date.dat"), "7|T|E|B|1|2|0\r\n");
  EXPECT_EQ(dir_.Read("c.htm"), "stale");
}

TEST_F(StartupTest, MissingOrOlderPageIsRenderedFromTheList) {
  dir_.Write("date.dat", "7|abc|E|B|1|2|0\r\n");
  Start();
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk("href=open://1>·abc</a>")), std::string::npos);

  // A run that ended between writing the list and its page left the page behind the list.
  dir_.Write("date.dat", "8|xyz|E|B|1|2|0\r\n");
  std::filesystem::last_write_time(
      dir_ / "c.htm",
      std::filesystem::last_write_time(dir_ / "date.dat") - std::chrono::seconds(1));
  Start();
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk("href=open://1>·xyz</a>")), std::string::npos);
}

}  // namespace
}  // namespace lumora
