#include "tests/gui/GuiSupport.h"

namespace lumora::gui {
namespace {

// Each test runs the real program anew, with a fake default web browser; the exit tests set it to
// quit when its window closes.
const std::vector<std::pair<const char*, const char*>> kQuitOnClose = {{"ts", "1"}, {"quit", "1"}};

class ExitExtrasGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gdk_init(nullptr, nullptr); }

  // The update offer comes about 6 s after start; succeeds once it is up and has the keyboard.
  static ::testing::AssertionResult WaitForOfferWithFocus() {
    std::string offer;
    auto shown = WaitFor("the update offer", 25s,
                         [&] { return !(offer = OnlyWindow("--name ^提示：$")).empty(); });
    if (!shown) return shown;
    return WaitFor("the offer to have the keyboard", 5s,
                   [&] { return Shell("xdotool getactivewindow") == offer + "\n"; });
  }

  test::FakeWebHandler browser_;
};

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

// Its close picture ends the program; so does a link, which reaches the browser.
TEST_F(ExitExtrasGuiTest, ExitAdReplacesTheMainWindowAndItsCloseOrALinkEndsTheProgram) {
  for (bool link : {false, true}) {
    ProgramRun run(kQuitOnClose);
    // The close button, once the control file that asks for the exit ad is applied: the ticker it
    // also switches on is asked for last.
    ASSERT_TRUE(run.Asked("GET /box/lib/gun.txt ", 0, 20s));  // the ticker list
    ClickInMainWindow({GeometryOf(MainWindowId()).width - 22, 17});
    std::string exitAd;
    ASSERT_TRUE(WaitFor("the exit ad", 10s,
                        [&] { return !(exitAd = OnlyWindow("--name ^推荐$")).empty(); }));
    EXPECT_TRUE(run.Asked("GET /box/js/ads/tui.html ", 0, 5s));  // the exit ad's page
    EXPECT_TRUE(LumoraWindows().empty()) << "the main window is hidden";
    Box box = GeometryOf(exitAd);
    EXPECT_EQ(std::pair(box.width, box.height), std::pair(299, 247));
    GdkRectangle screen;
    gdk_monitor_get_geometry(gdk_display_get_primary_monitor(gdk_display_get_default()), &screen);
    EXPECT_NEAR(box.x, (screen.width - 299) / 2, 1);
    EXPECT_NEAR(box.y, (screen.height - 247) / 2, 1);

    // The close picture's orange cross appears after a second, at the top right; by then the
    // page has laid out its links.
    ASSERT_TRUE(WaitFor("the close picture's orange cross", 5s, [&] {
      guint32 pixel = ScreenPixel(box.x + 244 + 11, box.y + 5 + 10);
      return (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0xB0 && (pixel & 0xFF) < 0x60;
    }));
    // The first recommendation, or the close picture.
    ClickOnScreen(box.x + (link ? 120 : 244 + 25), box.y + (link ? 62 : 5 + 10));
    EXPECT_TRUE(EndsWell(run.pid, 10s)) << link;
    if (link) {
      EXPECT_TRUE(WaitFor("the browser", 10s, [&] { return !browser_.Opened().empty(); }));
    }
    EXPECT_EQ(browser_.Opened(),
              link ? std::vector<std::string>{run.server.SiteUrl()} : std::vector<std::string>{});
  }
}

// The update offer, escaped, keeps the program running and the ticker the control file asks for
// next starts: its first item, which has a link, climbs onto its line at the bottom right of the
// main window, holds and is underlined under the pointer, and a click on it reaches the user's
// browser. The program menu offers the update again, where Enter downloads it.
TEST_F(ExitExtrasGuiTest, OfferEscapedStartsTheTickerWhoseLinkOpensAndTheMenuOffersAgain) {
  ProgramRun run(kQuitOnClose, "9.1");
  ASSERT_TRUE(WaitForOfferWithFocus());
  // The line an item of the ticker rests on, as it is before the ticker starts: the ticker's
  // panel is 300 x 30, 10 from the main window's right edge and 3 from its bottom; an item rests 8
  // below the panel's top.
  Box main = GeometryOf(MainWindowId());
  Box line{main.x + main.width - 310, main.y + main.height - 33 + 8, 300, 16};
  std::vector<guint32> bare = ScreenPixels(line);
  ASSERT_FALSE(bare.empty());
  size_t escaped = run.server.RequestLog().size();
  Shell("xdotool key Escape");
  ASSERT_TRUE(WaitFor("the offer to go", 5s, [] { return OnlyWindow("--name ^提示：$").empty(); }));
  ASSERT_TRUE(run.Asked("GET /box/lib/gun.txt ", escaped));  // the ticker list
  // Read until xdotool gets through: a window going away under its search makes it fail.
  EXPECT_TRUE(WaitFor("the program to run on", 5s, [] { return LumoraWindows().size() == 1; }));

  // An item that climbs in under a still pointer is not pointed at: the user moves onto it.
  Point item{line.x + 30, line.y + 7};
  ASSERT_TRUE(HoverUntil("the first item underlined under the pointer", item, [&] {
    return LongestChangedRun(ScreenPixels(line), bare, line.width) >= 100;
  }));
  ClickOnScreen(item.x, item.y);
  ASSERT_TRUE(WaitFor("the browser", 5s, [&] { return !browser_.Opened().empty(); }));
  EXPECT_EQ(browser_.Opened(), std::vector<std::string>{run.server.SiteUrl()});
  EXPECT_EQ(browser_.Inherited(), "") << "the program's own graphics settings stay its own";

  // "升级检测", past the separator.
  ASSERT_TRUE(ChooseFromTheProgramMenu("Down Down Down Down Return"));
  ASSERT_TRUE(WaitForOfferWithFocus());
  Shell("xdotool key Return");
  EXPECT_TRUE(EndsWell(run.pid, 10s));
  EXPECT_TRUE(WaitFor("the download", 10s, [&] { return browser_.Opened().size() == 2; }));
  EXPECT_EQ(browser_.Opened().back(), run.server.BaseUrl() + "update/update.exe");  // after Yes
  EXPECT_EQ(run.Find("GET /box/js/ads/tui.html "), std::nullopt);
}

}  // namespace
}  // namespace lumora::gui
