#include "content/HistoryPage.h"

#include <algorithm>

#include "content/HistoryStore.h"
#include "content/PlayListFormat.h"
#include "core/FileIo.h"
#include "core/JsEscape.h"
#include "core/TextCodec.h"

namespace lumora {
namespace {

constexpr std::string_view kTemplate =
    "<html><head><title></title><style type=\"text/css\">"
    "*{margin:0;padding:0;border:0px;}"
    "body{overflow:auto;background:#212121;}"
    "html{scrollbar-face-color:#2A2929;scrollbar-highlight-color:#353434;scrollbar-shadow-color:"
    "#000000;scrollbar-3dlight-color:#000000;scrollbar-arrow-color:#515151;scrollbar-track-color:"
    "#1F1D1C;scrollbar-darkshadow-color:#201F1E;}"
    "a:link,a:visited,a:active,a:hover{color:#DBDBDB;text-decoration:none;display:block}"
    "td{padding-left:3px;height:25px;line-height:25px;font-size:12px;border-bottom:1px solid "
    "#161616;color:#DBDBDB;}"
    "td img{width:11px;height:11px;margin-top:2px;}"
    "</style></head><body oncontextmenu=\"return false\" ondragstart=\"return false\">"
    "<table id=\"v1\" width=\"99%\" cellpadding=\"0\" cellspacing=\"0\" border=\"0\">"
    "<vod>"
    "</table><div style='dispaly:none' id='vd'></div>";

constexpr std::string_view kScript =
    "<script type=\"text/javascript\">\r\n"
    "var obj=document.getElementById(\"v1\");\r\n"
    "var obj1=document.getElementById(\"vd\");\r\n"
    "for(var i=0;i<obj.rows.length;i++){\r\n"
    "obj.rows[i].onmouseover=function(){obj1.style.background=this.style.backgroundColor;"
    "this.style.background='#312D26';this.cells[1].style.display ='block';"
    "this.cells[2].style.display = 'none';}\r\n"
    "obj.rows[i].onmouseout=function(){this.style.background=obj1.style.background;"
    "this.cells[1].style.display = 'none';this.cells[2].style.display = 'block';}}\r\n"
    "</script></body></html>\r\n";

constexpr std::string_view kRowsPlaceholder = "<vod>";
constexpr std::string_view kEmptyListRow = "<tr><td colspan=2 align=center>暂无记录</td></tr>";
constexpr int kTitleWidth = 24;
// A play keeps this many lines: the new entry and the old ones it keeps.
constexpr size_t kShownLines = HistoryStore::kKeptLines + 1;

// Titles come from the server; escaping keeps them text in a page that may read local files.
std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Row(int lineNumber, std::string_view title, std::string_view shortTitle) {
  std::string n = std::to_string(lineNumber);
  return "<tr><td align=left width=95%><a title=\"" + EscapeHtml(title) + "\" href=open://" + n +
         ">·" + EscapeHtml(shortTitle) +
         "</a></td><td width=4% style='display:none'><a href=delk://" + n +
         "><img src=\"i.gif\" alt=\"删除\"></a></td><td>&nbsp;</td></tr>";
}

// The lines the page shows: at most as many as a play keeps, so a damaged, huge list cannot make
// a huge page. Decoded first, so a GBK character whose second byte is "|" splits nothing.
std::vector<std::string> ShownLines(const std::vector<std::string_view>& listLines) {
  size_t count = std::min(listLines.size(), kShownLines);
  std::vector<std::string> lines;
  lines.reserve(count);
  for (size_t i = 0; i < count; ++i) lines.push_back(GbkToUtf8(listLines[i]));
  return lines;
}

std::string Rows(const std::vector<std::string>& listLines) {
  std::string rows;
  int lineNumber = 0;
  for (const std::string& line : listLines) {
    ++lineNumber;
    if (!IsEntryLine(line)) continue;
    std::string title = JsUnescape(FieldOrEmpty(SplitFields(line, "|"), 1));
    std::string shortTitle = CutToWidth(title, kTitleWidth);
    if (!shortTitle.empty()) rows += Row(lineNumber, title, shortTitle);
  }
  return rows.empty() ? std::string(kEmptyListRow) : rows;
}

bool HasEntries(const std::vector<std::string>& listLines) {
  return std::any_of(listLines.begin(), listLines.end(),
                     [](const std::string& line) { return IsEntryLine(line); });
}

}  // namespace

std::string CutToWidth(std::string_view text, int width) {
  std::u16string units = Utf8ToUtf16(text);
  if (width / 2.0 >= static_cast<double>(units.size())) return std::string(text);
  std::u16string result;
  int total = 0;
  for (size_t i = 0; i < units.size(); ++i) {
    // A surrogate pair stays whole; GBK cannot encode it, so each half counts as one "?".
    bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() &&
                units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
    int count = pair ? 2 : IsDoubleByteInGbk(units[i]) ? 2 : 1;
    total += count;
    if (total > width) break;
    result.append(units, i, pair ? 2 : 1);
    i += pair ? 1 : 0;
  }
  return Utf16ToUtf8(result);
}

std::string RenderHistoryPage(const std::vector<std::string_view>& listLines) {
  std::string page(kTemplate);
  page += kScript;
  std::string rows = Rows(ShownLines(listLines));
  for (size_t at = page.find(kRowsPlaceholder); at != std::string::npos;
       at = page.find(kRowsPlaceholder, at + rows.size())) {
    page.replace(at, kRowsPlaceholder.size(), rows);
  }
  return page;
}

HistoryPage::HistoryPage(std::filesystem::path appDir, ShowPage showPage)
    : appDir_(std::move(appDir)), showPage_(std::move(showPage)) {}

bool HistoryPage::WriteHistoryPage(std::string_view listFile) {
  auto list = ReadFileBytes(appDir_ / listFile);
  if (!list) return false;
  std::vector<std::string_view> lines = SplitLines(*list);
  std::string page = RenderHistoryPage(lines) + std::string(kCrLf);
  std::filesystem::path pagePath = appDir_ / kHistoryPageFile;
  std::string bytes = Utf8ToGbk(page);
  // A page that already says this is not written again (start-up renders it whenever it may be
  // behind the list). With entries, a failed write is skipped and the view still reloads;
  // without, it ends here.
  bool written = ReadFileBytes(pagePath) == bytes || WriteFileAtomically(pagePath, bytes);
  if (!written && !HasEntries(ShownLines(lines))) return false;
  if (showPage_) showPage_(pagePath);
  return true;
}

}  // namespace lumora
