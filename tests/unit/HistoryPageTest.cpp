#include <gtest/gtest.h>

#include "content/HistoryPage.h"
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

TEST(CutToWidthTest, CountsGbkDoubleByteCharactersTwice) {
  EXPECT_EQ(CutToWidth("中文电影", 24), "中文电影");
  EXPECT_EQ(CutToWidth(Repeat("a", 30), 24), Repeat("a", 24));
  EXPECT_EQ(CutToWidth(Repeat("中", 20), 24), Repeat("中", 12));
  EXPECT_EQ(CutToWidth(Repeat("中", 13), 24), Repeat("中", 12));
  EXPECT_EQ(CutToWidth(Repeat("a", 13), 24), Repeat("a", 13));
  // Whatever its characters, a text of at most width / 2 units is not cut.
  EXPECT_EQ(CutToWidth(Repeat("中", 10), 20), Repeat("中", 10));
  EXPECT_EQ(CutToWidth(Repeat("a", 1) + Repeat("中", 12), 24), Repeat("a", 1) + Repeat("中", 11));
}

TEST(CutToWidthTest, NeverSplitsACharacterOutsideTheBmp) {
  std::string text = Repeat("a", 22) + "😀😀";
  EXPECT_EQ(CutToWidth(text, 24), Repeat("a", 22) + "😀");
  EXPECT_EQ(CutToWidth(Repeat("a", 23) + "😀😀", 24), Repeat("a", 23));
}

TEST(HistoryPageRenderTest, EmptyListHasOnlyTheNoRecordsRow) {
  std::string page = RenderHistoryPage({""});
  EXPECT_EQ(RowsOf(page), "<tr><td colspan=2 align=center>暂无记录</td></tr>");
  EXPECT_TRUE(page.starts_with("<html><head><title></title><style type=\"text/css\">*{margin:0;"));
  EXPECT_TRUE(
      page.ends_with("this.cells[2].style.display = 'block';}}\r\n"
                     "</script></body></html>\r\n"));
  EXPECT_NE(page.find("</table><div style='dispaly:none' id='vd'></div><script type="),
            std::string::npos);
}

TEST(HistoryPageRenderTest, RowsCarryTheirLineNumbersAndSkipUntitledEntries) {
  std::string page = RenderHistoryPage(
      {"", "7|%u4E2D%u6587|E|B|1|2|0", "8||E|B|1|2|0", "no entry", "9|abc|E|B|1|2|0"});
  EXPECT_EQ(RowsOf(page),
            "<tr><td align=left width=95%><a title=\"中文\" href=open://2>·中文</a></td>"
            "<td width=4% style='display:none'><a href=delk://2><img src=\"i.gif\" alt=\"删除\">"
            "</a></td><td>&nbsp;</td></tr>"
            "<tr><td align=left width=95%><a title=\"abc\" href=open://5>·abc</a></td>"
            "<td width=4% style='display:none'><a href=delk://5><img src=\"i.gif\" alt=\"删除\">"
            "</a></td><td>&nbsp;</td></tr>");
}

TEST(HistoryPageRenderTest, ShowsNoMoreLinesThanAPlayKeeps) {
  std::vector<std::string> owned;
  for (int i = 1; i <= 5000; ++i) owned.push_back(std::to_string(i) + "|t|E|B|1|2|0");
  std::vector<std::string_view> lines(owned.begin(), owned.end());
  std::string page = RenderHistoryPage(lines);
  EXPECT_NE(page.find("href=open://101>"), std::string::npos);
  EXPECT_EQ(page.find("href=open://102>"), std::string::npos);
}

TEST(HistoryPageRenderTest, TitlesFromTheServerCannotInjectMarkup) {
  std::string page = RenderHistoryPage({"1|%3Cscript%3Ealert%281%29%3C/script%3E|||0|0|0",
                                        "2|a%20onmouseover%3D%22x%22%27|||0|0|0"});
  std::string rows = RowsOf(page);
  EXPECT_EQ(rows.find("<script"), std::string::npos);
  EXPECT_NE(rows.find("title=\"&lt;script&gt;alert(1)&lt;/script&gt;\""), std::string::npos);
  EXPECT_NE(rows.find("title=\"a onmouseover=&quot;x&quot;&#39;\" href=open://2>"
                      "·a onmouseover=&quot;x&quot;&#39;</a>"),
            std::string::npos);
}

TEST(HistoryPageRenderTest, LongTitlesAreCutInTheRowButWholeInTheTooltip) {
  std::string title = Repeat("%u4E2D", 20);
  std::string rows = RowsOf(RenderHistoryPage({"1|" + title + "|||0|0|0"}));
  EXPECT_NE(rows.find("title=\"" + Repeat("中", 20) + "\""), std::string::npos);
  EXPECT_NE(rows.find("·" + Repeat("中", 12) + "</a>"), std::string::npos);
}

TEST(HistoryPageWriteTest, WritesGbkWithAFinalCrLfAndShowsThePage) {
  test::TempDir dir;
  dir.Write("date.dat", "1|%u4E2D|||0|0|0\r\n");
  std::filesystem::path shown;
  HistoryPage page(dir.Path(), [&](const std::filesystem::path& path) { shown = path; });
  ASSERT_TRUE(page.WriteHistoryPage("date.dat"));
  EXPECT_EQ(shown, dir / "c.htm");
  std::string written = dir.Read("c.htm");
  EXPECT_EQ(written, Utf8ToGbk(RenderHistoryPage({"1|%u4E2D|||0|0|0"})) + "\r\n");
}

TEST(HistoryPageWriteTest, MissingListKeepsTheOldPageAndShowsNothing) {
  test::TempDir dir;
  dir.Write("c.htm", "old");
  bool shown = false;
  HistoryPage page(dir.Path(), [&](const auto&) { shown = true; });
  EXPECT_FALSE(page.WriteHistoryPage("date.dat"));
  EXPECT_EQ(dir.Read("c.htm"), "old");
  EXPECT_FALSE(shown);
}

}  // namespace
}  // namespace lumora
