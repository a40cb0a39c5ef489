#include <gtest/gtest.h>

#include "app/Startup.h"
#include "core/Settings.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "shell/BA1.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;

MouseEvent At(int x, int y, bool leftHeld = false) {
  return {MouseButton::Left, leftHeld, x, y};
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock());
    form_ = Open();
    form_->onUnloaded = [this] { ++unloaded_; };
    platform_.Tray().Add({}, "Lumora");  // as the program's top adds it, to a running tray host
  }

  std::unique_ptr<BA1> Open() {
    auto form = std::make_unique<BA1>(
        platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path());
    form->Load();
    return form;
  }
  TopWindow& Window() { return form_->Window(); }
  void Resize(int width, int height) {
    Rect bounds = Window().Bounds();
    Window().SetBounds({bounds.x, bounds.y, width, height});
  }
  void Store(const char* key, const char* value) {
    IniWrite(dir_ / "config.dll", "S_q", key, value);
  }
  std::string StoredSize() {
    return IniRead(dir_ / "config.dll", "S_q", "h_w", "0") + "x" +
           IniRead(dir_ / "config.dll", "S_q", "h_h", "0");
  }
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
  // "x,y,width,height " for each control.
  static std::string Rects(std::initializer_list<const Control*> controls) {
    std::string rects;
    for (const Control* control : controls) {
      Rect r = control->Geometry();
      for (int value : {r.x, r.y, r.width}) rects += std::to_string(value) + ",";
      rects += std::to_string(r.height) + " ";
    }
    return rects;
  }
  std::vector<WebView*> Views() {
    return {form_->Web1, form_->Web2, form_->Web3,  form_->Web5, form_->Web6,
            form_->Web8, form_->Web9, form_->Web10, form_->Web11};
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  std::unique_ptr<BA1> form_;
  int unloaded_ = 0;
};

TEST_F(MainWindowTest, OpensAtTheStoredOrDefaultSizeCentredWithinTheWorkArea) {
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  Store("h_w", "20000");
  Store("h_h", "12000");
  EXPECT_EQ(Open()->Window().ClientSize(), (Size{1333, 800}));
  Store("s_size", "1");
  EXPECT_EQ(Open()->Window().ClientSize(), (Size{990, 655}));

  // Damaged sizes stay in the file, but the window opens within the work area (0, 0, 1600, 960).
  Store("s_size", "2");
  Store("h_w", "-99999");
  Store("h_h", "2147483647");
  std::unique_ptr<BA1> damaged = Open();
  EXPECT_EQ(damaged->Window().Bounds(), (Rect{350, 0, 900, 960}));
  EXPECT_EQ(StoredSize(), "-99999x2147483647");
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
  EXPECT_EQ(form_->CurrentPageTab, 9);
  EXPECT_EQ(form_->CurrentListTab, 12);
}

TEST_F(MainWindowTest, LayoutFollowsTheWindowSizeAndTheSideBarHandle) {
  for (int width : {900, 1000, 1377}) {
    Resize(width, 600);
    int expected[][2] = {{BA1::kClose, 32},  {BA1::kMaximize, 54}, {BA1::kMinimize, 76},
                         {BA1::kOnTop, 100}, {BA1::kMenu, 160},    {BA1::kCompact, 182}};
    for (auto [element, fromRight] : expected) {
      EXPECT_EQ(form_->npc[element]->Geometry().Origin(), (Point{width - fromRight, 7}))
          << element << " @" << width;
    }
  }
  Resize(1000, 600);
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

TEST_F(MainWindowTest, TabsSwitchPagesAndListPanels) {
  Click(BA1::kPlayerTab);
  EXPECT_EQ(Shown({form_->zz, form_->zzp}), "10");
  EXPECT_EQ(form_->CurrentPageTab, 8);
  Click(BA1::kNowPlayingTab);
  EXPECT_EQ(Shown({form_->Pic5, form_->Pic3}), "10");
  Click(BA1::kHistoryTab);
  EXPECT_EQ(Shown({form_->Pic5, form_->Pic3}), "01");
  Click(BA1::kTvTab);
  EXPECT_EQ(Shown({form_->tv, form_->zz}), "10");
}

TEST_F(MainWindowTest, TooNarrowWindowSnapsToTheMinimumUnlessMaximised) {
  Resize(800, 400);
  EXPECT_EQ(Window().ClientSize(), (Size{900, 467}));
  platform_.Desktop().SetWorkArea({0, 0, 800, 440});
  std::unique_ptr<BA1> small = Open();
  small->npc_Click(BA1::kMaximize);
  EXPECT_EQ(small->Window().Bounds(), (Rect{0, 0, 800, 440}));
}

TEST_F(MainWindowTest, MaximiseAndOnTopToggleWithTheirTooltipsAndRestoreCentres) {
  auto tooltips = [this] {
    return std::vector<std::string>{form_->npc[BA1::kMaximize]->Tooltip(),
                                    form_->npc[BA1::kOnTop]->Tooltip()};
  };
  Window().SetBounds({10, 10, 1000, 600});
  Click(BA1::kMaximize);
  Click(BA1::kOnTop);
  EXPECT_EQ(Window().State(), WindowState::Maximized);
  EXPECT_EQ(Window().Bounds(), (Rect{0, 0, 1600, 960}));
  EXPECT_TRUE(Window().AlwaysOnTop());
  EXPECT_EQ(tooltips(), (std::vector<std::string>{"还原", "取消置顶"}));
  Click(BA1::kMaximize);
  Click(BA1::kOnTop);
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_EQ(Window().Bounds(), (Rect{300, 200, 1000, 600}));
  EXPECT_FALSE(Window().AlwaysOnTop());
  EXPECT_EQ(tooltips(), (std::vector<std::string>{"最大化", "置顶"}));
}

TEST_F(MainWindowTest, CloseQuestionDismissedCancelsAndAnsweredYesHidesForGood) {
  const std::vector<headless::ShownMessage>& messages = platform_.Desktop().Messages();
  std::string settings = dir_.Read("config.dll");
  platform_.Desktop().QueueAnswer(MessageAnswer::Dismissed);
  Click(BA1::kClose);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "关闭 Lumora  最小化到托盘吗？");
  EXPECT_EQ(messages[0].title, "提示：");
  EXPECT_EQ(dir_.Read("config.dll"), settings) << "nothing stored, so it asks again";

  platform_.Desktop().QueueAnswer(MessageAnswer::Yes);
  Click(BA1::kClose);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(IniRead(dir_ / "config.dll", "S_q", "ts", "0"), "1");
  EXPECT_EQ(IniRead(dir_ / "config.dll", "S_q", "quit", "0"), "2");
  Window().Show();
  Click(BA1::kClose);
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(unloaded_, 0);
}

TEST_F(MainWindowTest, CloseAnsweredNoQuitsNowAndLater) {
  platform_.Desktop().QueueAnswer(MessageAnswer::No);
  Click(BA1::kClose);
  EXPECT_EQ(unloaded_, 1);
  EXPECT_EQ(IniRead(dir_ / "config.dll", "S_q", "ts", "0"), "1");
  EXPECT_EQ(IniRead(dir_ / "config.dll", "S_q", "quit", "0"), "1");
}

TEST_F(MainWindowTest, RightClicksCommandNothingAndSwallowNoLaterCommand) {
  headless::PressAndRelease(*form_->npc[BA1::kOnTop], MouseButton::Right);
  EXPECT_FALSE(Window().AlwaysOnTop());
  form_->ShowPlayerPage();  // as the link router does
  EXPECT_EQ(form_->CurrentPageTab, 8);

  headless::DoubleClick(Window(), MouseButton::Right, {400, 20});
  EXPECT_EQ(Window().State(), WindowState::Normal);
  platform_.Desktop().QueueAnswer(MessageAnswer::Dismissed);
  Window().onCloseRequest();  // the window manager's close command (Alt+F4)
  EXPECT_EQ(platform_.Desktop().Messages().size(), 1u);

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
  expected.push_back("HTTP://127.0.0.1/");
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), expected);
  EXPECT_EQ(form_->Web9->CurrentAddress(), "http://server/box/js/ads/tao.html");
}

TEST_F(MainWindowTest, HoverPaintsTheHoverCellAndShowsTheTooltipUnderTheButton) {
  Resize(1000, 600);
  Picture& minimize = *form_->npc[BA1::kMinimize];
  form_->npc_MouseMove(BA1::kMinimize, At(5, 5));
  EXPECT_EQ(minimize.Surface().PixelAt({10, 10}), form_->ppt[2].PixelAt({70, 10}));
  EXPECT_TRUE(form_->P1->Visible());
  EXPECT_EQ(form_->bo_tip->Caption(), "最小化");
  EXPECT_EQ(form_->P1->Geometry().Origin(), (Point{924 - 5, 7 + 21 + 3}));
  form_->npc_MouseMove(BA1::kMinimize, At(25, 5));
  EXPECT_EQ(minimize.Surface().PixelAt({10, 10}), form_->ppt[1].PixelAt({70, 10}));
  EXPECT_FALSE(form_->P1->Visible());
  form_->npc_MouseMove(BA1::kMenu, At(5, 5));
  EXPECT_FALSE(form_->P1->Visible()) << "the menu button has no tooltip";
}

TEST_F(MainWindowTest, CompactModeNeedsAPlayerAndRestoresTheStoredSize) {
  Click(BA1::kCompact);
  EXPECT_EQ(form_->CompactMode, 0);
  EXPECT_EQ(Window().ClientSize(), (Size{990, 655}));

  form_->PlayerState = 1;
  Click(BA1::kCompact);
  EXPECT_EQ(form_->CompactMode, 1);
  EXPECT_EQ(form_->CurrentPageTab, 8);
  EXPECT_EQ(Window().ClientSize(), (Size{393, 320}));
  EXPECT_EQ(Rects({form_->zz, form_->Web2, form_->jbi}), "2,20,389,297 -2,-2,393,301 368,2,15,14 ");
  EXPECT_EQ(Shown({form_->jbi, form_->npc[BA1::kClose], form_->l2}), "100");
  Resize(100, 100);
  EXPECT_EQ(Window().ClientSize(), (Size{273, 200}));

  form_->jbi_Click();
  EXPECT_EQ(form_->CompactMode, 0);
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
  EXPECT_EQ(static_cast<int>(HitCodeFor(FrameZone::BottomLeft)), 16);
  EXPECT_EQ(PointerFor(FrameZone::TopRight), PointerShape::SizeNeSw);
  EXPECT_EQ(PointerFor(FrameZone::BottomRight), PointerShape::SizeNwSe);
}

TEST_F(MainWindowTest, DragsStoreNothingAndEdgeResizeStoresTheSizeItMadeAndNoLaterOne) {
  Resize(1000, 600);
  form_->OnSurfaceDown(At(400, 20));
  form_->OnSurfaceMove(At(410, 22, true));
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
  Window().SetBounds({50, 60, 1000, 600});
  platform_.Time().Advance(milliseconds(400));
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
  platform_.Time().Advance(milliseconds(400));
  EXPECT_EQ(StoredSize(), "18000x9000");
  Click(BA1::kMaximize);
  Click(BA1::kMaximize);
  Resize(1300, 700);  // the window manager's own doing
  platform_.Time().Advance(milliseconds(400));
  EXPECT_EQ(StoredSize(), "18000x9000");
}

TEST_F(MainWindowTest, FrameIsPaintedFromTheSkinSheetAndRounded) {
  Resize(1000, 600);
  // Window pixel, then the skin sheet's pixel it shows.
  const Point pairs[][2] = {{{0, 0}, {0, 0}},       {{39, 49}, {39, 49}},   {{500, 10}, {45, 10}},
                            {{999, 0}, {79, 0}},    {{971, 20}, {51, 20}},  {{2, 300}, {2, 55}},
                            {{998, 300}, {78, 55}}, {{500, 599}, {40, 99}}, {{0, 599}, {0, 99}}};
  for (const auto& [at, sheet] : pairs) {
    EXPECT_EQ(Window().Surface().PixelAt(at), form_->ppt[0].PixelAt(sheet)) << at.x << "," << at.y;
  }
  EXPECT_EQ(Window().Region(), (RoundedRegion{{1001, 601}, 4}));
}

TEST_F(MainWindowTest, DoubleScaleScreenGetsTheDoubleSheetsWithTheSameLayout) {
  platform_.Desktop().SetScaleFactor(2);
  std::unique_ptr<BA1> scaled = Open();
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(scaled->ppt[i].Scale(), 2) << i;
    EXPECT_EQ(scaled->ppt[i].Extent(), form_->ppt[i].Extent()) << i;
  }
  for (size_t i = 0; i < form_->npc.size(); ++i) {
    EXPECT_EQ(scaled->npc[i]->Geometry(), form_->npc[i]->Geometry()) << i;
  }
  for (auto page : {&BA1::zz, &BA1::zzp, &BA1::tv, &BA1::ying, &BA1::Pic1, &BA1::Pic3}) {
    EXPECT_EQ((*scaled.*page)->Geometry(), (*form_.*page)->Geometry());
  }
  EXPECT_EQ(scaled->w3.Scale(), 2);
  EXPECT_EQ(scaled->jia->Geometry(), form_->jia->Geometry());
  EXPECT_EQ(scaled->Window().Bounds(), Window().Bounds());
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
  EXPECT_EQ(form_->HomeLoadFailed, 0);
  form_->Web1->onDownloadComplete();
  EXPECT_TRUE(form_->Pic1->Visible());
}

}  // namespace
}  // namespace lumora
