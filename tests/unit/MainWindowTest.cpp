#include <gtest/gtest.h>

#include <optional>

#include "app/Startup.h"
#include "content/LinkRouter.h"
#include "core/ServerFetch.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "shell/BA1.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

MouseEvent At(int x, int y, bool leftHeld = false) {
  return {MouseButton::Left, leftHeld, x, y};
}

// The main window as the program's top makes it, with the link router attached.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock());
    form_ = Open();
    form_->onUnloaded = [this] { ++unloaded_; };
    platform_.Tray().Add({}, "Lumora");  // as the program's top adds it, to a running tray host
    router_.emplace(*form_, fetch_, server_,
                    [this](const std::string& text) { balloons_.push_back(text); });
    router_->Attach();
  }

  std::unique_ptr<BA1> Open() {
    auto form = std::make_unique<BA1>(platform_, server_, dir_.Path());
    form->Load();
    return form;
  }
  TopWindow& Window() { return form_->Window(); }
  void Resize(int width, int height) {
    Rect bounds = Window().Bounds();
    Window().SetBounds({bounds.x, bounds.y, width, height});
  }
  void Wait(std::chrono::milliseconds span) { platform_.Time().Advance(span); }
  void Store(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (auto [key, value] : values) IniWrite(dir_ / "config.dll", "S_q", key, value);
  }
  std::string Stored(const char* key) { return IniRead(dir_ / "config.dll", "S_q", key, "0"); }
  std::string StoredSize() { return Stored("h_w") + "x" + Stored("h_h"); }
  void Click(int element) {
    form_->npc_MouseDown(element, At(1, 1));
    form_->npc_Click(element);
  }
  // One letter per control: 1 on show, 0 hidden.
  static std::string Shown(std::initializer_list<const Control*> controls) {
    std::string shown;
    for (const Control* control : controls) shown += control->Visible() ? '1' : '0';
    return shown;
  }
  static std::string Text(Rect r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "," +
           std::to_string(r.height);
  }
  // "x,y,width,height " for each control.
  static std::string Rects(std::initializer_list<const Control*> controls) {
    std::string rects;
    for (const Control* control : controls) rects += Text(control->Geometry()) + " ";
    return rects;
  }
  std::vector<WebView*> Views() {
    return {form_->Web1, form_->Web2, form_->Web3,  form_->Web5, form_->Web6,
            form_->Web8, form_->Web9, form_->Web10, form_->Web11};
  }
  // The server answers the next request with this text, in GBK, after 20 ms.
  void AnswerNextRequest(const std::string& text) {
    size_t request = platform_.Http().RequestedUrls().size();
    platform_.Time().Post(20ms, [this, request, text] {
      platform_.Http().Answer(request, {true, 200, Utf8ToGbk(text)});
    });
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  ContentServer server_{"http://server/box/", "http://site/"};
  std::unique_ptr<BA1> form_;
  int unloaded_ = 0;
  ServerFetch fetch_{platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock()};
  std::vector<std::string> balloons_;
  std::optional<LinkRouter> router_;
};

TEST_F(MainWindowTest, OpensAtTheStoredOrDefaultSizeWithinTheMinimumAndTheWorkArea) {
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  Store({{"h_w", "20000"}, {"h_h", "12000"}});
  EXPECT_EQ(Open()->Window().ClientSize(), (Size{1333, 800}));
  Store({{"s_size", "1"}});
  EXPECT_EQ(Open()->Window().ClientSize(), (Size{990, 655}));

  // Damaged sizes stay in the file, but the window opens within the work area (0, 0, 1600, 960).
  Store({{"s_size", "2"}, {"h_w", "-99999"}, {"h_h", "2147483647"}});
  std::unique_ptr<BA1> damaged = Open();
  EXPECT_EQ(damaged->Window().Bounds(), (Rect{350, 0, 900, 960}));
  EXPECT_EQ(StoredSize(), "-99999x2147483647");

  Resize(800, 400);
  EXPECT_EQ(Window().ClientSize(), (Size{900, 467}));
  platform_.Desktop().SetWorkArea({0, 0, 800, 440});
  std::unique_ptr<BA1> small = Open();
  small->npc_Click(BA1::kMaximize);
  EXPECT_EQ(small->Window().Bounds(), (Rect{0, 0, 800, 440})) << "maximised below the minimum";
}

TEST_F(MainWindowTest, StartsEveryViewOnItsStartPageSilent) {
  std::string id = IniRead(dir_ / "config.dll", "User", "Name", "0");
  std::vector<std::string> addresses;
  for (WebView* view : Views()) {
    addresses.push_back(view->CurrentAddress());
    headless::AsHeadless(*view).StartLoad();
    EXPECT_TRUE(headless::AsHeadless(*view).Silent()) << view->CurrentAddress();
  }
  EXPECT_EQ(addresses, (std::vector<std::string>{
                           "http://server/box/", "about:blank", (dir_ / "c.htm").string(),
                           "about:blank", "http://server/box/tj/tj.asp?id=" + id,
                           "http://server/box/js/ads/bo.html", "http://server/box/js/ads/tao.html",
                           "http://server/box/tv/ad.htm", "http://server/box/tv/list.htm"}));
}

TEST_F(MainWindowTest, LayoutAndFrameFollowTheWindowSizeAndTheSideBarHandle) {
  for (int width : {900, 1377, 1000}) {
    Resize(width, 600);
    int expected[][2] = {{BA1::kClose, 32},  {BA1::kMaximize, 54}, {BA1::kMinimize, 76},
                         {BA1::kOnTop, 100}, {BA1::kMenu, 160},    {BA1::kCompact, 182}};
    for (auto [element, fromRight] : expected) {
      EXPECT_EQ(form_->npc[element]->Geometry().Origin(), (Point{width - fromRight, 7}))
          << element << " @" << width;
    }
  }
  // Window pixel, then the skin sheet's pixel it shows.
  const Point pairs[][2] = {{{0, 0}, {0, 0}},       {{39, 49}, {39, 49}},   {{500, 10}, {45, 10}},
                            {{999, 0}, {79, 0}},    {{971, 20}, {51, 20}},  {{2, 300}, {2, 55}},
                            {{998, 300}, {78, 55}}, {{500, 599}, {40, 99}}, {{0, 599}, {0, 99}}};
  for (const auto& [at, sheet] : pairs) {
    EXPECT_EQ(Window().Surface().PixelAt(at), form_->ppt[0].PixelAt(sheet)) << at.x << "," << at.y;
  }
  EXPECT_EQ(Window().Region(), (RoundedRegion{{1001, 601}, 4}));

  Picture* handle = form_->npc[BA1::kMainSideBarHandle];
  EXPECT_EQ(Rects({form_->npc[BA1::kShoppingTab], form_->zz, form_->gunp, form_->Web1, form_->Web9,
                   form_->l2, form_->L1, form_->Pic3, handle}),
            "224,8,68,28 7,41,986,523 690,567,300,30 -2,-2,990,527 -2,-2,990,527 784,0,202,523 "
            "0,0,784,523 0,28,202,470 784,241,7,40 ");
  EXPECT_EQ(form_->ni_name->Geometry().Origin(), (Point{12, 575}));
  EXPECT_EQ(handle->Surface().PixelAt({3, 20}), form_->ppt[11].PixelAt({3, 20}));
  Click(BA1::kMainSideBarHandle);
  EXPECT_EQ(handle->Surface().PixelAt({3, 20}), form_->ppt[11].PixelAt({10, 20}));
  EXPECT_EQ(handle->Tooltip(), "显示侧栏");
  EXPECT_EQ(Shown({form_->l2, form_->tvright}), "01") << "the TV side bar is independent";
  EXPECT_EQ(Rects({form_->L1, form_->Pic2, handle}), "0,0,986,523 0,0,986,523 979,241,7,40 ");
  Click(BA1::kMainSideBarHandle);
  EXPECT_TRUE(form_->l2->Visible());
  EXPECT_EQ(form_->L1->Geometry().width, 784);
}

TEST_F(MainWindowTest, DoubleScaleScreenGetsTheDoubleSheetsWithTheSameLayout) {
  platform_.Desktop().SetScaleFactor(2);
  std::unique_ptr<BA1> scaled = Open();
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(scaled->ppt[i].Scale(), 2) << i;
    EXPECT_EQ(scaled->ppt[i].Extent(), form_->ppt[i].Extent()) << i;
  }
  EXPECT_EQ(scaled->w3.Scale(), 2);
  auto layout = [](const BA1& form) {
    std::string rects;
    for (const Picture* element : form.npc) rects += Rects({element});
    return rects + Rects({form.zz, form.zzp, form.tv, form.ying, form.Pic1, form.Pic3, form.jia});
  };
  EXPECT_EQ(layout(*scaled), layout(*form_));
  EXPECT_EQ(scaled->Window().Bounds(), Window().Bounds());
}

TEST_F(MainWindowTest, TabsSwitchPagesAndListPanels) {
  Click(BA1::kPlayerTab);
  EXPECT_EQ(Shown({form_->zz, form_->zzp}), "10");
  Click(BA1::kNowPlayingTab);
  EXPECT_EQ(Shown({form_->Pic5, form_->Pic3}), "10");
  Click(BA1::kHistoryTab);
  EXPECT_EQ(Shown({form_->Pic5, form_->Pic3}), "01");
  Click(BA1::kTvTab);
  EXPECT_EQ(Shown({form_->tv, form_->zz}), "10");
}

TEST_F(MainWindowTest, MaximiseAndOnTopToggleWithTheirTooltipsAndRestoreCentres) {
  // The window's place, "on top" when it is, then the two buttons' tooltips.
  auto state = [this] {
    return Text(Window().Bounds()) + (Window().AlwaysOnTop() ? " on top " : " ") +
           form_->npc[BA1::kMaximize]->Tooltip() + "|" + form_->npc[BA1::kOnTop]->Tooltip();
  };
  Window().SetBounds({10, 10, 1000, 600});
  Click(BA1::kMaximize);
  Click(BA1::kOnTop);
  EXPECT_EQ(Window().State(), WindowState::Maximized);
  EXPECT_EQ(state(), "0,0,1600,960 on top 还原|取消置顶");
  Click(BA1::kMaximize);
  Click(BA1::kOnTop);
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_EQ(state(), "300,200,1000,600 最大化|置顶");
}

// Dismissed, the question cancels and stores nothing, so it comes again; answered, it is not asked
// again: yes hides to the tray, no quits.
TEST_F(MainWindowTest, CloseQuestionDismissedCancelsAndAnsweredDecidesForGood) {
  const std::vector<headless::ShownMessage>& messages = platform_.Desktop().Messages();
  platform_.Desktop().QueueAnswer(MessageAnswer::Dismissed);
  Click(BA1::kClose);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title + messages[0].text, "提示：关闭 Lumora  最小化到托盘吗？");

  platform_.Desktop().QueueAnswer(MessageAnswer::Yes);
  Click(BA1::kClose);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(Stored("ts") + Stored("quit"), "12");
  Window().Show();
  Click(BA1::kClose);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(unloaded_, 0);

  Store({{"ts", "3"}});
  platform_.Desktop().QueueAnswer(MessageAnswer::No);
  Click(BA1::kClose);
  EXPECT_EQ(messages.size(), 3u);
  EXPECT_EQ(unloaded_, 1);
  EXPECT_EQ(Stored("ts") + Stored("quit"), "11");
}

TEST_F(MainWindowTest, RightClicksCommandNothingAndSwallowNoLaterCommand) {
  headless::PressAndRelease(*form_->npc[BA1::kOnTop], MouseButton::Right);
  EXPECT_FALSE(Window().AlwaysOnTop());
  form_->ShowPlayerPage();  // as the link router does
  EXPECT_EQ(form_->CurrentPageTab, 8);

  headless::DoubleClick(Window(), MouseButton::Right, {400, 20});
  EXPECT_EQ(Window().State(), WindowState::Normal);

  headless::PressAndRelease(*form_->npc[BA1::kTvTab], MouseButton::Middle);
  headless::DoubleClick(Window(), MouseButton::Left, {400, 20});
  EXPECT_EQ(Window().State(), WindowState::Maximized);
}

TEST_F(MainWindowTest, NewWindowOfAnyViewOpensWebAddressesInTheBrowserOnly) {
  for (WebView* view : Views()) view->onNewWindow2("https://example.com/goods/1");
  form_->Web9->onNewWindow2("file:///etc/passwd");
  form_->Web8->onNewWindow2("javascript:alert(1)");
  form_->Web1->onNewWindow2("HTTP://127.0.0.1/");
  std::vector<std::string> expected(9, "https://example.com/goods/1");
  expected.push_back("http://127.0.0.1/");  // handed on in normal form
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), expected);
  EXPECT_EQ(form_->Web9->CurrentAddress(), "http://server/box/js/ads/tao.html");
}

TEST_F(MainWindowTest, HoverPaintsTheHoverCellAndShowsTheTooltipUnderTheButton) {
  Resize(1000, 600);
  Picture& minimize = *form_->npc[BA1::kMinimize];
  form_->npc_MouseMove(BA1::kMinimize, At(5, 5));
  EXPECT_EQ(minimize.Surface().PixelAt({10, 10}), form_->ppt[2].PixelAt({70, 10}));
  EXPECT_EQ(Shown({form_->P1}) + form_->bo_tip->Caption(), "1最小化");
  EXPECT_EQ(form_->P1->Geometry().Origin(), (Point{924 - 5, 7 + 21 + 3}));
  form_->npc_MouseMove(BA1::kMinimize, At(25, 5));
  EXPECT_EQ(minimize.Surface().PixelAt({10, 10}), form_->ppt[1].PixelAt({70, 10}));
  EXPECT_FALSE(form_->P1->Visible());
  form_->npc_MouseMove(BA1::kMenu, At(5, 5));
  EXPECT_FALSE(form_->P1->Visible()) << "the menu button has no tooltip";
}

TEST_F(MainWindowTest, CompactModeNeedsAPlayerAndRestoresTheStoredSize) {
  Click(BA1::kCompact);
  EXPECT_EQ(Window().ClientSize(), (Size{990, 655}));

  form_->PlayerState = 1;
  Click(BA1::kCompact);
  EXPECT_EQ(form_->CurrentPageTab, 8);
  EXPECT_EQ(Window().ClientSize(), (Size{393, 320}));
  EXPECT_EQ(Rects({form_->zz, form_->Web2, form_->jbi}), "2,20,389,297 -2,-2,393,301 368,2,15,14 ");
  EXPECT_EQ(Shown({form_->jbi, form_->npc[BA1::kClose], form_->l2}), "100");
  Resize(100, 100);
  EXPECT_EQ(Window().ClientSize(), (Size{273, 200}));

  form_->jbi_Click();
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  EXPECT_EQ(Shown({form_->npc[BA1::kClose], form_->npc[BA1::kOpen], form_->l2}), "101");
  EXPECT_EQ(StoredSize(), "14850x9830") << "compact sizes are never stored";
}

TEST(FrameZoneTest, BandIsThreePixelsWideWithCornersFirst) {
  const std::pair<Point, FrameZone> cases[] = {
      {{3, 300}, FrameZone::Left},       {{4, 300}, FrameZone::Interior},
      {{4, 4}, FrameZone::Interior},     {{3, 3}, FrameZone::TopLeft},
      {{0, 597}, FrameZone::BottomLeft}, {{997, 0}, FrameZone::TopRight},
      {{996, 3}, FrameZone::Top},        {{996, 596}, FrameZone::Interior},
      {{500, 597}, FrameZone::Bottom},   {{1000, 600}, FrameZone::BottomRight}};
  for (auto [point, zone] : cases) {
    EXPECT_EQ(ZoneAt(point, {1000, 600}), zone) << point.x << "," << point.y;
  }
  EXPECT_EQ(HitCodeFor(FrameZone::BottomLeft), HitCode::BottomLeft);
  EXPECT_EQ(PointerFor(FrameZone::TopRight), PointerShape::SizeNeSw);
  EXPECT_EQ(PointerFor(FrameZone::BottomRight), PointerShape::SizeNwSe);
}

TEST_F(MainWindowTest, DragsStoreNothingAndEdgeResizeStoresTheSizeItMadeAndNoLaterOne) {
  Resize(1000, 600);
  form_->OnSurfaceDown(At(400, 20));
  form_->OnSurfaceMove(At(410, 22, true));
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
  Window().SetBounds({50, 60, 1000, 600});
  Wait(400ms);
  EXPECT_EQ(StoredSize(), "14850x9830");
  Click(BA1::kMaximize);
  form_->OnSurfaceDown(At(0, 300));
  form_->OnSurfaceMove(At(410, 22, true));
  EXPECT_FALSE(platform_.LastSystemSize(Window()).has_value()) << "maximised: no size, no move";
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
  Click(BA1::kMaximize);

  form_->OnSurfaceMove(At(999, 300));
  EXPECT_EQ(Window().Pointer(), PointerShape::SizeWestEast);
  form_->OnSurfaceDown(At(999, 300));
  EXPECT_EQ(platform_.LastSystemSize(Window()), HitCode::Right);
  Resize(1100, 600);  // the system's size loop
  Resize(1200, 600);
  // The window manager takes the release: the window sees no button going up.
  headless::AsHeadless(Window()).EndSystemSize();
  Wait(400ms);
  EXPECT_EQ(StoredSize(), "18000x9000");
  Click(BA1::kMaximize);
  Click(BA1::kMaximize);
  Resize(1300, 700);  // the window manager's own doing
  Wait(400ms);
  EXPECT_EQ(StoredSize(), "18000x9000");
}

TEST_F(MainWindowTest, PortalCoverLiftsOnLoadAndShowsTheErrorWithRetry) {
  EXPECT_FALSE(form_->Pic1->Visible());
  form_->Web1->onDownloadComplete();
  EXPECT_EQ(Shown({form_->Pic1, form_->wait}), "10");
  form_->Web1->onNavigateError("http://elsewhere/x");
  EXPECT_TRUE(form_->Pic1->Visible());
  form_->Web1->onNavigateError("http://server/box/");
  EXPECT_EQ(Shown({form_->Pic1, form_->wait}), "01");
  form_->Web1->onDownloadComplete();
  EXPECT_FALSE(form_->Pic1->Visible()) << "a failed portal stays covered until retried";
  form_->jia_Click();
  form_->Web1->onDownloadComplete();
  EXPECT_TRUE(form_->Pic1->Visible());
}

// The scrolling ticker of the status strip.
class TickerTest : public MainWindowTest {
 protected:
  void LoadTicker(const std::string& list) {
    AnswerNextRequest(list);
    form_->gun_ad();
    ASSERT_EQ(platform_.Http().RequestedUrls().back(), "http://server/box/lib/gun.txt");
  }
  // The items on show, "caption@top " each.
  std::string Items() {
    std::string shown;
    for (Label* item : form_->La) {
      if (item->Visible()) {
        shown += item->Caption() + "@" + std::to_string(item->Geometry().y) + " ";
      }
    }
    return shown;
  }
  void PointAt(int index) { form_->La[index]->onMouseMove({MouseButton::Left, false, 1, 1}); }
  bool Underlined(int index) { return form_->La[index]->GetFont().underline; }
};

// Each item climbs 12 pixels in six 50 ms steps, rests 5.1 s on the line and gives way to the
// next, which shows one step later; items without "||" and the empty part after a trailing "$$$"
// are dropped.
TEST_F(TickerTest, ItemsClimbRestAndCycle) {
  LoadTicker("A||http://site/a.html$$$no link here$$$B||*$$$");
  // The time that passes, then the items on show.
  const std::pair<std::chrono::milliseconds, const char*> timeline[] = {
      {0ms, "A@20 "},  {150ms, "A@14 "}, {150ms, "A@8 "}, {5099ms, "A@8 "}, {1ms, ""},
      {50ms, "B@18 "}, {250ms, "B@8 "},  {5100ms, ""},    {50ms, "A@18 "}};
  for (auto [wait, items] : timeline) {
    Wait(wait);
    EXPECT_EQ(Items(), items) << "after " << wait.count() << " ms";
  }
}

// The pointer holds a linked item underlined for as long as it stays; over the bare panel the
// item goes on after the rest under way. A click opens only a web address, and then stops the
// hold until the pointer has crossed the bare panel.
TEST_F(TickerTest, PointerHoldsAndClickOpensOnlyWebAddresses) {
  LoadTicker("A||http://site/a.html||ignored$$$B||*$$$C||file:///usr/bin/xterm$$$D||");
  Wait(300ms);
  PointAt(0);
  EXPECT_TRUE(Underlined(0));
  Wait(60s);
  EXPECT_EQ(Items(), "A@8 ");
  form_->gunp->onMouseMove({});
  EXPECT_FALSE(Underlined(0));
  Wait(5100ms);
  EXPECT_EQ(Items(), "B@8 ");

  form_->La[0]->onClick();
  PointAt(0);
  EXPECT_FALSE(Underlined(0)) << "after a click, pointing underlines nothing";
  form_->gunp->onMouseMove({});
  for (int plain : {1, 2, 3}) {
    PointAt(plain);
    EXPECT_FALSE(Underlined(plain)) << form_->La[plain]->Caption();
    form_->La[plain]->onClick();
    form_->gunp->onMouseMove({});
  }
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), std::vector<std::string>{"http://site/a.html"})
      << "no target but a web address reaches the desktop";
}

// One item slides from top 10 into place in a single step and stays, with the timer off; a long
// list is cut to its first 51 items; a list without "||" loads nothing.
TEST_F(TickerTest, SingleItemLongListAndEmptyList) {
  LoadTicker("no items");
  EXPECT_FALSE(form_->Timerg->Enabled());
  EXPECT_EQ(form_->La.size(), 1u);

  LoadTicker("Only||http://site/");
  EXPECT_EQ(form_->La0->Geometry().Origin(), (Point{0, 10}));
  Wait(50ms);
  EXPECT_EQ(Items(), "Only@8 ");
  EXPECT_FALSE(form_->Timerg->Enabled());
  Wait(60s);
  EXPECT_EQ(Items(), "Only@8 ");

  std::string list;
  for (int item = 0; item < 60; ++item) list += "item " + std::to_string(item) + "||*$$$";
  LoadTicker(list);
  EXPECT_EQ(form_->La.back()->Caption(), "item 50");
}

// A link the user follows in a view; true when the router took it.
bool Follow(WebView* view, const std::string& url) {
  bool cancel = false;
  view->onBeforeNavigate2(url, cancel);
  return cancel;
}

TEST_F(MainWindowTest, PlayLinkAsksTheServerAndFollowsThePlayerLinkItMakesOrShowsTheBalloon) {
  auto request = [this] { return platform_.Http().RequestedUrls().back(); };
  AnswerNextRequest("0");
  EXPECT_TRUE(Follow(form_->Web1, "kavovod://abc-a-b-T"));
  EXPECT_EQ(request(), "http://server/box/h.asp?id=0&v=a&v1=b");
  EXPECT_EQ(balloons_, std::vector<std::string>{"读取数据出错，请返回重试！"});
  EXPECT_EQ(form_->CurrentPageTab, 8) << "the player page comes to the front first";
  EXPECT_TRUE(Follow(form_->Web1, "kavovod://5-0-0-T"));  // no answer in time
  EXPECT_EQ(balloons_.size(), 2u);

  AnswerNextRequest("x$y z$w");
  EXPECT_TRUE(Follow(form_->Web1, "kavovod://12-a-b-%u4E2D/"));
  EXPECT_EQ(request(), "http://server/box/h.asp?id=12&v=a&v1=b");
  EXPECT_EQ(form_->Web2->CurrentAddress(), "http://server/box/play.htm?w$$$y%20z");
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n") << "v is not a number, so nothing is recorded";
  EXPECT_EQ(balloons_.size(), 2u);

  // Field separators inside the pieces cannot shift what is recorded.
  AnswerNextRequest("x&&&999$name$m/101/0/1");
  EXPECT_TRUE(Follow(form_->Web1, "kavovod://101-1-2-T&&&7&&&8/"));
  EXPECT_TRUE(dir_.Read("date.dat").starts_with("101|T78|x999|name|1|2|0\r\n"));
  EXPECT_EQ(form_->Web2->CurrentAddress(), "http://server/box/play.htm?m/101/0/1$$$name");
}

TEST_F(MainWindowTest, PlayerLinkPlaysRecordsCompleteEntriesAndOpensTheInformationPage) {
  auto list = [this] { return dir_.Read("date.dat"); };
  EXPECT_TRUE(Follow(form_->Web1, "kaqvod://A&&&B&&&T&&&E&&&7&&&1&&&2"));
  EXPECT_EQ(form_->Web2->CurrentAddress(), "http://server/box/play.htm?A$$$B");
  EXPECT_EQ(form_->Web5->CurrentAddress(), "about:blank") << "no eighth field: no information page";
  EXPECT_TRUE(list().starts_with("7|T|E|B|1|2|0\r\n"));
  EXPECT_EQ(form_->CurrentListTab, 11);
  EXPECT_EQ(Shown({form_->Pic2, form_->m_ad}), "10");
  EXPECT_TRUE(Follow(form_->Web1, "kaqvod://A&&&C&&&T&&&E&&&7&&&1&&&2&&&0"));
  EXPECT_EQ(form_->Web5->CurrentAddress(), "http://server/box/pp.htm?7-1-2-T-0");

  EXPECT_TRUE(Follow(form_->Web1, "kaqvod://A&&&B&&&&&&E&&&8&&&1&&&2&&&0"));
  EXPECT_TRUE(Follow(form_->Web1, "kaqvod://A&&&B&&&T&&&E&&&9&&&x&&&2&&&0"));
  EXPECT_EQ(form_->Web2->CurrentAddress(), "http://server/box/play.htm?A$$$B");
  EXPECT_TRUE(list().starts_with("7|")) << "empty title and non-numeric v record nothing";
  EXPECT_TRUE(Follow(form_->Web1, "kaqvod://A&&&B&&&T&&&E&&&9"));
  EXPECT_TRUE(list().starts_with("9|T|E|B|0|0|0\r\n")) << "missing v and v1 count as 0";

  // The schemes are taken anywhere in the address, and the information view forwards them.
  EXPECT_TRUE(Follow(form_->Web1, "http://x/?u=kaqvod://A&&&B&&&T&&&E&&&4&&&1&&&2"));
  EXPECT_TRUE(list().starts_with("4|"));
  EXPECT_TRUE(Follow(form_->Web5, "http://x/?u=kaqvod://A&&&C&&&T&&&E&&&6&&&1&&&2"));
  EXPECT_EQ(form_->Web2->CurrentAddress(), "http://server/box/play.htm?http://x/?u=A$$$C");
  EXPECT_FALSE(Follow(form_->Web1, "http://server/box/index.html"));
  EXPECT_FALSE(Follow(form_->Web5, "http://server/box/pp.htm?1"));
}

TEST_F(MainWindowTest, TvLinksNeedTheExactSchemeAndEachPlayerClosesTheOther) {
  EXPECT_FALSE(Follow(form_->Web11, "KATVS://1"));
  EXPECT_FALSE(Follow(form_->Web11, "x-katvs://1"));
  form_->SetPlayerState(1);
  EXPECT_TRUE(Follow(form_->Web11, "katvs://ch=3&name=%u7EAA"));
  EXPECT_EQ(form_->Web10->CurrentAddress(), "http://server/box/tv/kavotv.htm?ch=3&name=%u7EAA");
  EXPECT_EQ(form_->PlayerState, 3);
  EXPECT_EQ(Shown({form_->gtv, form_->Pic2, form_->m_ad}), "101");
  EXPECT_EQ(form_->Web2->CurrentAddress(), "about:blank");

  form_->SetPlayerState(1);
  EXPECT_EQ(Shown({form_->gtv, form_->Pic2}), "01");
  EXPECT_EQ(form_->Web10->CurrentAddress(), "http://server/box/tv/ad.htm");
  form_->ggx_Click();
  EXPECT_EQ(form_->PlayerState, 0);
  EXPECT_FALSE(form_->Pic2->Visible());
}

TEST_F(MainWindowTest, OpenAndDeleteAddressPlayListLinesAndOnlyThem) {
  std::filesystem::remove(dir_ / "date.dat");
  EXPECT_TRUE(Follow(form_->Web3, "open://1/"));
  EXPECT_EQ(form_->Web5->CurrentAddress(), "about:blank") << "no list, nothing opens";

  std::string list = "1|a|e|b|0|0|0\r\n\r\n3|%u4E2D|e|b|2|5|0\r\n";
  dir_.Write("date.dat", list);
  EXPECT_TRUE(Follow(form_->Web3, "open://x/"));
  EXPECT_TRUE(Follow(form_->Web3, "delk://"));
  EXPECT_EQ(form_->Web5->CurrentAddress(), "about:blank");
  EXPECT_EQ(dir_.Read("date.dat"), list);

  EXPECT_TRUE(Follow(form_->Web3, "open://3/"));
  EXPECT_EQ(form_->Web5->CurrentAddress(), "http://server/box/pp.htm?3-2-5-%u4E2D-25");
  EXPECT_EQ(form_->CurrentListTab, 11);
  EXPECT_TRUE(Follow(form_->Web3, "open://99"));
  EXPECT_EQ(form_->Web5->CurrentAddress(), "http://server/box/pp.htm?----");
  EXPECT_TRUE(Follow(form_->Web3, "delk://3/"));
  EXPECT_EQ(dir_.Read("date.dat"), "1|a|e|b|0|0|0\r\n");
}

}  // namespace
}  // namespace lumora
