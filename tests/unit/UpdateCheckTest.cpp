#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/LumoraApp.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessMenu.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

constexpr const char* kControlFile = "http://server/box/lib/wen.txt";
constexpr const char* kOfferFile = "1====1====0====1====1====9.1\r\n";
constexpr const char* kOffer = "检测到最新版本 9.1 ,你需要现在升级吗？";

// One run of the program on the headless backend.
struct Program {
  explicit Program(std::shared_ptr<headless::InstanceRegistry> machine =
                       std::make_shared<headless::InstanceRegistry>())
      : platform(headless::HeadlessPlatform::kDefaultStart, std::move(machine)) {
    app.Start({"lumora"});  // a later start hands over to the running one and has no window
  }

  BA1& Form() { return *app.MainWindow(); }
  headless::HeadlessDesktop& Desktop() { return platform.Desktop(); }
  const std::vector<headless::ShownMessage>& Messages() { return Desktop().Messages(); }
  // How often the server was asked for this file: the popup ad's list (tan) and the ticker's (gun).
  long Asked(const std::string& file) {
    const std::vector<std::string>& asked = platform.Http().RequestedUrls();
    return std::count(asked.begin(), asked.end(), "http://server/box/lib/" + file);
  }

  // Runs past the 6 s check; the server answers the control file 50 ms after it was asked.
  void RunCheck(const std::string& body) {
    platform.Time().Post(6050ms, [this, body] {
      ASSERT_EQ(platform.Http().RequestedUrls(), std::vector<std::string>{kControlFile});
      platform.Http().Answer(0, {true, 200, body});
    });
    platform.Time().Advance(7s);
  }

  void Choose(const std::string& caption) {
    headless::HeadlessMenu& menu = headless::AsHeadless(app.Menus()->r_m());
    menu.PopupAtPointer(Form().Window());
    EXPECT_TRUE(menu.Choose(caption));
  }

  // The main window is gone for good and the tray icon with it.
  bool Ended() { return Form().Unloaded() && !platform.Tray().Shown().added; }

  test::TempDir dir;
  headless::HeadlessPlatform platform;
  LumoraApp app{platform, ContentServer("http://server/box/", "http://site/"), dir.Path()};
};

TEST(UpdateCheckTest, ReadsTheControlFileOnceAtSixSecondsAndSwitchesTheExtrasOnAfterANo) {
  for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Dismissed}) {
    Program program;
    program.platform.Time().Post(5999ms, [&] {
      EXPECT_TRUE(program.platform.Http().RequestedUrls().empty()) << "not before 6 s";
    });
    program.Desktop().QueueAnswer(answer);
    program.RunCheck(kOfferFile);
    program.platform.Time().Advance(60s);

    EXPECT_EQ(program.Asked("wen.txt"), 1) << "once per run";
    ASSERT_EQ(program.Messages().size(), 1u);
    const headless::ShownMessage& offer = program.Messages()[0];
    EXPECT_EQ(offer.text, kOffer);
    EXPECT_EQ(offer.title, "提示：");
    EXPECT_EQ(offer.owner, &program.Form().Window());
    EXPECT_EQ(offer.buttons, MessageButtons::YesNo);
    EXPECT_EQ(std::make_pair(program.Asked("tan.txt"), program.Asked("gun.txt")),
              std::make_pair(1L, 1L));
    EXPECT_TRUE(program.Form().bo_pad->Visible());
    EXPECT_EQ(program.Form().ShowExitAd, 1);
    EXPECT_TRUE(program.Desktop().OpenedAddresses().empty());
  }
}

TEST(UpdateCheckTest, FieldsAreReadAsTheServerSendsThem) {
  struct Case {
    const char* body;
    int showExitAd, tickerEnabled;
    bool panel, popup;
    const char* offered;  // the version in the question, "" for none
  };
  const Case cases[] = {
      {"0====0====0====0====0====9.0\r\n", 0, 0, false, false, ""},
      {"0====0====0====0====0====9.0\n", 0, 0, false, false, "9.0\n"},
      {"0====0====0====0====0====8.0", 0, 0, false, false, "8.0"},
      {"0====0====0====0====0==== 9.0", 0, 0, false, false, " 9.0"},
      {"0====0====0====0====0====0\r\n", 0, 0, false, false, ""},
      {"1====1", 1, 0, false, true, ""},
      {" 1 x====1.0====0==== 1 ====1\r\n", 1, 1, true, true, ""},
      {"1.6====x====0====y====z====9.0====9.5", 2, 0, false, false, ""},
      {"99999999999====0====0====1e300====0====9.0", 2147483647, 2147483647, false, false, ""},
      {"0====nan====0====inf====nan====9.0", 0, 0, false, false, ""},
      {"1----1----0----1----1----9.1", 0, 0, false, false, ""},
      {"", 0, 0, false, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    Program program;
    program.RunCheck(c.body);
    EXPECT_EQ(program.Form().ShowExitAd, c.showExitAd);
    EXPECT_EQ(program.Form().TickerEnabled, c.tickerEnabled);
    EXPECT_EQ(program.Asked("gun.txt"), c.tickerEnabled == 1 ? 1 : 0);
    EXPECT_EQ(program.Form().bo_pad->Visible(), c.panel);
    EXPECT_EQ(program.Asked("tan.txt"), c.popup ? 1 : 0);
    ASSERT_EQ(program.Messages().size(), *c.offered ? 1u : 0u);
    if (*c.offered) {
      EXPECT_EQ(program.Messages()[0].text,
                std::string("检测到最新版本 ") + c.offered + " ,你需要现在升级吗？");
    }
  }
}

TEST(UpdateCheckTest, AnAdPageThatFailedKeepsItsPanelHidden) {
  Program program;
  program.Form().Web8->onNavigateError("http://server/box/js/ads/bo.html");
  program.RunCheck("0====0====0====0====1====9.0");
  EXPECT_FALSE(program.Form().bo_pad->Visible());
  EXPECT_EQ(program.Form().AdPanelState, 1);
}

TEST(UpdateCheckTest, YesStartsTheLocalUpdaterOrOpensTheDownloadAndQuitsWithoutTheExitAd) {
  enum class Updater { None, Executable, PlainFile, FailsToStart };
  for (Updater updater :
       {Updater::None, Updater::Executable, Updater::PlainFile, Updater::FailsToStart}) {
    SCOPED_TRACE(static_cast<int>(updater));
    Program program;
    std::filesystem::path path = program.dir / "update.exe";
    if (updater != Updater::None) std::ofstream(path) << "#!/bin/sh\n";
    if (updater == Updater::Executable || updater == Updater::FailsToStart) {
      std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    program.Desktop().SetProcessesStart(updater != Updater::FailsToStart);
    program.Desktop().QueueAnswer(MessageAnswer::Yes);
    program.RunCheck(kOfferFile);

    bool starts = updater == Updater::Executable || updater == Updater::FailsToStart;
    EXPECT_EQ(program.Desktop().StartedProcesses(),
              starts ? std::vector<std::string>{path.string()} : std::vector<std::string>{});
    EXPECT_EQ(program.Desktop().OpenedAddresses(),
              starts ? std::vector<std::string>{}
                     : std::vector<std::string>{"http://server/box/update/update.exe"});
    EXPECT_TRUE(program.Ended());
    EXPECT_EQ(program.app.ExitAd(), nullptr) << "the exit ad is never loaded";
    EXPECT_EQ(program.Asked("tan.txt") + program.Asked("gun.txt"), 0)
        << "the remaining steps do not run";
    EXPECT_FALSE(program.Form().bo_pad->Visible());
  }
}

TEST(UpdateCheckTest, ManualCheckAnswersFromWhatTheAutomaticCheckRead) {
  Program program;
  program.Choose("升级检测");
  ASSERT_EQ(program.Messages().size(), 1u);
  EXPECT_EQ(program.Messages()[0].text, "你现在使用的是最新版本，无需升级!");
  EXPECT_EQ(program.Messages()[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(program.Messages()[0].icon, MessageIcon::Question);
  EXPECT_TRUE(program.platform.Http().RequestedUrls().empty()) << "never asks the server";

  program.Desktop().QueueAnswer(MessageAnswer::No);
  program.RunCheck(kOfferFile);
  program.Desktop().QueueAnswer(MessageAnswer::Dismissed);
  program.Choose("升级检测");
  ASSERT_EQ(program.Messages().size(), 3u);
  EXPECT_EQ(program.Messages()[2].text, kOffer);
  EXPECT_FALSE(program.Ended());
}

TEST(UpdateCheckTest, AQuitDuringTheFetchEndsTheCheckQuietly) {
  Program program;
  program.platform.Time().Post(6010ms, [&] { program.Choose("退出软件"); });
  program.Desktop().QueueAnswer(MessageAnswer::Yes);
  program.RunCheck(kOfferFile);
  EXPECT_TRUE(program.Ended());
  EXPECT_TRUE(program.Messages().empty());
  EXPECT_EQ(program.Asked("tan.txt") + program.Asked("gun.txt"), 0);
  EXPECT_FALSE(program.Form().bo_pad->Visible());
  EXPECT_EQ(program.app.ExitAd(), nullptr);
}

// The exit ad window

// Quits a program whose control file asked for the exit ad.
ba4& QuitToExitAd(Program& program) {
  program.Form().ShowExitAd = 1;
  program.Choose("退出软件");
  return *program.app.ExitAd();
}

TEST(ExitAdTest, ShowsThePageCentredRevealsItsCloseAfterASecondAndEndsAfterTwenty) {
  Program program;
  ba4& exitAd = QuitToExitAd(program);
  EXPECT_FALSE(program.Form().Window().IsShown());
  EXPECT_FALSE(program.Form().Unloaded());
  EXPECT_TRUE(exitAd.Window().IsShown());
  EXPECT_EQ(exitAd.Window().Bounds(), (Rect{650, 376, 299, 247}));
  EXPECT_EQ(exitAd.Page().Geometry(), (Rect{-2, -2, 303, 251}));
  headless::AsHeadless(exitAd.Page()).StartLoad();
  EXPECT_TRUE(headless::AsHeadless(exitAd.Page()).Silent());

  program.platform.Time().Advance(999ms);
  EXPECT_FALSE(exitAd.ClosePicture().Visible());
  program.platform.Time().Advance(1ms);
  EXPECT_TRUE(exitAd.ClosePicture().Visible());
  program.platform.Time().Advance(18999ms);
  EXPECT_FALSE(program.Ended());
  program.platform.Time().Advance(1ms);
  EXPECT_TRUE(program.Ended());
  EXPECT_FALSE(exitAd.Window().IsShown());
}

TEST(ExitAdTest, TheSystemsCloseOrANewWindowOfThePageEndsTheProgramAtOnce) {
  Program closedByTheSystem;
  QuitToExitAd(closedByTheSystem).Window().onCloseRequest();
  EXPECT_TRUE(closedByTheSystem.Ended());

  for (const char* address : {"http://127.0.0.1/", "file:///etc/passwd"}) {
    SCOPED_TRACE(address);
    Program program;
    QuitToExitAd(program).Page().onNewWindow2(address);
    EXPECT_TRUE(program.Ended());
    EXPECT_EQ(program.Desktop().OpenedAddresses(), std::string(address).starts_with("http")
                                                       ? std::vector<std::string>{address}
                                                       : std::vector<std::string>{});
  }
}

TEST(ExitAdTest, ASecondStartTakesItDownAndTheProgramGoesOn) {
  auto machine = std::make_shared<headless::InstanceRegistry>();
  Program running(machine);
  ba4& exitAd = QuitToExitAd(running);
  running.platform.Time().Advance(1500ms);
  ASSERT_TRUE(exitAd.ClosePicture().Visible());

  Program later(machine);
  EXPECT_EQ(later.app.MainWindow(), nullptr);
  running.platform.Time().Advance(1ms);
  EXPECT_FALSE(exitAd.Window().IsShown());
  EXPECT_TRUE(running.Form().Window().IsShown());
  running.platform.Time().Advance(60s);
  EXPECT_FALSE(running.Ended()) << "the exit ad's timers stopped with it";

  running.Choose("退出软件");
  EXPECT_TRUE(exitAd.Window().IsShown());
  EXPECT_FALSE(exitAd.ClosePicture().Visible()) << "loaded afresh";
  running.platform.Time().Advance(20s);
  EXPECT_TRUE(running.Ended());
}

// The popup ad window, loaded as the update check loads it.
class PopupAdTest : public ::testing::Test {
 protected:
  // Loads the popup window, the server answering with this list.
  tankou& LoadWith(const std::string& list) {
    size_t request = program_.platform.Http().RequestedUrls().size();
    program_.platform.Time().Post(20ms, [this, request, list] {
      program_.platform.Http().Answer(request, {true, 200, Utf8ToGbk(list)});
    });
    program_.app.ShowPopupAd();
    start_ = program_.platform.Time().Now();
    EXPECT_EQ(program_.platform.Http().RequestedUrls().at(request),
              "http://server/box/lib/tan.txt");
    return *program_.app.PopupAd();
  }
  // Moves virtual time to this long after the window was loaded.
  void At(std::chrono::milliseconds sinceLoad) {
    program_.platform.Time().Advance(std::chrono::duration_cast<std::chrono::milliseconds>(
        start_ + sinceLoad - program_.platform.Time().Now()));
  }
  // The engine finishes the page, whose content has this size.
  void Finish(Size content) {
    headless::HeadlessWebView& view = headless::AsHeadless(*Popup().Web1);
    view.SetPageContent(content);
    view.onDocumentComplete();
  }
  tankou& Popup() { return *program_.app.PopupAd(); }
  TopWindow& Window() { return *Popup().Window(); }
  std::string Page() { return Popup().Web1->CurrentAddress(); }

  Program program_;
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
  EXPECT_EQ(program_.platform.Desktop().OpenedAddresses(),
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
  program_.platform.Time().Post(1s, [this] { program_.app.MainWindow()->ttt_v(); });
  program_.app.ShowPopupAd();
  EXPECT_FALSE(Popup().Loaded());
  EXPECT_FALSE(Popup().Timerc->Enabled());

  LoadWith("5||1||1||ftp://server/a.html");
  EXPECT_TRUE(Popup().Loaded());
  EXPECT_FALSE(Popup().Timerc->Enabled());
}

}  // namespace
}  // namespace lumora
