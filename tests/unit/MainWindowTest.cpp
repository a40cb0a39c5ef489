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

MouseEvent At(int x, int y, MouseButton button = MouseButton::Left, bool leftHeld = false) {
  return {button, leftHeld, x, y};
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock());
    form_ = std::make_unique<BA1>(platform_, ContentServer("http://server/box/", "http://site/"),
                                  dir_.Path());
    form_->onUnloaded = [this] { ++unloaded_; };
    form_->Load();
    platform_.Tray().Add({}, "Lumora");  // as the program's top adds it, to a running tray host
  }

  TopWindow& Window() { return form_->Window(); }
  void Resize(int width, int height) {
    Rect bounds = Window().Bounds();
    Window().SetBounds({bounds.x, bounds.y, width, height});
  }
  Rect Geometry(const Control* control) { return control->Geometry(); }
  std::string Setting(const char* key) { return IniRead(dir_ / "config.dll", "S_q", key, "0"); }
  void Click(int element) {
    form_->npc_MouseDown(element, At(1, 1));
    form_->npc_Click(element);
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  std::unique_ptr<BA1> form_;
  int unloaded_ = 0;
};

TEST_F(MainWindowTest, OpensAtTheStoredOrDefaultSizeCentred) {
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  EXPECT_TRUE(Window().IsShown());
  IniWrite(dir_ / "config.dll", "S_q", "h_w", "20000");
  IniWrite(dir_ / "config.dll", "S_q", "h_h", "12000");
  BA1 saved(platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path());
  saved.Load();
  EXPECT_EQ(saved.Window().ClientSize(), (Size{1333, 800}));
  IniWrite(dir_ / "config.dll", "S_q", "s_size", "1");
  BA1 standard(platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path());
  standard.Load();
  EXPECT_EQ(standard.Window().ClientSize(), (Size{990, 655}));

  // Damaged sizes stay in the file, but the window opens within the work area (0, 0, 1600, 960).
  IniWrite(dir_ / "config.dll", "S_q", "s_size", "2");
  IniWrite(dir_ / "config.dll", "S_q", "h_w", "-99999");
  IniWrite(dir_ / "config.dll", "S_q", "h_h", "2147483647");
  BA1 damaged(platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path());
  damaged.Load();
  EXPECT_EQ(damaged.Window().Bounds(), (Rect{350, 0, 900, 960}));
  EXPECT_EQ(Setting("h_w"), "-99999");
}

TEST_F(MainWindowTest, StartsEveryViewOnItsStartPage) {
  EXPECT_EQ(form_->Web1->CurrentAddress(), "http://server/box/");
  EXPECT_EQ(form_->Web2->CurrentAddress(), "about:blank");
  EXPECT_NE(form_->Web3->CurrentAddress().find("c.htm"), std::string::npos);
  std::string id = IniRead(dir_ / "config.dll", "User", "Name", "0");
  EXPECT_EQ(form_->Web6->CurrentAddress(), "http://server/box/tj/tj.asp?id=" + id);
  EXPECT_EQ(form_->Web8->CurrentAddress(), "http://server/box/js/ads/bo.html");
  EXPECT_EQ(form_->Web9->CurrentAddress(), "http://server/box/js/ads/tao.html");
  EXPECT_EQ(form_->Web10->CurrentAddress(), "http://server/box/tv/ad.htm");
  EXPECT_EQ(form_->Web11->CurrentAddress(), "http://server/box/tv/list.htm");
  EXPECT_EQ(form_->CurrentPageTab, 9);
  EXPECT_EQ(form_->CurrentListTab, 12);
  for (WebView* view : {form_->Web1, form_->Web2, form_->Web3, form_->Web5, form_->Web6,
                        form_->Web8, form_->Web9, form_->Web10, form_->Web11}) {
    headless::HeadlessWebView& engine = headless::AsHeadless(*view);
    engine.StartLoad();
    EXPECT_TRUE(engine.Silent()) << "every page loads silent, " << view->CurrentAddress();
  }
}

TEST_F(MainWindowTest, CaptionButtonsKeepTheirDistanceFromTheRightEdgeAtAnyWidth) {
  for (int width : {900, 1000, 1377}) {
    Resize(width, 600);
    int expected[][2] = {{BA1::kClose, 32},  {BA1::kMaximize, 54}, {BA1::kMinimize, 76},
                         {BA1::kOnTop, 100}, {BA1::kMenu, 160},    {BA1::kCompact, 182}};
    for (auto [element, fromRight] : expected) {
      EXPECT_EQ(Geometry(form_->npc[element]).x, width - fromRight) << element << " @" << width;
      EXPECT_EQ(Geometry(form_->npc[element]).y, 7);
    }
  }
  EXPECT_EQ(Geometry(form_->npc[BA1::kShoppingTab]), (Rect{224, 8, 68, 28}));
}

TEST_F(MainWindowTest, PagesAndStatusStripFollowTheWindowSize) {
  Resize(1000, 600);
  EXPECT_EQ(Geometry(form_->zz), (Rect{7, 41, 986, 523}));
  EXPECT_EQ(Geometry(form_->gunp), (Rect{690, 567, 300, 30}));
  EXPECT_EQ(Geometry(form_->ni_name).Origin(), (Point{12, 575}));
  EXPECT_EQ(Geometry(form_->Web1), (Rect{-2, -2, 990, 527}));
  EXPECT_EQ(Geometry(form_->Web9), (Rect{-2, -2, 990, 527}));
}

TEST_F(MainWindowTest, SideBarOpenAndClosed) {
  Resize(1000, 600);
  EXPECT_EQ(Geometry(form_->l2), (Rect{784, 0, 202, 523}));
  EXPECT_EQ(Geometry(form_->L1), (Rect{0, 0, 784, 523}));
  EXPECT_EQ(Geometry(form_->Pic3), (Rect{0, 28, 202, 470}));
  EXPECT_EQ(Geometry(form_->npc[BA1::kMainSideBarHandle]), (Rect{784, 241, 7, 40}));
  Bitmap& arrow = form_->npc[BA1::kMainSideBarHandle]->Surface();
  EXPECT_EQ(arrow.PixelAt({3, 20}), form_->ppt[11].PixelAt({3, 20}));
  Click(BA1::kMainSideBarHandle);
  EXPECT_EQ(form_->npc[BA1::kMainSideBarHandle]->Surface().PixelAt({3, 20}),
            form_->ppt[11].PixelAt({10, 20}));
  EXPECT_EQ(form_->npc[BA1::kMainSideBarHandle]->Tooltip(), "显示侧栏");
  EXPECT_FALSE(form_->l2->Visible());
  EXPECT_EQ(Geometry(form_->L1).width, 986);
  EXPECT_EQ(Geometry(form_->Pic2).width, 784 + 195 + 7);
  EXPECT_EQ(Geometry(form_->npc[BA1::kMainSideBarHandle]), (Rect{979, 241, 7, 40}));
  EXPECT_TRUE(form_->tvright->Visible()) << "the TV side bar is independent";
  Click(BA1::kMainSideBarHandle);
  EXPECT_TRUE(form_->l2->Visible());
  EXPECT_EQ(Geometry(form_->L1).width, 784);
}

TEST_F(MainWindowTest, TabsSwitchPagesAndListPanels) {
  Click(BA1::kPlayerTab);
  EXPECT_TRUE(form_->zz->Visible());
  EXPECT_FALSE(form_->zzp->Visible());
  EXPECT_EQ(form_->CurrentPageTab, 8);
  Click(BA1::kNowPlayingTab);
  EXPECT_TRUE(form_->Pic5->Visible());
  EXPECT_FALSE(form_->Pic3->Visible());
  Click(BA1::kHistoryTab);
  EXPECT_TRUE(form_->Pic3->Visible());
  EXPECT_FALSE(form_->Pic5->Visible());
  Click(BA1::kTvTab);
  EXPECT_TRUE(form_->tv->Visible());
  EXPECT_FALSE(form_->zz->Visible());
}

TEST_F(MainWindowTest, TooNarrowWindowSnapsToTheMinimumUnlessMaximised) {
  Resize(800, 400);
  EXPECT_EQ(Window().ClientSize(), (Size{900, 467}));
  platform_.Desktop().SetWorkArea({0, 0, 800, 440});
  BA1 small(platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path());
  small.Load();
  small.npc_Click(BA1::kMaximize);
  EXPECT_EQ(small.Window().Bounds(), (Rect{0, 0, 800, 440}));
}

TEST_F(MainWindowTest, MaximiseAndRestoreCentresTheWindow) {
  Window().SetBounds({10, 10, 1000, 600});
  Click(BA1::kMaximize);
  EXPECT_EQ(Window().State(), WindowState::Maximized);
  EXPECT_EQ(Window().Bounds(), (Rect{0, 0, 1600, 960}));
  EXPECT_EQ(form_->npc[BA1::kMaximize]->Tooltip(), "还原");
  Click(BA1::kMaximize);
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_EQ(Window().Bounds(), (Rect{300, 200, 1000, 600}));
  EXPECT_EQ(form_->npc[BA1::kMaximize]->Tooltip(), "最大化");
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesWithItsTooltip) {
  Click(BA1::kOnTop);
  EXPECT_TRUE(Window().AlwaysOnTop());
  EXPECT_EQ(form_->npc[BA1::kOnTop]->Tooltip(), "取消置顶");
  Click(BA1::kOnTop);
  EXPECT_FALSE(Window().AlwaysOnTop());
  EXPECT_EQ(form_->npc[BA1::kOnTop]->Tooltip(), "置顶");
}

TEST_F(MainWindowTest, CloseQuestionDismissedCancelsAndAnsweredYesHidesForGood) {
  std::string settings = dir_.Read("config.dll");
  platform_.Desktop().QueueAnswer(MessageAnswer::Dismissed);
  Click(BA1::kClose);
  ASSERT_EQ(platform_.Desktop().Messages().size(), 1u);
  EXPECT_EQ(platform_.Desktop().Messages()[0].text, "关闭 Lumora  最小化到托盘吗？");
  EXPECT_EQ(platform_.Desktop().Messages()[0].title, "提示：");
  EXPECT_TRUE(Window().IsShown());
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_EQ(dir_.Read("config.dll"), settings) << "nothing stored, so it asks again";
  EXPECT_EQ(unloaded_, 0);

  platform_.Desktop().QueueAnswer(MessageAnswer::Yes);
  Click(BA1::kClose);
  ASSERT_EQ(platform_.Desktop().Messages().size(), 2u);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(Setting("ts"), "1");
  EXPECT_EQ(Setting("quit"), "2");
  Window().Show();
  Click(BA1::kClose);
  EXPECT_EQ(platform_.Desktop().Messages().size(), 2u);
  EXPECT_FALSE(Window().IsShown());
  EXPECT_EQ(unloaded_, 0);
}

TEST_F(MainWindowTest, CloseAnsweredNoQuitsNowAndLater) {
  platform_.Desktop().QueueAnswer(MessageAnswer::No);
  Click(BA1::kClose);
  EXPECT_EQ(unloaded_, 1);
  EXPECT_EQ(Setting("ts"), "1");
  EXPECT_EQ(Setting("quit"), "1");
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
  for (WebView* view : {form_->Web1, form_->Web2, form_->Web3, form_->Web5, form_->Web6,
                        form_->Web8, form_->Web9, form_->Web10, form_->Web11}) {
    view->onNewWindow2("https://example.com/goods/1");
  }
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
  EXPECT_EQ(Geometry(form_->P1).Origin(), (Point{924 - 5, 7 + 21 + 3}));
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
  EXPECT_EQ(Geometry(form_->zz), (Rect{2, 20, 389, 297}));
  EXPECT_EQ(Geometry(form_->Web2), (Rect{-2, -2, 393, 301}));
  EXPECT_EQ(Geometry(form_->jbi).Origin(), (Point{368, 2}));
  EXPECT_TRUE(form_->jbi->Visible());
  EXPECT_FALSE(form_->npc[BA1::kClose]->Visible());
  EXPECT_FALSE(form_->l2->Visible());
  Resize(100, 100);
  EXPECT_EQ(Window().ClientSize(), (Size{273, 200}));

  form_->jbi_Click();
  EXPECT_EQ(form_->CompactMode, 0);
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  EXPECT_TRUE(form_->npc[BA1::kClose]->Visible());
  EXPECT_FALSE(form_->npc[BA1::kOpen]->Visible());
  EXPECT_TRUE(form_->l2->Visible());
  EXPECT_EQ(Setting("h_w"), "14850") << "compact sizes are never stored";
}

TEST(FrameZoneTest, BandIsThreePixelsWideWithCornersFirst) {
  Size client{1000, 600};
  EXPECT_EQ(ZoneAt({3, 300}, client), FrameZone::Left);
  EXPECT_EQ(ZoneAt({4, 300}, client), FrameZone::Interior);
  EXPECT_EQ(ZoneAt({4, 4}, client), FrameZone::Interior);
  EXPECT_EQ(ZoneAt({3, 3}, client), FrameZone::TopLeft);
  EXPECT_EQ(ZoneAt({0, 597}, client), FrameZone::BottomLeft);
  EXPECT_EQ(ZoneAt({997, 0}, client), FrameZone::TopRight);
  EXPECT_EQ(ZoneAt({996, 3}, client), FrameZone::Top);
  EXPECT_EQ(ZoneAt({996, 596}, client), FrameZone::Interior);
  EXPECT_EQ(ZoneAt({500, 597}, client), FrameZone::Bottom);
  EXPECT_EQ(ZoneAt({1000, 600}, client), FrameZone::BottomRight);
  EXPECT_EQ(HitCodeFor(FrameZone::TopRight), HitCode::TopRight);
  EXPECT_EQ(static_cast<int>(HitCodeFor(FrameZone::BottomLeft)), 16);
  EXPECT_EQ(PointerFor(FrameZone::TopRight), PointerShape::SizeNeSw);
  EXPECT_EQ(PointerFor(FrameZone::BottomRight), PointerShape::SizeNwSe);
  EXPECT_EQ(PointerFor(FrameZone::Interior), PointerShape::Arrow);
}

TEST_F(MainWindowTest, EdgeResizeStoresTheSizeItMadeAndNoLaterOne) {
  Resize(1000, 600);
  form_->OnSurfaceMove(At(999, 300));
  EXPECT_EQ(Window().Pointer(), PointerShape::SizeWestEast);
  form_->OnSurfaceDown(At(999, 300));
  ASSERT_TRUE(platform_.LastSystemSize(Window()).has_value());
  EXPECT_EQ(*platform_.LastSystemSize(Window()), HitCode::Right);
  Resize(1100, 600);  // the system's size loop
  Resize(1200, 600);
  // The window manager takes the release: the window sees no button going up.
  headless::AsHeadless(Window()).EndSystemSize();
  platform_.Time().Advance(milliseconds(400));
  EXPECT_EQ(Setting("h_w"), "18000");
  EXPECT_EQ(Setting("h_h"), "9000");

  Click(BA1::kMaximize);
  Click(BA1::kMaximize);
  Resize(1300, 700);  // the window manager's own doing
  platform_.Time().Advance(milliseconds(400));
  EXPECT_EQ(Setting("h_w"), "18000");
  EXPECT_EQ(Setting("h_h"), "9000");
}

TEST_F(MainWindowTest, DragMovesWithoutStoringAndMaximisedWindowsStayPut) {
  Resize(1000, 600);
  form_->OnSurfaceDown(At(400, 20));
  EXPECT_FALSE(platform_.LastSystemSize(Window()).has_value());
  form_->OnSurfaceMove(At(410, 22, MouseButton::Left, true));
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
  Window().SetBounds({50, 60, 1000, 600});
  platform_.Time().Advance(milliseconds(400));
  EXPECT_EQ(Setting("h_w"), "14850");

  Click(BA1::kMaximize);
  form_->OnSurfaceDown(At(0, 300));
  form_->OnSurfaceMove(At(410, 22, MouseButton::Left, true));
  EXPECT_FALSE(platform_.LastSystemSize(Window()).has_value());
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
}

TEST_F(MainWindowTest, FrameIsPaintedFromTheSkinSheetAndRounded) {
  Resize(1000, 600);
  const Bitmap& frame = form_->ppt[0];
  Bitmap& surface = Window().Surface();
  EXPECT_EQ(surface.PixelAt({0, 0}), frame.PixelAt({0, 0}));
  EXPECT_EQ(surface.PixelAt({39, 49}), frame.PixelAt({39, 49}));
  EXPECT_EQ(surface.PixelAt({500, 10}), frame.PixelAt({45, 10}));
  EXPECT_EQ(surface.PixelAt({999, 0}), frame.PixelAt({79, 0}));
  EXPECT_EQ(surface.PixelAt({971, 20}), frame.PixelAt({51, 20}));
  EXPECT_EQ(surface.PixelAt({2, 300}), frame.PixelAt({2, 55}));
  EXPECT_EQ(surface.PixelAt({998, 300}), frame.PixelAt({78, 55}));
  EXPECT_EQ(surface.PixelAt({500, 599}), frame.PixelAt({40, 99}));
  EXPECT_EQ(surface.PixelAt({0, 599}), frame.PixelAt({0, 99}));
  EXPECT_EQ(Window().Region(), (RoundedRegion{{1001, 601}, 4}));
}

TEST_F(MainWindowTest, DoubleScaleScreenGetsTheDoubleSheetsWithTheSameLayout) {
  platform_.Desktop().SetScaleFactor(2);
  BA1 scaled(platform_, ContentServer("http://server/box/", "http://site/"), dir_.Path());
  scaled.Load();
  for (size_t i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(scaled.ppt[i].Scale(), 2);
    EXPECT_EQ(scaled.ppt[i].Extent(), form_->ppt[i].Extent());
  }
  for (size_t i = 0; i < form_->npc.size(); ++i) {
    EXPECT_EQ(Geometry(scaled.npc[i]), Geometry(form_->npc[i])) << i;
  }
  for (auto page : {&BA1::zz, &BA1::zzp, &BA1::tv, &BA1::ying, &BA1::Pic1, &BA1::Pic3}) {
    EXPECT_EQ(Geometry(scaled.*page), Geometry(form_.get()->*page));
  }
  EXPECT_EQ(scaled.w3.Scale(), 2);
  EXPECT_EQ(Geometry(scaled.jia), Geometry(form_->jia));
  EXPECT_EQ(scaled.Window().Bounds(), Window().Bounds());
}

TEST_F(MainWindowTest, PortalCoverLiftsOnLoadAndShowsTheErrorWithRetry) {
  EXPECT_FALSE(form_->Pic1->Visible());
  form_->Web1->onDownloadComplete();
  EXPECT_TRUE(form_->Pic1->Visible());
  EXPECT_FALSE(form_->wait->Visible());
  form_->Web1->onNavigateError("http://elsewhere/x");
  EXPECT_TRUE(form_->Pic1->Visible());
  form_->Web1->onNavigateError("http://server/box/");
  EXPECT_FALSE(form_->Pic1->Visible());
  EXPECT_TRUE(form_->wait->Visible());
  form_->Web1->onDownloadComplete();
  EXPECT_FALSE(form_->Pic1->Visible()) << "a failed portal stays covered until retried";
  form_->jia_Click();
  EXPECT_EQ(form_->HomeLoadFailed, 0);
  form_->Web1->onDownloadComplete();
  EXPECT_TRUE(form_->Pic1->Visible());
}

TEST_F(MainWindowTest, HandOverRestoresAMinimisedOrHiddenWindow) {
  Window().SetState(WindowState::Minimized);
  form_->OnHandOver();
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_TRUE(Window().IsShown());
  Window().Hide();
  form_->OnHandOver();
  EXPECT_TRUE(Window().IsShown());
}

}  // namespace
}  // namespace lumora
