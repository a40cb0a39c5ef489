#include <gtest/gtest.h>

#include <tuple>

#include "core/Settings.h"
#include "core/TextCodec.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  std::string Read(std::string_view section, std::string_view key) {
    return IniRead(dir_ / "config.dll", section, key, "0");
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) {
    return IniWrite(dir_ / "config.dll", section, key, value);
  }
  test::TempDir dir_;
};

TEST_F(SettingsTest, ReadFindsTheFirstMatchingSectionAndKeyIgnoringCaseAndBlanks) {
  EXPECT_EQ(Read("S_q", "h_w"), "0") << "no file";
  dir_.Write("config.dll",
             "[USER]\r\nNAME=0A-1B\r\n[ S_q ]\r\n  h_w  =  14850  \r\nempty=\r\n"
             "[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\nother=4\r\n");
  // Blanks around names and values are no part of them; the first matching section and key win.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"user", "Name", "0A-1B"}, {"s_Q", "H_W", "14850"}, {"S_q", "empty", ""}, {"a", "k", "1"},
      {"a", "other", "0"},       {"S_q", "ts", "0"},      {"Skin", "h_w", "0"}};
  for (auto [section, key, value] : cases) {
    EXPECT_EQ(Read(section, key), value) << section << "/" << key;
  }
  // Lone CRs end lines too, and a 1 MiB line is read; any other bytes are left to the fuzz target.
  dir_.Write("config.dll", "[S_q]\rts=2\r" + std::string(1 << 20, '=') + "[x");
  EXPECT_EQ(Read("S_q", "ts"), "2");
}

TEST_F(SettingsTest, ValueIsCutTo254BytesOfItsGbkFormWithoutSplittingACharacter) {
  dir_.Write("config.dll", "[s]\r\nlong=" + std::string(300, 'x') + "\r\n");
  EXPECT_EQ(Read("s", "long"), std::string(254, 'x'));
  // 127 double-byte characters are 254 bytes; one more would be cut in half.
  std::string chinese;
  for (int i = 0; i < 128; ++i) chinese += "中";
  dir_.Write("config.dll", "[s]\r\nlong=x" + Utf8ToGbk(chinese) + "\r\n");
  EXPECT_EQ(Read("s", "long"), std::string("x").append(chinese, 0, 126 * 3));
}

TEST_F(SettingsTest, WriteCreatesFileSectionsAndKeysInCrLfGbkWithoutLeftovers) {
  EXPECT_FALSE(IniWrite(dir_ / "nowhere/config.dll", "a", "b", "c"));
  ASSERT_TRUE(Write("main", "Name", "Lumora"));
  ASSERT_TRUE(Write("S_q", "ts", "3"));
  ASSERT_TRUE(Write("main", "Title", "影视"));
  EXPECT_EQ(dir_.Read("config.dll"),
            "[main]\r\nName=Lumora\r\nTitle=" + Utf8ToGbk("影视") + "\r\n[S_q]\r\nts=3\r\n");
  EXPECT_EQ(Read("main", "Title"), "影视");
  EXPECT_EQ(dir_.FileCount(), 1u) << "no temporary files";
  ASSERT_TRUE(Write("S_q", "quit", "1\r\nh_w=2"));
  EXPECT_EQ(Read("S_q", "h_w"), "0") << "a line break in a value made a key";
}

TEST_F(SettingsTest, WriteReplacesInPlaceAndKeepsEveryOtherLineByteForByte) {
  dir_.Write("config.dll",
             "; comment\r\n[S_q]\r\nts = 3\r\n\r\nweird line\xff\xfe\r\n[Ver]\nName=8.0\n"
             "[User]\r\nName=x");
  ASSERT_TRUE(Write("s_q", "TS", "1"));
  ASSERT_TRUE(Write("ver", "name", "9.0"));
  ASSERT_TRUE(Write("S_q", "quit", "2"));
  ASSERT_TRUE(Write("User", "extra", "y"));
  EXPECT_EQ(dir_.Read("config.dll"),
            "; comment\r\n[S_q]\r\nts=1\r\n\r\nweird line\xff\xfe\r\nquit=2\r\n[Ver]\nName=9.0\n"
            "[User]\r\nName=x\r\nextra=y\r\n");
}

TEST_F(SettingsTest, BareNameLineIsAKeyWithoutValueThatWritingRepairsInPlace) {
  dir_.Write("config.dll", "[S_q]\r\n quit \r\nquit=1\r\n; ts\r\nts=3\r\n");
  EXPECT_EQ(Read("S_q", "quit"), "0") << "the bare line hides the later one";
  EXPECT_EQ(Read("S_q", "ts"), "3") << "a comment is no key";
  ASSERT_TRUE(Write("S_q", "QUIT", "2"));
  EXPECT_EQ(dir_.Read("config.dll"), "[S_q]\r\nquit=2\r\nquit=1\r\n; ts\r\nts=3\r\n");
  EXPECT_EQ(Read("S_q", "quit"), "2");
}

}  // namespace
}  // namespace lumora
