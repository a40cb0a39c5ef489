#include <gtest/gtest.h>

#include <algorithm>

#include "content/HistoryStore.h"
#include "core/TextCodec.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::string RowsOf(const std::string& page) {
  size_t begin = page.find("border=\"0\">") + 11;
  return page.substr(begin, page.find("</table>") - begin);
}

TEST(CutToWidthTest, CountsGbkDoubleByteCharactersTwiceAndNeverSplitsACharacter) {
  EXPECT_EQ(CutToWidth(Repeat("中", 13), 24), Repeat("中", 12));
  EXPECT_EQ(CutToWidth(Repeat("a", 13), 24), Repeat("a", 13));
  EXPECT_EQ(CutToWidth(Repeat("·", 13), 24), Repeat("·", 12));
  // Whatever its characters, a text of at most width / 2 units is not cut.
  EXPECT_EQ(CutToWidth(Repeat("中", 10), 20), Repeat("中", 10));
  EXPECT_EQ(CutToWidth(Repeat("a", 1) + Repeat("中", 12), 24), Repeat("a", 1) + Repeat("中", 11));
  // A character outside the BMP counts two and is never cut in half.
  EXPECT_EQ(CutToWidth(Repeat("a", 22) + "😀😀", 24), Repeat("a", 22) + "😀");
  EXPECT_EQ(CutToWidth(Repeat("a", 23) + "😀😀", 24), Repeat("a", 23));
}

// Rows carry their list line numbers; untitled entries and lines past the 101 a play keeps are
// left out, and a list without rows says there are no records.
TEST(HistoryPageRenderTest, RowsCarryTheirLineNumbersAndEscapedTitlesCutOnlyInTheRow) {
  EXPECT_EQ(RowsOf(RenderHistoryPage({""})), "<tr><td colspan=2 align=center>暂无记录</td></tr>");
  EXPECT_EQ(RowsOf(RenderHistoryPage(
                {"", "7|%u4E2D%u6587|E|B|1|2|0", "8||E|B|1|2|0", "no entry", "9|abc|E|B|1|2|0"})),
            "<tr><td align=left width=95%><a title=\"中文\" href=open://2>·中文</a></td>"
            "<td width=4% style='display:none'><a href=delk://2><img src=\"i.gif\" alt=\"删除\">"
            "</a></td><td>&nbsp;</td></tr>"
            "<tr><td align=left width=95%><a title=\"abc\" href=open://5>·abc</a></td>"
            "<td width=4% style='display:none'><a href=delk://5><img src=\"i.gif\" alt=\"删除\">"
            "</a></td><td>&nbsp;</td></tr>");
  std::vector<std::string> owned;
  for (int i = 1; i <= 5000; ++i) owned.push_back(std::to_string(i) + "|t|E|B|1|2|0");
  std::string page = RenderHistoryPage(std::vector<std::string_view>(owned.begin(), owned.end()));
  EXPECT_NE(page.find("href=open://101>"), std::string::npos);
  EXPECT_EQ(page.find("href=open://102>"), std::string::npos);

  // The tooltip holds the whole title, the row a cut one; neither lets the title add markup.
  std::string rows = RowsOf(RenderHistoryPage({"1|%3Cscript%3Ealert%281%29%3C/script%3E|||0|0|0",
                                               "2|a%20onmouseover%3D%22x%22%27|||0|0|0",
                                               "3|" + Repeat("%u4E2D", 20) + "|||0|0|0"}));
  EXPECT_EQ(rows.find("<script"), std::string::npos);
  EXPECT_NE(rows.find("title=\"&lt;script&gt;alert(1)&lt;/script&gt;\""), std::string::npos);
  EXPECT_NE(rows.find("title=\"a onmouseover=&quot;x&quot;&#39;\" href=open://2>"
                      "·a onmouseover=&quot;x&quot;&#39;</a>"),
            std::string::npos);
  EXPECT_NE(
      rows.find("title=\"" + Repeat("中", 20) + "\" href=open://3>·" + Repeat("中", 12) + "</a>"),
      std::string::npos);
}

class HistoryStoreTest : public ::testing::Test {
 protected:
  HistoryStoreTest() : page_(dir_.Path(), [this](const auto& path) { shown_.push_back(path); }) {
    dir_.Write("date.dat", "\r\n");
  }
  bool Append(int id, std::string_view title = "T") {
    return store_.AppendHistory(id, title, "E", "B", 1, 2, 0);
  }
  bool Remove(int line) { return store_.RemoveHistory("date.dat", line); }

  test::TempDir dir_;
  std::vector<std::filesystem::path> shown_;
  HistoryPage page_;
  HistoryStore store_{dir_.Path(), page_};
};

// The fresh list's one empty line stays under the first entry and goes with the second. Each
// change writes the page in GBK with a final CRLF and shows it.
TEST_F(HistoryStoreTest, AppendRemoveAndClearRewriteTheListAndShowThePageAKnownItemMovesUp) {
  ASSERT_TRUE(Append(7));
  EXPECT_EQ(dir_.Read("date.dat"), "7|T|E|B|1|2|0\r\n\r\n");
  EXPECT_EQ(dir_.Read("c.htm"), Utf8ToGbk(RenderHistoryPage({"7|T|E|B|1|2|0"})) + "\r\n");
  EXPECT_EQ(shown_, std::vector{dir_ / "c.htm"});
  ASSERT_TRUE(Remove(1));
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk("暂无记录")), std::string::npos);
  ASSERT_TRUE(Append(7));
  ASSERT_TRUE(Append(8, "U"));
  EXPECT_EQ(dir_.Read("date.dat"), "8|U|E|B|1|2|0\r\n7|T|E|B|1|2|0\r\n");
  EXPECT_NE(dir_.Read("c.htm").find("href=open://2>"), std::string::npos);
  ASSERT_TRUE(store_.ClearHistory());
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n");
  EXPECT_EQ(shown_.size(), 5u);

  // A known item, whichever way its number is written, moves to the top; of the old lines the first
  // hundred stay.
  dir_.Write("date.dat",
             "1|a|E|B|1|2|0\r\n7|old|E|B|1|2|0\r\n 7.0 |older|E|B|1|2|0\r\nx|n|E|B|1|2|0\r\n");
  ASSERT_TRUE(Append(7, "new"));
  EXPECT_EQ(dir_.Read("date.dat"), "7|new|E|B|1|2|0\r\n1|a|E|B|1|2|0\r\nx|n|E|B|1|2|0\r\n");

  std::string list = "no entry\r\n";  // line 1 is not an entry
  for (int i = 2; i <= 150; ++i) list += std::to_string(1000 + i) + "|t|e|b|0|0|0\r\n";
  dir_.Write("date.dat", list);
  ASSERT_TRUE(Append(1050));
  std::string after = dir_.Read("date.dat");
  // The new entry, then lines 2 to 100 less the duplicate 1050.
  EXPECT_EQ(std::ranges::count(after, '\n'), 1 + 98);
  EXPECT_TRUE(after.starts_with("1050|T|"));
  EXPECT_EQ(after.find("1101|"), std::string::npos);
  EXPECT_TRUE(after.ends_with("\r\n1100|t|e|b|0|0|0\r\n"));
}

TEST_F(HistoryStoreTest, FieldsAreWrittenInGbkOnOneLineAndLinesAreRemovedByNumberEvenEmptyOnes) {
  ASSERT_TRUE(store_.AppendHistory(3, "%u4E2D", "第一集\r\n2|x", "b|c", -1, 0, 0));
  EXPECT_EQ(dir_.Read("date.dat"),
            "3|%u4E2D|" + Utf8ToGbk("第一集") + "2%7Cx|b%7Cc|-1|0|0\r\n\r\n");
  // A GBK character whose second byte is "|" (亅 is 81 7C) splits nothing.
  ASSERT_TRUE(store_.AppendHistory(4, "亅x", "亅", "亅", 5, 6, 0));
  EXPECT_EQ(store_.ReadEntry(1), "4|亅x|亅|亅|5|6|0");
  EXPECT_NE(dir_.Read("c.htm").find(Utf8ToGbk(">·亅x</a>")), std::string::npos);

  // The line removed, then the list.
  dir_.Write("date.dat", "1|a|||0|0|0\r\n2|b|||0|0|0\r\n");
  for (auto [line, after] :
       {std::pair{5, "1|a|||0|0|0\r\n2|b|||0|0|0\r\n"}, {1, "2|b|||0|0|0\r\n"}, {1, "\r\n"}}) {
    ASSERT_TRUE(Remove(line));
    EXPECT_EQ(dir_.Read("date.dat"), after) << line;
  }
  dir_.Write("date.dat", "\r\n5|e|||0|0|0\r\n6|f|||0|0|0\r\n");
  ASSERT_TRUE(Remove(3));
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n5|e|||0|0|0\r\n");
}

// A missing list, or one that cannot be read (here a folder), is a failure, never an exception,
// and the old page stays.
TEST_F(HistoryStoreTest, MissingOrUnreadableListChangesNothing) {
  std::filesystem::remove(dir_ / "date.dat");
  dir_.Write("c.htm", "old");
  EXPECT_FALSE(Append(7));
  EXPECT_FALSE(Remove(1));
  EXPECT_FALSE(store_.ClearHistory());
  EXPECT_FALSE(page_.WriteHistoryPage("date.dat"));
  EXPECT_FALSE(dir_.Exists("date.dat"));
  std::filesystem::create_directory(dir_ / "date.dat");
  EXPECT_FALSE(Append(7));
  EXPECT_FALSE(Remove(1));
  EXPECT_FALSE(store_.ReadEntry(1).has_value());
  EXPECT_EQ(dir_.Read("c.htm"), "old");
  EXPECT_TRUE(shown_.empty());
}

}  // namespace
}  // namespace lumora
