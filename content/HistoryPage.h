#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

inline constexpr std::string_view kHistoryPageFile = "c.htm";
inline constexpr std::string_view kDeleteIconFile = "i.gif";

// Cuts text to a display width: GBK double-byte characters count 2, every other character 1.
// Text of at most width / 2 UTF-16 units is returned whole.
std::string CutToWidth(std::string_view text, int width);

// The history page for the lines of a play-list file (GBK bytes each), as UTF-8 HTML.
std::string RenderHistoryPage(const std::vector<std::string_view>& listLines);

// The local page "c.htm" that shows the play list in the history view.
class HistoryPage {
 public:
  // Asked to load the page (a plain file path) after each rewrite.
  using ShowPage = std::function<void(const std::filesystem::path&)>;

  HistoryPage(std::filesystem::path appDir, ShowPage showPage);

  // Renders AppDir/listFile into "c.htm" (GBK) and shows it. False when the list cannot be read
  // (nothing is written then), or when an empty list's page cannot be written.
  bool WriteHistoryPage(std::string_view listFile);

 private:
  std::filesystem::path appDir_;
  ShowPage showPage_;
};

}  // namespace lumora
