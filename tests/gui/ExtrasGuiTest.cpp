#include <gtest/gtest.h>

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

// Runs once the update check is in: about 6 s after start the ticker shows its first item at the
// bottom right of the main window; a click on an item with a link reaches the user's browser.
// The list's third item has no link, so a click that meets it is tried again on the next item.
TEST_F(ExtrasGuiTest, TickerClickOpensTheItemInTheDefaultBrowser) {
  Box main = GeometryOf(MainWindowId());
  ASSERT_GT(main.width, 0) << "the main window is up";
  int x = main.x + main.width - 310 + 30;
  int y = main.y + main.height - 33 + 14;
  Pause(8s);
  bool opened = false;
  for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
    Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    Pause(300ms);
    Shell("xdotool click 1");
    opened = WaitUntil([&] { return !browser_->Opened().empty(); }, 3s);
    // Over the bare panel the hold ends, and the next item comes up.
    Shell("xdotool mousemove " + std::to_string(x + 250) + " " + std::to_string(y - 12));
    if (!opened) Pause(6s);
  }
  ASSERT_TRUE(opened) << "no address reached the default browser";
  EXPECT_EQ(browser_->Opened(), std::vector<std::string>{run_->server.SiteUrl()});
}

}  // namespace
}  // namespace lumora
