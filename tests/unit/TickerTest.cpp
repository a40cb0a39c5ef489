#include <gtest/gtest.h>

#include "app/Startup.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/BA1.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

class TickerTest : public ::testing::Test {
 protected:
  TickerTest() {
    RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock());
    form_.Load();
  }

  // Loads the ticker with the server answering this list.
  void LoadTicker(const std::string& list) {
    size_t request = platform_.Http().RequestedUrls().size();
    platform_.Time().Post(20ms, [this, request, list] {
      platform_.Http().Answer(request, {true, 200, Utf8ToGbk(list)});
    });
    form_.gun_ad();
    ASSERT_EQ(platform_.Http().RequestedUrls().at(request), "http://server/box/lib/gun.txt");
  }
  void Wait(std::chrono::milliseconds span) { platform_.Time().Advance(span); }
  // The items on show, by caption, and where the one on show is.
  std::vector<std::string> Shown() {
    std::vector<std::string> shown;
    for (Label* item : form_.La) {
      if (item->Visible()) shown.push_back(item->Caption());
    }
    return shown;
  }
  int Top(int index) { return form_.La[index]->Geometry().y; }
  void PointAt(int index) { form_.La[index]->onMouseMove({MouseButton::Left, false, 1, 1}); }
  bool Underlined(int index) { return form_.La[index]->GetFont().underline; }
  const std::vector<std::string>& Opened() { return platform_.Desktop().OpenedAddresses(); }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  BA1 form_{platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path()};
};

// Each item climbs 12 pixels in six 50 ms steps, rests 5.1 s on the line and gives way to the
// next, which shows one step later; items without "||" and the empty part after a trailing "$$$"
// are dropped.
TEST_F(TickerTest, ItemsClimbRestAndCycle) {
  LoadTicker("A||http://site/a.html$$$no link here$$$B||*$$$");
  ASSERT_EQ(form_.TickerLast, 1);
  EXPECT_EQ(form_.La[0]->Caption(), "A");
  EXPECT_EQ(form_.La[1]->Caption(), "B");
  EXPECT_EQ(Top(0), 20);
  Wait(150ms);
  EXPECT_EQ(Top(0), 14);
  Wait(150ms);
  EXPECT_EQ(Top(0), 8);
  Wait(5099ms);
  EXPECT_EQ(Shown(), std::vector<std::string>{"A"});
  EXPECT_EQ(Top(0), 8);
  Wait(1ms);
  EXPECT_TRUE(Shown().empty()) << "the item leaves at the end of its 5.1 s rest";
  EXPECT_EQ(Top(0), 20);
  Wait(50ms);
  EXPECT_EQ(Shown(), std::vector<std::string>{"B"});
  EXPECT_EQ(Top(1), 18);
  Wait(250ms + 5100ms + 50ms);
  EXPECT_EQ(Shown(), std::vector<std::string>{"A"}) << "after the last item the first comes again";
}

// The pointer holds a linked item underlined for as long as it stays; over the bare panel the
// item goes on after the rest under way. A click opens only a web address, and then stops the
// hold until the pointer has crossed the bare panel.
TEST_F(TickerTest, PointerHoldsAndClickOpensOnlyWebAddresses) {
  LoadTicker("A||http://site/a.html||ignored$$$B||*$$$C||file:///usr/bin/xterm$$$D||");
  Wait(300ms);
  PointAt(0);
  EXPECT_TRUE(Underlined(0));
  EXPECT_EQ(form_.TickerHover, 1);
  Wait(60s);
  EXPECT_EQ(Shown(), std::vector<std::string>{"A"});
  form_.gunp->onMouseMove({});
  EXPECT_FALSE(Underlined(0));
  Wait(5100ms);
  EXPECT_EQ(Shown(), std::vector<std::string>{"B"});

  form_.La[0]->onClick();
  EXPECT_EQ(Opened(), std::vector<std::string>{"http://site/a.html"});
  EXPECT_EQ(form_.TickerHover, 2);
  PointAt(0);
  EXPECT_FALSE(Underlined(0)) << "after a click, pointing underlines nothing";
  form_.gunp->onMouseMove({});

  for (int plain : {1, 2, 3}) {
    PointAt(plain);
    EXPECT_FALSE(Underlined(plain)) << form_.La[plain]->Caption();
    form_.La[plain]->onClick();
    form_.gunp->onMouseMove({});
  }
  EXPECT_EQ(Opened().size(), 1u) << "no target but a web address reaches the desktop";
}

// One item slides from top 10 into place in a single step and stays, with the timer off; a long
// list is cut to its first 51 items; a list without "||" loads nothing.
TEST_F(TickerTest, SingleItemLongListAndEmptyList) {
  LoadTicker("no items");
  EXPECT_FALSE(form_.Timerg->Enabled());
  EXPECT_EQ(form_.La.size(), 1u);

  LoadTicker("Only||http://site/");
  EXPECT_EQ(form_.La0->Geometry().Origin(), (Point{0, 10}));
  Wait(50ms);
  EXPECT_EQ(Top(0), 8);
  EXPECT_FALSE(form_.Timerg->Enabled());
  Wait(60s);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Only"});
  EXPECT_EQ(Top(0), 8);

  std::string list;
  for (int item = 0; item < 60; ++item) list += "item " + std::to_string(item) + "||*$$$";
  LoadTicker(list);
  EXPECT_EQ(form_.TickerLast, 50);
  EXPECT_EQ(form_.La.back()->Caption(), "item 50");
}

}  // namespace
}  // namespace lumora
