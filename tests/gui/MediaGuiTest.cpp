#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"

namespace lumora {
namespace {

using namespace gui;

// The MPRIS player of the program on the session bus, "" while there is none: the program's bus
// name starts so, and the engine's media player adds to it.
std::string MediaPlayerName() {
  std::string names = Shell(
      "gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus "
      "--method org.freedesktop.DBus.ListNames");
  std::smatch name;
  return std::regex_search(names, name,
                           std::regex("'(org\\.mpris\\.MediaPlayer2\\.Lumora\\.BA1\\.[^']+)'"))
             ? name[1].str()
             : "";
}

// A method call on the player's object with its arguments, as gdbus prints the answer; "" when
// it failed.
std::string CallPlayer(const std::string& player, const std::string& method) {
  return Shell("gdbus call --session --dest " + player +
               " --object-path /org/mpris/MediaPlayer2 --method " + method);
}

std::string PlaybackStatus(const std::string& player) {
  return CallPlayer(player,
                    "org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "
                    "PlaybackStatus");
}

// The real program against the demo server, in a session with a runtime folder as a desktop
// session has: the web engine's sandbox reaches the session bus through a proxy socket it keeps
// there.
class MediaGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    runtimeFolder_ = new test::TempDir();
    runtimeVariable_ = new test::ScopedVariable("XDG_RUNTIME_DIR", runtimeFolder_->Path().string());
    run_ = new ProgramRun();
    ASSERT_TRUE(WaitFor(
        "the portal's tiles", [] { return PortalShowsItsTiles(MainWindowId()); }, 20s));
  }
  static void TearDownTestSuite() {
    delete run_;
    delete runtimeVariable_;
    delete runtimeFolder_;
  }

  static inline test::TempDir* runtimeFolder_ = nullptr;
  static inline test::ScopedVariable* runtimeVariable_ = nullptr;
  static inline ProgramRun* run_ = nullptr;
};

TEST_F(MediaGuiTest, DemoItemPlaysAVideoThatTheBusSeesPlayingAndPauses) {
  size_t from = run_->server.RequestLog().size();
  ClickInMainWindow(PortalTile(0));
  ASSERT_TRUE(WaitFor(
      "the demo video", [&] { return run_->Saw("GET /box/media/demo.webm 200", from); }, 10s));
  std::string player;
  ASSERT_TRUE(WaitFor(
      "an MPRIS player of the program that is playing",
      [&] {
        player = MediaPlayerName();
        return !player.empty() && PlaybackStatus(player) == "(<'Playing'>,)\n";
      },
      10s))
      << "player \"" << player << "\"";
  EXPECT_EQ(
      CallPlayer(player, "org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2 Identity"),
      "(<'Lumora'>,)\n");
  EXPECT_EQ(CallPlayer(player, "org.mpris.MediaPlayer2.Player.Pause"), "()\n");
  EXPECT_TRUE(WaitFor(
      "the player paused from the bus", [&] { return PlaybackStatus(player) == "(<'Paused'>,)\n"; },
      5s))
      << PlaybackStatus(player);
}

// The program with a session bus address whose socket does not exist, nor its folder (as after the
// session that made it ended).
class DeadBusGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { gdk_init(nullptr, nullptr); }

  test::TempDir scratch_;
  test::ScopedVariable deadBus_{"DBUS_SESSION_BUS_ADDRESS",
                                "unix:path=" + (scratch_ / "gone/bus").string()};
};

TEST_F(DeadBusGuiTest, WindowComesSecondStartHandsOverAndOneLineSaysWhatIsMissing) {
  ProgramRun run({}, "", (scratch_ / "stderr").c_str());
  ASSERT_TRUE(WaitFor(
      "the main window", [] { return LumoraWindows().size() == 1; }, 20s))
      << scratch_.Read("stderr");
  // The web engine, which aborted on the dead address, shows the portal.
  ASSERT_TRUE(WaitFor(
      "the portal's tiles", [] { return PortalShowsItsTiles(MainWindowId()); }, 20s))
      << scratch_.Read("stderr");

  // A second start finds the first through the socket and hands over to it.
  GPid second = StartProcess((run.folder / "lumora").string());
  int status = -1;
  ASSERT_TRUE(WaitFor(
      "the second start to end", [&] { return waitpid(second, &status, WNOHANG) == second; }, 10s));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(LumoraWindows().size(), 1u);
  EXPECT_EQ(waitpid(run.pid, nullptr, WNOHANG), 0) << "the first start still runs";

  std::vector<std::string> said;
  for (const std::string& line : Lines(scratch_.Read("stderr"))) {
    if (line.starts_with("lumora:")) said.push_back(line);
  }
  ASSERT_EQ(said.size(), 1u) << scratch_.Read("stderr");
  EXPECT_NE(said.front().find("no session bus"), std::string::npos) << said.front();
}

}  // namespace
}  // namespace lumora
