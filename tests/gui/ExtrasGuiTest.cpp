#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"

namespace lumora {
namespace {

using namespace gui;

// The real program against the demo server, whose control file switches the ticker on, with a fake
// default web browser.
using ExtrasGuiTest = ProgramSuite;

// The line an item of the ticker rests on: the ticker's panel is 300 x 30, 10 from the main
// window's right edge and 3 from its bottom; an item rests 8 below the panel's top.
Box ItemLine(const Box& main) {
  return {main.x + main.width - 310, main.y + main.height - 33 + 8, 300, 16};
}

// The longest run of pixels along a row of the line that differ from the bare line: an underline
// runs the length of the item, while the characters leave gaps between their strokes.
int LongestChangedRun(const std::vector<guint32>& line, const std::vector<guint32>& bare,
                      int width) {
  int longest = 0;
  for (size_t row = 0; row + width <= std::min(line.size(), bare.size()); row += width) {
    int run = 0;
    for (size_t at = row; at < row + width; ++at) {
      run = line[at] != bare[at] ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return longest;
}

// About 6 s after start the ticker's first item, which has a link, climbs onto its line at the
// bottom right of the main window. Under the pointer it holds and is underlined; a click on it
// reaches the user's browser.
TEST_F(ExtrasGuiTest, TickerClickOpensTheItemInTheDefaultBrowser) {
  Box main = GeometryOf(MainWindowId());
  ASSERT_GT(main.width, 0) << "the main window is up";
  Box line = ItemLine(main);
  // The line as it is before the ticker starts, read while its list is still to come.
  std::vector<guint32> bare;
  ASSERT_TRUE(WaitFor(
      "the ticker list",
      [&] {
        if (run_->Saw("GET /box/lib/gun.txt ")) return true;
        bare = ScreenPixels(line);
        return false;
      },
      20s));
  ASSERT_FALSE(bare.empty()) << "the line was read before the ticker started";

  int x = line.x + 30;
  int y = line.y + 7;
  // An item that climbs in under a still pointer is not pointed at: the user moves onto it, a
  // pixel to and fro, until it shows it is held.
  int move = 0;
  ASSERT_TRUE(WaitFor(
      "the first item underlined under the pointer",
      [&] {
        Shell("xdotool mousemove " + std::to_string(x + move++ % 2) + " " + std::to_string(y));
        return LongestChangedRun(ScreenPixels(line), bare, line.width) >= 100;
      },
      10s));
  ClickOnScreen(x, y);
  ASSERT_TRUE(WaitFor(
      "the browser", [&] { return !browser_->Opened().empty(); }, 5s));
  EXPECT_EQ(browser_->Opened(), std::vector<std::string>{run_->server.SiteUrl()});
}

}  // namespace
}  // namespace lumora
