#include <gtest/gtest.h>

#include "app/LumoraApp.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

constexpr const char* kBase = "http://server/box/";

class PopupAdTest : public ::testing::Test {
 protected:
  PopupAdTest() { app_.Start({}); }

  // Loads the popup window as the update check does, the server answering with this list.
  tankou& LoadWith(const std::string& list) {
    size_t request = platform_.Http().RequestedUrls().size();
    platform_.Time().Post(20ms, [this, request, list] {
      platform_.Http().Answer(request, {true, 200, Utf8ToGbk(list)});
    });
    app_.ShowPopupAd();
    start_ = platform_.Time().Now();
    EXPECT_EQ(platform_.Http().RequestedUrls().at(request), "http://server/box/lib/tan.txt");
    return *app_.PopupAd();
  }
  // Moves virtual time to this long after the window was loaded.
  void At(std::chrono::milliseconds sinceLoad) {
    platform_.Time().Advance(std::chrono::duration_cast<std::chrono::milliseconds>(
        start_ + sinceLoad - platform_.Time().Now()));
  }
  // The engine finishes the page, whose content has this size.
  void Finish(Size content) {
    headless::HeadlessWebView& view = headless::AsHeadless(*Popup().Web1);
    view.SetPageContent(content);
    view.onDocumentComplete();
  }
  tankou& Popup() { return *app_.PopupAd(); }
  TopWindow& Window() { return *Popup().Window(); }
  std::string Page() { return Popup().Web1->CurrentAddress(); }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  LumoraApp app_{platform_, ContentServer(kBase, "http://site/"), dir_.Path()};
  WallTime start_;
};

// The first usable page loads after the start delay and pops up, sized to its page, at the bottom
// right of the work area, above other windows and passive. Every rotation hides the window and
// measures the next page from the same small view; after the list's end the window unloads.
TEST_F(PopupAdTest, PopsUpAfterTheDelayRotatesAndEnds) {
  LoadWith(" 5 ||2||0||http://server/box/a.html$$$ftp://server/b.html$$$http://server/box/c.html");
  EXPECT_FALSE(Window().IsShown());
  EXPECT_TRUE(Window().AlwaysOnTop());
  EXPECT_TRUE(Window().Passive());
  At(4999ms);
  EXPECT_EQ(Page(), "about:blank");
  At(5s);
  EXPECT_EQ(Page(), "http://server/box/a.html");
  EXPECT_FALSE(Window().IsShown()) << "shown only once the page has finished";
  Finish({330, 210});
  EXPECT_TRUE(Window().IsShown());
  EXPECT_EQ(Window().Bounds(), (Rect{1270, 750, 330, 210}));
  EXPECT_EQ(Popup().Web1->Geometry(), (Rect{-2, -2, 334, 214}));
  EXPECT_EQ(Popup().img->Geometry().Origin(), (Point{330 - 40 - 1, 1}));

  At(5s + 2min - 1ms);
  EXPECT_EQ(Page(), "http://server/box/a.html");
  At(5s + 2min);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(Page(), "http://server/box/c.html");
  Finish({200, 100});
  EXPECT_EQ(Window().Bounds(), (Rect{1400, 860, 200, 100})) << "measured from a small view";

  At(5s + 4min);
  EXPECT_FALSE(Popup().Loaded());
}

// With the repeat field the usable pages alternate for good; unreadable fields fall back to a
// 120 s delay and 30 minutes, and a page larger than 800 x 600 is cut to it.
TEST_F(PopupAdTest, RepeatsAndFallsBackToDefaultsAndCaps) {
  LoadWith("0||x||1||http://server/box/a.html$$$http://server/box/c.html");
  At(119s);
  EXPECT_EQ(Page(), "about:blank");
  At(120s);
  Finish({1000, 700});
  EXPECT_EQ(Window().Bounds(), (Rect{800, 360, 800, 600}));
  for (int rotation = 1; rotation <= 4; ++rotation) {
    At(120s + rotation * 30min);
    EXPECT_EQ(Page(), rotation % 2 ? "http://server/box/c.html" : "http://server/box/a.html");
  }
  EXPECT_TRUE(Popup().Loaded());
}

// A negative number of minutes shows the first page only; the window stays loaded.
TEST_F(PopupAdTest, NegativeMinutesShowOnePopupOnly) {
  LoadWith("1||-1||0||http://server/box/a.html$$$http://server/box/c.html");
  At(1s);
  Finish({300, 200});
  EXPECT_FALSE(Popup().Timert->Enabled());
  At(3h);
  EXPECT_EQ(Page(), "http://server/box/a.html");
  EXPECT_TRUE(Popup().Loaded());
}

// The page's new windows open in the user's browser, web addresses only, and hide the popup, as
// its close picture does; the schedule goes on and shows the next page. The page has no context
// menu.
TEST_F(PopupAdTest, NewWindowsAndTheClosePictureHideIt) {
  LoadWith("1||1||1||http://server/box/a.html");
  At(1s);
  Finish({300, 200});
  EXPECT_FALSE(Popup().Web1->onContextMenu({5, 5}));
  Popup().Web1->onNewWindow2("http://site/offer.html");
  EXPECT_FALSE(Window().IsShown());
  Popup().Web1->onNewWindow2("file:///usr/bin/xterm");
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(),
            std::vector<std::string>{"http://site/offer.html"});
  At(1s + 1min);
  Finish({300, 200});
  EXPECT_TRUE(Window().IsShown());
  Popup().img->onClick();
  EXPECT_FALSE(Window().IsShown());
}

// A quit while the list is fetched unloads the window, and the fetch ending afterwards starts
// nothing; a later reference loads it again. A list without a usable page starts nothing.
TEST_F(PopupAdTest, StaysIdleAfterAQuitOrWithoutPages) {
  platform_.Time().Post(1s, [this] { app_.MainWindow()->ttt_v(); });
  app_.ShowPopupAd();
  EXPECT_FALSE(Popup().Loaded());
  EXPECT_FALSE(Popup().Timerc->Enabled());

  LoadWith("5||1||1||ftp://server/a.html");
  EXPECT_TRUE(Popup().Loaded());
  EXPECT_FALSE(Popup().Timerc->Enabled());
}

}  // namespace
}  // namespace lumora
