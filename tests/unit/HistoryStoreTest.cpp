#include <gtest/gtest.h>

#include "content/HistoryStore.h"
#include "core/TextCodec.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

class HistoryStoreTest : public ::testing::Test {
 protected:
  HistoryStoreTest() : page_(dir_.Path(), [this](const auto&) { ++pageShown_; }) {
    dir_.Write("date.dat", "\r\n");
  }

  bool Append(int id, std::string_view title = "T") {
    return store_.AppendHistory(id, title, "E", "B", 1, 2, 0);
  }

  test::TempDir dir_;
  int pageShown_ = 0;
  HistoryPage page_;
  HistoryStore store_{dir_.Path(), page_};
};

TEST_F(HistoryStoreTest, FirstAppendKeepsTheEmptyLineAndSecondDropsIt) {
  ASSERT_TRUE(Append(7));
  EXPECT_EQ(dir_.Read("date.dat"), "7|T|E|B|1|2|0\r\n\r\n");
  ASSERT_TRUE(Append(8, "U"));
  EXPECT_EQ(dir_.Read("date.dat"), "8|U|E|B|1|2|0\r\n7|T|E|B|1|2|0\r\n");
  EXPECT_EQ(pageShown_, 2);
  EXPECT_NE(dir_.Read("c.htm").find("href=open://2>"), std::string::npos);
}

TEST_F(HistoryStoreTest, AppendingAKnownItemMovesItToTheTop) {
  dir_.Write("date.dat",
             "1|a|E|B|1|2|0\r\n7|old|E|B|1|2|0\r\n 7.0 |older|E|B|1|2|0\r\nx|n|E|B|1|2|0\r\n");
  ASSERT_TRUE(Append(7, "new"));
  EXPECT_EQ(dir_.Read("date.dat"), "7|new|E|B|1|2|0\r\n1|a|E|B|1|2|0\r\nx|n|E|B|1|2|0\r\n");
}

TEST_F(HistoryStoreTest, AppendKeepsTheFirstHundredOldLines) {
  std::string list;
  for (int i = 1; i <= 150; ++i) list += std::to_string(1000 + i) + "|t|e|b|0|0|0\r\n";
  list.replace(0, list.find("\r\n"), "no entry");  // line 1 is not an entry
  dir_.Write("date.dat", list);
  ASSERT_TRUE(Append(1050));
  std::string after = dir_.Read("date.dat");
  size_t lines = 0;
  for (size_t at = after.find("\r\n"); at != std::string::npos; at = after.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 1u + 98u);  // new entry; lines 2 to 100 minus the duplicate 1050
  EXPECT_TRUE(after.starts_with("1050|T|"));
  EXPECT_NE(after.find("1100|"), std::string::npos);
  EXPECT_EQ(after.find("1101|"), std::string::npos);
  EXPECT_TRUE(after.ends_with("1100|t|e|b|0|0|0\r\n"));
}

TEST_F(HistoryStoreTest, FieldsAreWrittenInGbkOnOneLineAndKeepSevenFields) {
  ASSERT_TRUE(store_.AppendHistory(3, "%u4E2D", "第一集\r\n2|x", "b|c", -1, 0, 0));
  EXPECT_EQ(dir_.Read("date.dat"),
            "3|%u4E2D|" + Utf8ToGbk("第一集") + "2%7Cx|b%7Cc|-1|0|0\r\n\r\n");
  // A GBK character whose second byte is "|" (亅 is 81 7C) splits nothing.
  ASSERT_TRUE(store_.AppendHistory(4, "亅x", "亅", "亅", 5, 6, 0));
  std::optional<std::string> entry = store_.ReadEntry(1);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(*entry, "4|亅x|亅|亅|5|6|0");
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk(">·亅x</a>")), std::string::npos);
}

TEST_F(HistoryStoreTest, RemoveAddressesLinesByNumberIncludingEmptyOnes) {
  dir_.Write("date.dat", "1|a|||0|0|0\r\n2|b|||0|0|0\r\n");
  ASSERT_TRUE(store_.RemoveHistory("date.dat", 5));
  EXPECT_EQ(dir_.Read("date.dat"), "1|a|||0|0|0\r\n2|b|||0|0|0\r\n");
  ASSERT_TRUE(store_.RemoveHistory("date.dat", 1));
  EXPECT_EQ(dir_.Read("date.dat"), "2|b|||0|0|0\r\n");
  ASSERT_TRUE(store_.RemoveHistory("date.dat", 1));
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");

  dir_.Write("date.dat", "\r\n5|e|||0|0|0\r\n6|f|||0|0|0\r\n");
  ASSERT_TRUE(store_.RemoveHistory("date.dat", 3));
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n5|e|||0|0|0\r\n");
}

TEST_F(HistoryStoreTest, RemovingTheOnlyEntryAfterAFirstAppendLeavesOneEmptyLine) {
  ASSERT_TRUE(Append(7));
  ASSERT_TRUE(store_.RemoveHistory("date.dat", 1));
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk("暂无记录")), std::string::npos);
}

TEST_F(HistoryStoreTest, ClearLeavesOneEmptyLineAndRefreshesThePage) {
  ASSERT_TRUE(Append(7));
  ASSERT_TRUE(store_.ClearHistory());
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");
  EXPECT_EQ(pageShown_, 2);
}

TEST_F(HistoryStoreTest, MissingOrUnreadableListChangesNothing) {
  std::filesystem::remove(dir_ / "date.dat");
  EXPECT_FALSE(Append(7));
  EXPECT_FALSE(store_.RemoveHistory("date.dat", 1));
  EXPECT_FALSE(store_.ClearHistory());
  EXPECT_FALSE(dir_.Exists("date.dat"));
  EXPECT_FALSE(dir_.Exists("c.htm"));
  EXPECT_EQ(pageShown_, 0);

  // A list that cannot be read (here a folder) is a failure, never an exception.
  std::filesystem::create_directory(dir_ / "date.dat");
  EXPECT_FALSE(Append(7));
  EXPECT_FALSE(store_.RemoveHistory("date.dat", 1));
  EXPECT_FALSE(store_.ReadEntry(1).has_value());
  EXPECT_FALSE(dir_.Exists("c.htm"));
}

}  // namespace
}  // namespace lumora
