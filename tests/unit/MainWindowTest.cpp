#include <gtest/gtest.h>

#include <algorithm>

#include "app/Startup.h"
#include "content/LinkRouter.h"
#include "core/ServerFetch.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/Raise.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "shell/BA1.h"
#include "tests/support/HeadlessFinder.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

// The main window as the program's top makes it, with the link router attached; the user's
// input reaches it where a user would give it, found by place, tooltip or caption.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    platform_.Tray().Add({}, "Lumora");  // as the program's top adds it, to a running tray host
    router_.Attach();
  }

  std::unique_ptr<BA1> Open() {
    auto form = std::make_unique<BA1>(platform_, server_, dir_.Path());
    form->Load();
    form->PortalView().onDownloadComplete();  // the portal's document is in
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
  // The caption button with this tooltip.
  Control& Button(const std::string& tooltip) { return test::WithTooltip(Window(), tooltip); }
  void Click(const std::string& tooltip) { test::Click(Window(), Button(tooltip)); }
  // The page tabs in the caption: 0 portal, 1 player, 2 TV, 3 shopping.
  void ClickPageTab(int tab) { headless::ClickAt(Window(), {54 + 68 * tab, 22}); }
  bool Shown(const Control& control) { return test::Placed(Window(), control).seen; }
  Rect Place(const Control& control) { return test::Placed(Window(), control).place; }
  static std::string Text(Rect r) {
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + "," +
           std::to_string(r.height);
  }
  // "x,y,width,height " in window coordinates for each control.
  std::string Rects(std::initializer_list<const Control*> controls) {
    std::string rects;
    for (const Control* control : controls) rects += Text(Place(*control)) + " ";
    return rects;
  }
  WebView& View(size_t index) { return *form_->WebViews()[index]; }
  // The server answers the next request with this text, in GBK, after 20 ms.
  void AnswerNextRequest(const std::string& text, std::chrono::milliseconds after = 20ms) {
    size_t request = platform_.Http().RequestedUrls().size();
    platform_.Time().Post(after, [this, request, text] {
      platform_.Http().Answer(request, {true, 200, Utf8ToGbk(text)});
    });
  }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  ContentServer server_{"http://server/box/", "http://site/"};
  // The start-up files come first, as at a start of the program; "" when they could be made.
  std::string startupFailure_ =
      RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock());
  std::unique_ptr<BA1> form_ = Open();
  ServerFetch fetch_{platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock()};
  std::vector<std::string> balloons_;
  LinkRouter router_{*form_, fetch_, server_,
                     [this](const std::string& text) { balloons_.push_back(text); }};
};

// A link the user follows in a view; true when the router took it.
bool Follow(WebView& view, const std::string& url) {
  bool cancel = false;
  view.onBeforeNavigate2(url, cancel);
  return cancel;
}

TEST_F(MainWindowTest, OpensAtTheStoredOrDefaultSizeWithinTheMinimumAndTheWorkArea) {
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  Store({{"h_w", "20000"}, {"h_h", "12000"}});
  EXPECT_EQ(Open()->Window().ClientSize(), (Size{1333, 800}));
  Store({{"s_size", "1"}});
  EXPECT_EQ(Open()->Window().ClientSize(), (Size{990, 655}));

  // Damaged sizes stay in the file, but the window opens within the work area (0, 0, 1600, 960).
  Store({{"s_size", "2"}, {"h_w", "-99999"}, {"h_h", "2147483647"}});
  EXPECT_EQ(Open()->Window().Bounds(), (Rect{350, 0, 900, 960}));
  EXPECT_EQ(StoredSize(), "-99999x2147483647");

  Resize(800, 400);
  EXPECT_EQ(Window().ClientSize(), (Size{900, 467}));
  platform_.Desktop().SetWorkArea({0, 0, 800, 440});
  std::unique_ptr<BA1> small = Open();
  test::Click(small->Window(), test::WithTooltip(small->Window(), "最大化"));
  EXPECT_EQ(small->Window().Bounds(), (Rect{0, 0, 800, 440})) << "maximised below the minimum";
}

TEST_F(MainWindowTest, StartsThePortalFirstThenEveryViewSilentAndOpensNewWindowsWebAddressesOnly) {
  // The portal loads under its cover; the views behind it wait for its document, or at the
  // latest a second and a half. The player's blank page starts the engine before the window.
  for (bool documentArrives : {true, false}) {
    auto form = std::make_unique<BA1>(platform_, server_, dir_.Path());
    form->Load();
    auto started = [&form] {
      return static_cast<int>(std::ranges::count_if(
          form->WebViews(), [](WebView* view) { return !view->CurrentAddress().empty(); }));
    };
    ImageBox& cover = *test::ControlsOf<ImageBox>(form->Window()).at(0);
    auto seen = [&] { return std::pair(started(), test::Placed(form->Window(), cover).seen); };
    EXPECT_EQ(seen(), std::pair(2, true));
    if (documentArrives) form->PortalView().onDownloadComplete();
    if (!documentArrives) {
      Wait(1499ms);
      EXPECT_EQ(started(), 2);
      Wait(1ms);
    }
    EXPECT_EQ(seen(), std::pair(9, !documentArrives));
  }

  std::string id = IniRead(dir_ / "config.dll", "User", "Name", "0");
  std::vector<std::string> addresses;
  for (WebView* view : form_->WebViews()) {
    addresses.push_back(view->CurrentAddress());
    headless::AsHeadless(*view).StartLoad();
    EXPECT_TRUE(headless::AsHeadless(*view).Silent()) << view->CurrentAddress();
    view->onNewWindow2("https://example.com/goods/1");
  }
  EXPECT_EQ(addresses, (std::vector<std::string>{
                           "http://server/box/", "about:blank", (dir_ / "c.htm").string(),
                           "about:blank", "http://server/box/tj/tj.asp?id=" + id,
                           "http://server/box/js/ads/bo.html", "http://server/box/js/ads/tao.html",
                           "http://server/box/tv/list.htm", "http://server/box/tv/ad.htm"}));
  // New windows of every view open in the browser, through the address filter.
  form_->PortalView().onNewWindow2("HTTP://127.0.0.1/");
  std::vector<std::string> expected(9, "https://example.com/goods/1");
  expected.push_back("http://127.0.0.1/");  // handed on in normal form
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), expected);
  EXPECT_EQ(View(6).CurrentAddress(), "http://server/box/js/ads/tao.html");
}

TEST_F(MainWindowTest, LayoutAndFrameFollowTheWindowSizeTheScreenScaleAndTheSideBarHandle) {
  // A screen scaled by two gets the same layout (its double-size sheets: the GUI test).
  platform_.Desktop().SetScaleFactor(2);
  std::unique_ptr<BA1> scaled = Open();
  auto layout = [](BA1& form) {
    std::string rects = Text(form.Window().Bounds()) + " ";
    for (const auto& placed : test::AllControls(form.Window())) rects += Text(placed.place) + " ";
    return rects;
  };
  EXPECT_EQ(layout(*scaled), layout(*form_));

  // The caption buttons are laid out from the right edge one after the other: the row's two ends
  // stand for it.
  for (int width : {900, 1377, 1000}) {
    Resize(width, 600);
    EXPECT_EQ(Rects({&Button("关闭"), &Button("精简模式")}),
              Text({width - 32, 7, 20, 21}) + " " + Text({width - 182, 7, 20, 21}) + " ");
  }
  // Window pixel, then the skin sheet's pixel it shows: the corners as they are, the edges
  // stretched between them.
  const Point pairs[][2] = {{{0, 0}, {0, 0}},    {{500, 10}, {45, 10}},  {{999, 0}, {79, 0}},
                            {{2, 300}, {2, 55}}, {{998, 300}, {78, 55}}, {{500, 599}, {40, 99}}};
  for (const auto& [at, sheet] : pairs) {
    EXPECT_EQ(Window().Surface().PixelAt(at), form_->Skin()[SkinSheet::kFrame].PixelAt(sheet))
        << at.x << "," << at.y;
  }
  EXPECT_EQ(Window().Region(), (RoundedRegion{{1001, 601}, 4}));

  ClickPageTab(1);
  EXPECT_EQ(form_->CurrentPage(), Page::Player);
  // The side bar's list tabs, above its lists: now playing, then the history.
  Rect list = Place(form_->HistoryView());
  headless::ClickAt(Window(), {list.x + 32, list.y - 16});
  EXPECT_TRUE(Shown(form_->InformationView()) && !Shown(form_->HistoryView()));
  headless::ClickAt(Window(), {list.x + 112, list.y - 16});
  EXPECT_TRUE(!Shown(form_->InformationView()) && Shown(form_->HistoryView()));
  auto& handle = dynamic_cast<Picture&>(Button("关闭侧栏"));
  // One of each part: a page tab, a page's view, the ticker, the side bar's list, the player and
  // the handle between them; the version in the status strip.
  EXPECT_EQ(
      Rects({test::ControlAt(Window(), {258, 22}), &View(0), test::ControlAt(Window(), {695, 570}),
             &form_->HistoryView(), &form_->PlayerView(), &handle}),
      "224,8,68,28 5,39,990,527 690,567,300,30 789,67,206,474 5,39,788,527 791,282,7,40 ");
  EXPECT_TRUE(Shown(test::Captioned<Label>(Window(), "Lumora 9.0")));
  test::Click(Window(), handle);
  EXPECT_EQ(handle.Surface().PixelAt({3, 20}),
            form_->Skin()[SkinSheet::kSideBarHandles].PixelAt({10, 20}));
  EXPECT_EQ(handle.Tooltip(), "显示侧栏");
  EXPECT_FALSE(Shown(form_->HistoryView()));
  EXPECT_NO_THROW(Button("关闭侧栏")) << "the TV side bar is independent";
  EXPECT_EQ(Rects({&form_->PlayerView(), &handle}), "5,39,990,527 986,282,7,40 ");
  test::Click(Window(), handle);
  EXPECT_TRUE(Shown(form_->HistoryView()));
  EXPECT_EQ(Place(form_->PlayerView()).width, 788);
}

TEST_F(MainWindowTest, CaptionButtonsToggleAndHoverDoubleClicksMaximiseAndNoToTheCloseQuits) {
  Control& maximize = Button("最大化");
  Control& onTop = Button("置顶");
  // The window's place, "on top" when it is, then the two buttons' tooltips.
  auto state = [&] {
    return Text(Window().Bounds()) + (Window().AlwaysOnTop() ? " on top " : " ") +
           maximize.Tooltip() + "|" + onTop.Tooltip();
  };
  Window().SetBounds({10, 10, 1000, 600});
  test::Click(Window(), maximize);
  test::Click(Window(), onTop);
  EXPECT_EQ(Window().State(), WindowState::Maximized);
  EXPECT_EQ(state(), "0,0,1600,960 on top 还原|取消置顶");
  // The maximise button's accessible name follows it, and its action restores as a click does.
  headless::Activate(*test::Named(Window(), AccessibleRole::PushButton, "还原"));
  test::Click(Window(), onTop);
  EXPECT_EQ(Window().State(), WindowState::Normal);
  EXPECT_EQ(state(), "300,200,1000,600 最大化|置顶");
  // The window manager's own maximise and restore: the button shows and says what it does next.
  Window().SetState(WindowState::Maximized);
  EXPECT_EQ(maximize.Tooltip(), "还原");
  EXPECT_EQ(dynamic_cast<Picture&>(maximize).Surface().PixelAt({10, 10}),
            form_->Skin()[SkinSheet::kRestore].PixelAt({10, 10}));
  Window().SetState(WindowState::Normal);
  EXPECT_EQ(maximize.Tooltip(), "最大化");

  // Under the pointer a button shows its hover cell and its tooltip below it, until the platform
  // reports a move outside it.
  auto& minimize = dynamic_cast<Picture&>(Button("最小化"));
  headless::MoveAt(Window(), {924 + 5, 7 + 5});
  EXPECT_EQ(minimize.Surface().PixelAt({10, 10}),
            form_->Skin()[SkinSheet::kButtonsHover].PixelAt({70, 10}));
  Label& tip = test::Captioned<Label>(Window(), "最小化");
  EXPECT_TRUE(Shown(tip));
  EXPECT_EQ(Place(tip).Origin(), (Point{924 - 5 + 2, 7 + 21 + 3 + 2}));
  minimize.onMouseMove({MouseButton::Left, false, 25, 5});
  EXPECT_EQ(minimize.Surface().PixelAt({10, 10}),
            form_->Skin()[SkinSheet::kButtons].PixelAt({70, 10}));
  EXPECT_FALSE(Shown(tip));
  Point menu = Place(Button("菜单")).Origin();
  headless::MoveAt(Window(), {menu.x + 5, menu.y + 5});
  EXPECT_FALSE(Shown(tip)) << "the menu button has no tooltip";

  // Right clicks command nothing and swallow no later command.
  test::Click(Window(), onTop, MouseButton::Right);
  EXPECT_FALSE(Window().AlwaysOnTop());
  form_->ShowPlayerPage();  // as the link router does
  EXPECT_EQ(form_->CurrentPage(), Page::Player);
  headless::DoubleClick(Window(), MouseButton::Right, {400, 20});
  EXPECT_EQ(Window().State(), WindowState::Normal);
  ClickPageTab(2);
  headless::ClickAt(Window(), {190, 22}, MouseButton::Middle);
  headless::DoubleClick(Window(), MouseButton::Left, {400, 20});
  EXPECT_EQ(Window().State(), WindowState::Maximized);

  // The close question answered No quits and is stored, so that it is not asked again.
  // (Dismissed, it cancels, stores nothing and comes again; yes hides to the tray, is stored and
  // not asked again: the GUI tests escape and answer it, then close to a tray host, and the tray
  // icon test answers yes.)
  platform_.Desktop().QueueAnswer(MessageAnswer::No);
  Click("关闭");
  ASSERT_EQ(platform_.Desktop().Messages().size(), 1u);
  const headless::ShownMessage& question = platform_.Desktop().Messages()[0];
  EXPECT_EQ(question.title + question.text, "提示：关闭 Lumora  最小化到托盘吗？");
  EXPECT_TRUE(form_->Unloaded());
  EXPECT_EQ(Stored("ts") + Stored("quit"), "11");
}

// Ctrl+1..4 show the pages, F5 reloads the shown page's view, Shift+F10 and the Menu key ask for
// the program menu (the tray icon test sees it under the menu button), Ctrl+Q quits; other
// modifiers make no shortcut. A web page's text field keeps the keys: the backend's web view test.
TEST_F(MainWindowTest, ShortcutsShowPagesReloadOpenTheMenuAndQuit) {
  int menus = 0, quits = 0;
  form_->onMenuRequested = [&](Point) { ++menus; };
  form_->onQuit = [&] { ++quits; };
  auto& player = static_cast<headless::HeadlessWebView&>(form_->PlayerView());
  // The key, with Ctrl, with Shift, whether it was a shortcut; then the page shown, the player
  // view's reloads, the menus asked for and the quits.
  const std::tuple<Key, bool, bool, bool, std::tuple<Page, int, int, int>> presses[] = {
      {Key::Digit2, true, false, true, {Page::Player, 0, 0, 0}},
      {Key::Digit3, true, true, false, {Page::Player, 0, 0, 0}},
      {Key::Digit3, false, false, false, {Page::Player, 0, 0, 0}},
      {Key::F5, false, false, true, {Page::Player, 1, 0, 0}},
      {Key::Digit4, true, false, true, {Page::Shopping, 1, 0, 0}},
      {Key::F5, false, false, true, {Page::Shopping, 1, 0, 0}},
      {Key::Digit1, true, false, true, {Page::Portal, 1, 0, 0}},
      {Key::F10, false, true, true, {Page::Portal, 1, 1, 0}},
      {Key::F10, false, false, false, {Page::Portal, 1, 1, 0}},
      {Key::Menu, false, false, true, {Page::Portal, 1, 2, 0}},
      {Key::Q, true, false, true, {Page::Portal, 1, 2, 1}},
  };
  for (size_t row = 0; row < std::size(presses); ++row) {
    const auto& [key, control, shift, shortcut, after] = presses[row];
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(headless::PressKey(Window(), {key, control, shift, false}), shortcut);
    EXPECT_EQ(std::tuple(form_->CurrentPage(), player.RefreshCount(), menus, quits), after);
  }
}

TEST_F(MainWindowTest, CompactModeNeedsAPlayerTvLinksTheExactSchemeEachPlayerClosesTheOther) {
  Click("精简模式");
  EXPECT_EQ(Window().ClientSize(), (Size{990, 655}));

  form_->SetPlayerState(PlayerState::Video);
  Click("最大化");
  Click("精简模式");
  EXPECT_EQ(form_->CurrentPage(), Page::Player);
  EXPECT_EQ(Window().ClientSize(), (Size{393, 320}));
  Label& exit = test::Captioned<Label>(Window(), "×");
  EXPECT_EQ(Rects({&form_->PlayerView(), &exit}), "0,18,393,301 368,2,15,14 ");
  Label& caption = test::Captioned<Label>(Window(), "Lumora");
  EXPECT_TRUE(Shown(exit) && Shown(caption));
  EXPECT_FALSE(Shown(Button("关闭")) || Shown(form_->HistoryView()));
  Resize(100, 100);
  EXPECT_EQ(Window().ClientSize(), (Size{273, 200}));

  test::Click(Window(), exit);
  EXPECT_EQ(Window().Bounds(), (Rect{305, 172, 990, 655}));
  EXPECT_TRUE(Shown(Button("关闭")) && Shown(form_->HistoryView()));
  EXPECT_FALSE(Shown(caption)) << "the compact caption does not stay on the frame";
  EXPECT_NO_THROW(Button("最大化")) << "the window left compact mode restored";
  EXPECT_EQ(StoredSize(), "14850x9830") << "compact sizes are never stored";

  // TV links need their exact scheme; the TV player and the player close each other.
  for (auto* link : {"KATVS://1", "x-katvs://1"}) EXPECT_FALSE(Follow(form_->ChannelView(), link));
  form_->SetPlayerState(PlayerState::Video);
  EXPECT_TRUE(Follow(form_->ChannelView(), "katvs://ch=3&name=%u7EAA"));
  EXPECT_EQ(form_->TvPlayerView().CurrentAddress(),
            "http://server/box/tv/kavotv.htm?ch=3&name=%u7EAA");
  EXPECT_EQ(form_->PlayerView().CurrentAddress(), "about:blank");
  // The close picture in the top-right corner of a player view.
  auto closeOf = [this](WebView& view) {
    Rect at = Place(view);
    return Point{at.x + at.width - 2 - 9, at.y + 2 + 9};
  };
  ClickPageTab(2);
  EXPECT_NE(test::ControlAt(Window(), closeOf(form_->TvPlayerView())), &form_->TvPlayerView());
  Click("精简模式");
  EXPECT_EQ(form_->CurrentPage(), Page::Tv) << "the TV player plays";
  test::Click(Window(), test::Captioned<Label>(Window(), "×"));

  form_->SetPlayerState(PlayerState::Video);
  EXPECT_EQ(form_->TvPlayerView().CurrentAddress(), "http://server/box/tv/ad.htm");
  EXPECT_EQ(test::ControlAt(Window(), closeOf(form_->TvPlayerView())), &form_->TvPlayerView());
  ClickPageTab(1);
  EXPECT_TRUE(Shown(form_->PlayerView()));
  headless::ClickAt(Window(), closeOf(form_->PlayerView()));
  EXPECT_FALSE(Shown(form_->PlayerView()));
  Click("精简模式");
  EXPECT_EQ(Window().ClientSize(), (Size{990, 655})) << "nothing plays: no compact mode";
}

TEST_F(MainWindowTest, FrameBandSizesDragsStoreNothingAndEdgeResizeStoresTheSizeItMadeOnly) {
  Resize(1000, 600);
  // The band is three pixels wide, corners first: the pointer shows what a press there sizes.
  const std::pair<Point, PointerShape> band[] = {
      {{3, 300}, PointerShape::SizeWestEast},  {{4, 300}, PointerShape::Arrow},
      {{3, 3}, PointerShape::SizeNwSe},        {{996, 3}, PointerShape::SizeNorthSouth},
      {{996, 596}, PointerShape::Arrow},       {{999, 599}, PointerShape::SizeNwSe},
      {{999, 300}, PointerShape::SizeWestEast}};
  for (auto [at, shape] : band) {
    headless::MoveAt(Window(), at);
    EXPECT_EQ(Window().Pointer(), shape) << at.x << "," << at.y;
  }
  // Presses on the window's own surface, whose release the window manager takes.
  Window().onMouseDown({MouseButton::Left, true, 400, 20});
  headless::MoveAt(Window(), {410, 22}, true);
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
  Window().SetBounds({50, 60, 1000, 600});
  Wait(400ms);
  EXPECT_EQ(StoredSize(), "14850x9830");
  Click("最大化");
  Window().onMouseDown({MouseButton::Left, true, 0, 300});
  headless::MoveAt(Window(), {410, 22}, true);
  EXPECT_FALSE(platform_.LastSystemSize(Window()).has_value()) << "maximised: no size, no move";
  EXPECT_EQ(platform_.SystemMoveCount(Window()), 1);
  Click("还原");

  Window().onMouseDown({MouseButton::Left, true, 999, 300});
  EXPECT_EQ(platform_.LastSystemSize(Window()), HitCode::Right);
  Resize(1100, 600);  // the system's size loop
  Resize(1200, 600);
  // The window manager takes the release: the window sees no button going up.
  headless::AsHeadless(Window()).EndSystemSize();
  Wait(400ms);
  EXPECT_EQ(StoredSize(), "18000x9000");
  Click("最大化");
  Click("还原");
  Resize(1300, 700);  // the window manager's own doing
  Wait(400ms);
  EXPECT_EQ(StoredSize(), "18000x9000");
}

TEST_F(MainWindowTest, FailedPortalIsCoveredUntilRetriedOtherFailedStartPagesLoadAgainWhenShown) {
  WebView& portal = form_->PortalView();
  ImageBox& cover = *test::ControlsOf<ImageBox>(Window()).at(0);
  auto seen = [&] { return std::pair(Shown(portal), Shown(cover)); };
  EXPECT_EQ(seen(), std::pair(true, false)) << "its document in, the portal is uncovered";
  portal.onNavigateError("http://elsewhere/x");
  EXPECT_EQ(seen(), std::pair(true, false));
  portal.onNavigateError("http://server/box/");
  EXPECT_EQ(seen(), std::pair(false, true));
  portal.onDownloadComplete();
  EXPECT_EQ(seen(), std::pair(false, true)) << "a failed portal stays covered until retried";
  test::Click(Window(), cover);
  portal.onDownloadComplete();
  EXPECT_EQ(seen(), std::pair(true, false));

  // Other failed start pages load again when their page is shown, at most every ten seconds.
  WebView* views[] = {&form_->ChannelView(), &form_->TvPlayerView(), &View(6)};
  const std::string startPages[] = {"http://server/box/tv/list.htm", "http://server/box/tv/ad.htm",
                                    "http://server/box/js/ads/tao.html"};
  // How often each view loaded its start page, one digit each.
  std::string loads = "000";
  for (size_t i = 0; i < 3; ++i) {
    views[i]->onBeforeNavigate2 = [&loads, i, &startPages, next = views[i]->onBeforeNavigate2](
                                      const std::string& address, bool& cancel) {
      loads[i] += address == startPages[i];
      Raise(next, address, cancel);
    };
    // The engine reports the failure, to whichever handler the view has.
    Raise(views[i]->onNavigateError, startPages[i]);
  }
  // Shows the portal, lets this time pass, then shows this page: the loads by then.
  auto showAfter = [&](std::chrono::seconds wait, int tab) {
    ClickPageTab(0);
    Wait(wait);
    ClickPageTab(tab);
    return loads;
  };
  EXPECT_EQ(showAfter(0s, 2), "000") << "shown within ten seconds of the failed start";
  EXPECT_EQ(showAfter(10s, 2), "110");
  EXPECT_EQ(showAfter(0s, 3), "111");

  // The channel list fails again, the TV start page loads: only the list comes back, and not
  // before another ten seconds.
  Raise(views[0]->onNavigateError, startPages[0]);
  EXPECT_EQ(showAfter(9s, 2), "111");
  EXPECT_EQ(showAfter(1s, 2), "211");

  // Another page's failure in the view is not the start page's.
  Raise(views[1]->onNavigateError, "http://server/box/tv/1.htm");
  showAfter(60s, 2);
  EXPECT_EQ(showAfter(0s, 3), "211");
  // A channel that played in the view after its start page failed is not loaded over.
  Raise(views[1]->onNavigateError, startPages[1]);
  views[1]->onDocumentComplete();
  EXPECT_EQ(showAfter(60s, 2), "211");
}

// The scrolling ticker of the status strip.
class TickerTest : public MainWindowTest {
 protected:
  void LoadTicker(const std::string& list) {
    AnswerNextRequest(list);
    form_->LoadTicker();
    ASSERT_EQ(platform_.Http().RequestedUrls().back(), "http://server/box/lib/gun.txt");
  }
  std::vector<Control*> ItemControls() {
    return dynamic_cast<headless::HeadlessPicture&>(*ticker_).Children();
  }
  Label& Item(size_t index) { return dynamic_cast<Label&>(*ItemControls().at(index)); }
  // The items on show once this time has passed, "caption@top " each.
  std::string ItemsAfter(std::chrono::milliseconds wait) {
    Wait(wait);
    std::string shown;
    for (Control* control : ItemControls()) {
      auto& item = dynamic_cast<Label&>(*control);
      if (item.Visible()) shown += item.Caption() + "@" + std::to_string(item.Geometry().y) + " ";
    }
    return shown;
  }
  // Moves the pointer onto the item at this point of it: whether the item is underlined then.
  bool Pointed(size_t i, Point at = {1, 1}) {
    Item(i).onMouseMove({MouseButton::Left, false, at.x, at.y});
    return Item(i).GetFont().underline;
  }

  // The ticker panel in the bottom-right corner, above its items' rest line.
  Control* ticker_ = test::ControlAt(
      Window(), {Window().ClientSize().width - 305, Window().ClientSize().height - 31});
};

// Each item climbs 12 pixels in six 50 ms steps, rests 5.1 s on the line and gives way to the
// next, which shows one step later; items without "||" and the empty part after a trailing "$$$"
// are dropped.
TEST_F(TickerTest, ItemsClimbRestAndCycle) {
  LoadTicker("A||http://site/a.html$$$no link here$$$B||*$$$");
  // The time that passes, then the items on show.
  const std::pair<std::chrono::milliseconds, const char*> timeline[] = {
      {0ms, "A@20 "},  {300ms, "A@8 "}, {5099ms, "A@8 "}, {1ms, ""},
      {50ms, "B@18 "}, {5350ms, ""},    {50ms, "A@18 "}};
  for (auto [wait, items] : timeline) EXPECT_EQ(ItemsAfter(wait), items) << wait.count() << " ms";
}

// The pointer holds a linked item underlined for as long as it stays; over the bare panel the
// item goes on after the rest under way. A click opens only a web address (and then stops the
// hold until the pointer has crossed the bare panel: the next test).
TEST_F(TickerTest, PointerHoldsAndClickOpensOnlyWebAddresses) {
  LoadTicker("A||http://site/a.html||ignored$$$B||*$$$C||file:///usr/bin/xterm$$$D||");
  Wait(300ms);
  EXPECT_TRUE(Pointed(0));
  EXPECT_EQ(ItemsAfter(60s), "A@8 ");
  ticker_->onMouseMove(MouseEvent{});
  EXPECT_FALSE(Item(0).GetFont().underline);
  EXPECT_EQ(ItemsAfter(5100ms), "B@8 ");

  for (size_t plain : {1, 2, 3}) {
    EXPECT_FALSE(Pointed(plain)) << Item(plain).Caption();
    EXPECT_EQ(Item(plain).Accessible().role, AccessibleRole::Label) << "text, not a link";
  }
  for (size_t item : {0, 1, 2, 3}) Item(item).onClick();
  // No target but a web address reaches the desktop.
  EXPECT_EQ(platform_.Desktop().OpenedAddresses(), std::vector<std::string>{"http://site/a.html"});
}

// After a click the pointer stays still: the item that climbs in under it next is not pointed
// at, though the platform reports the pointer over it, and it gives way after its rest.
TEST_F(TickerTest, ItemClimbingUnderAStillPointerIsNotHeld) {
  LoadTicker("A||http://site/a.html$$$B||http://site/b.html");
  Wait(300ms);
  Pointed(0, {4, 3});
  Item(0).onClick();
  Wait(5100ms);  // A gives way: the pointer is over the bare panel, which reports it there
  ticker_->onMouseMove(MouseEvent{MouseButton::Left, false, 4, 8 + 3});
  Wait(300ms);  // B climbs in under the still pointer
  EXPECT_FALSE(Pointed(1, {4, 3}));
  EXPECT_EQ(ItemsAfter(5100ms), "") << "B was not held";
  Wait(300ms);
  // The user moves.
  EXPECT_FALSE(Pointed(0, {6, 3})) << "a click holds nothing until the pointer crossed the panel";
  ticker_->onMouseMove(MouseEvent{MouseButton::Left, false, 1, 1});
  EXPECT_TRUE(Pointed(0, {5, 3}));
}

// One item slides from top 10 into place in a single step and stays with no timer running; a long
// list is cut to its first 51 items, a long text to 200 characters; a list without "||" loads
// nothing.
TEST_F(TickerTest, SingleItemLongListAndEmptyList) {
  LoadTicker("no items");
  EXPECT_EQ(ItemControls().size(), 1u);
  EXPECT_EQ(platform_.Time().PendingTasks(), 0u);

  LoadTicker("Only||http://site/");
  EXPECT_EQ(Item(0).Geometry().Origin(), (Point{0, 10}));
  EXPECT_EQ(ItemsAfter(50ms), "Only@8 ");
  EXPECT_EQ(platform_.Time().PendingTasks(), 0u) << "an idle ticker runs no timer";
  EXPECT_EQ(ItemsAfter(60s), "Only@8 ");

  std::string list = std::string(1'000'000, 'x') + "||*$$$";
  for (int item = 1; item < 60; ++item) list += "item " + std::to_string(item) + "||*$$$";
  LoadTicker(list);
  EXPECT_EQ(Item(0).Caption(), std::string(200, 'x'));
  EXPECT_EQ(Item(ItemControls().size() - 1).Caption(), "item 50");
}

TEST_F(MainWindowTest, PlayLinkAsksTheServerForThePlayerLinkWhichPlaysRecordsAndOpensInformation) {
  auto request = [this] { return platform_.Http().RequestedUrls().back(); };
  AnswerNextRequest("0");
  EXPECT_TRUE(Follow(form_->PortalView(), "kavovod://abc-a-b-T"));
  EXPECT_EQ(request(), "http://server/box/h.asp?id=0&v=a&v1=b");
  EXPECT_EQ(balloons_, std::vector<std::string>{"读取数据出错，请返回重试！"});
  EXPECT_EQ(form_->CurrentPage(), Page::Player) << "the player page comes to the front first";
  EXPECT_TRUE(Follow(form_->PortalView(), "kavovod://5-0-0-T"));  // no answer in time
  EXPECT_EQ(balloons_.size(), 2u);

  AnswerNextRequest("x$y z$w");
  EXPECT_TRUE(Follow(form_->PortalView(), "kavovod://12-a-b-%u4E2D/"));
  EXPECT_EQ(request(), "http://server/box/h.asp?id=12&v=a&v1=b");
  EXPECT_EQ(form_->PlayerView().CurrentAddress(), "http://server/box/play.htm?w$$$y%20z");
  EXPECT_EQ(dir_.Read("date.dat"), "\r\n") << "v is not a number, so nothing is recorded";
  EXPECT_EQ(balloons_.size(), 2u);

  // Field separators inside the pieces cannot shift what is recorded.
  AnswerNextRequest("x&&&999$name$m/101/0/1");
  EXPECT_TRUE(Follow(form_->PortalView(), "kavovod://101-1-2-T&&&7&&&8/"));
  EXPECT_TRUE(dir_.Read("date.dat").starts_with("101|T78|x999|name|1|2|0\r\n"));
  EXPECT_EQ(form_->PlayerView().CurrentAddress(), "http://server/box/play.htm?m/101/0/1$$$name");

  // The player link plays, records complete entries and opens the information page.
  auto list = [this] { return dir_.Read("date.dat"); };
  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&B&&&T&&&E&&&7&&&1&&&2"));
  EXPECT_EQ(form_->PlayerView().CurrentAddress(), "http://server/box/play.htm?A$$$B");
  EXPECT_EQ(form_->InformationView().CurrentAddress(), "about:blank");  // no eighth field
  EXPECT_TRUE(list().starts_with("7|T|E|B|1|2|0\r\n"));
  EXPECT_TRUE(Shown(form_->InformationView()));
  Rect player = Place(form_->PlayerView());
  // The player view in the ad panel's place.
  EXPECT_EQ(test::ControlAt(Window(), {player.x + 100, player.y + 100}), &form_->PlayerView());
  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&C&&&T&&&E&&&7&&&1&&&2&&&0"));
  EXPECT_EQ(form_->InformationView().CurrentAddress(), "http://server/box/pp.htm?7-1-2-T-0");

  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&B&&&&&&E&&&8&&&1&&&2&&&0"));
  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&B&&&T&&&E&&&9&&&x&&&2&&&0"));
  EXPECT_EQ(form_->PlayerView().CurrentAddress(), "http://server/box/play.htm?A$$$B");
  EXPECT_TRUE(list().starts_with("7|")) << "empty title and non-numeric v record nothing";
  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&B&&&T&&&E&&&9"));
  EXPECT_TRUE(list().starts_with("9|T|E|B|0|0|0\r\n")) << "missing v and v1 count as 0";

  // The plays hid the history tab: its page loads once it is shown, and at once while it is.
  int historyLoads = 0;
  std::string historyPage = (dir_ / "c.htm").string();
  auto route = form_->HistoryView().onBeforeNavigate2;
  form_->HistoryView().onBeforeNavigate2 = [&](const std::string& address, bool& cancel) {
    historyLoads += address == historyPage;
    route(address, cancel);
  };
  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&B&&&T&&&E&&&5&&&1&&&2"));
  EXPECT_EQ(historyLoads, 0);
  Rect side = Place(form_->InformationView());
  headless::ClickAt(Window(), {side.x + 112, side.y - 16});  // the history tab
  headless::ClickAt(Window(), {side.x + 112, side.y - 16});
  EXPECT_EQ(historyLoads, 1);
  EXPECT_TRUE(Follow(form_->HistoryView(), "delk://1/"));
  EXPECT_EQ(historyLoads, 2);
  EXPECT_TRUE(list().starts_with("9|"));

  // The schemes are taken anywhere in the address, and the information view forwards them.
  EXPECT_TRUE(Follow(form_->PortalView(), "http://x/?u=kaqvod://A&&&B&&&T&&&E&&&4&&&1&&&2"));
  EXPECT_TRUE(list().starts_with("4|"));
  EXPECT_TRUE(Follow(form_->InformationView(), "http://x/?u=kaqvod://A&&&C&&&T&&&E&&&6&&&1&&&2"));
  EXPECT_EQ(form_->PlayerView().CurrentAddress(), "http://server/box/play.htm?http://x/?u=A$$$C");
  EXPECT_FALSE(Follow(form_->PortalView(), "http://server/box/index.html"));
  EXPECT_FALSE(Follow(form_->InformationView(), "http://server/box/pp.htm?1"));

  // The player page comes forward once the player's new page has arrived, or 100 ms after the
  // click at the latest, also while the server is still being asked; a page the user picks
  // meanwhile stays.
  auto showPage = [this](Key key) { headless::PressKey(Window(), {key, true, false, false}); };
  Page whenPlayerStarts{};
  form_->PlayerView().onBeforeNavigate2 = [&](const std::string&, bool&) {
    whenPlayerStarts = form_->CurrentPage();
  };
  showPage(Key::Digit1);
  AnswerNextRequest("x$y$w");
  EXPECT_TRUE(Follow(form_->PortalView(), "kavovod://12-0-0-T"));
  EXPECT_EQ(std::tuple(whenPlayerStarts, form_->CurrentPage()),
            std::tuple(Page::Portal, Page::Portal));
  form_->PlayerView().onNavigateComplete2();
  EXPECT_EQ(form_->CurrentPage(), Page::Player);

  showPage(Key::Digit1);
  AnswerNextRequest("x$y$w", 500ms);
  std::vector<Page> pages;
  for (auto probe : {90ms, 110ms}) {
    platform_.Time().Post(probe, [&] { pages.push_back(form_->CurrentPage()); });
  }
  EXPECT_TRUE(Follow(form_->PortalView(), "kavovod://12-0-0-T"));
  EXPECT_EQ(pages, (std::vector{Page::Portal, Page::Player}));

  showPage(Key::Digit1);
  EXPECT_TRUE(Follow(form_->PortalView(), "kaqvod://A&&&B"));
  showPage(Key::Digit4);
  platform_.Time().Advance(200ms);
  form_->PlayerView().onNavigateComplete2();
  EXPECT_EQ(form_->CurrentPage(), Page::Shopping);
}

TEST_F(MainWindowTest, OpenAndDeleteAddressPlayListLinesAndOnlyThem) {
  std::filesystem::remove(dir_ / "date.dat");
  EXPECT_TRUE(Follow(form_->HistoryView(), "open://1/"));
  EXPECT_EQ(form_->InformationView().CurrentAddress(), "about:blank") << "no list, nothing opens";

  std::string list = "1|a|e|b|0|0|0\r\n\r\n3|%u4E2D|e|b|2|5|0\r\n";
  dir_.Write("date.dat", list);
  EXPECT_TRUE(Follow(form_->HistoryView(), "open://x/"));
  EXPECT_TRUE(Follow(form_->HistoryView(), "delk://"));
  EXPECT_EQ(form_->InformationView().CurrentAddress(), "about:blank");
  EXPECT_EQ(dir_.Read("date.dat"), list);

  EXPECT_TRUE(Follow(form_->HistoryView(), "open://3/"));
  EXPECT_EQ(form_->InformationView().CurrentAddress(), "http://server/box/pp.htm?3-2-5-%u4E2D-25");
  ClickPageTab(1);
  EXPECT_TRUE(Shown(form_->InformationView())) << "the now-playing tab is chosen";
  EXPECT_TRUE(Follow(form_->HistoryView(), "open://99"));
  EXPECT_EQ(form_->InformationView().CurrentAddress(), "http://server/box/pp.htm?----");
  EXPECT_TRUE(Follow(form_->HistoryView(), "delk://3/"));
  EXPECT_EQ(dir_.Read("date.dat"), "1|a|e|b|0|0|0\r\n");
}

}  // namespace
}  // namespace lumora
