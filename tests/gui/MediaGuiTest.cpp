#include <gdk/gdk.h>
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"

namespace lumora {
namespace {

using namespace gui;

// The program's session bus name starts so; the engine's media player adds to it.
constexpr char kPlayerNamePrefix[] = "org.mpris.MediaPlayer2.Lumora.BA1.";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

GDBusConnection* SessionBus() {
  static GDBusConnection* const bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  return bus;
}

// The reply of a method call on the bus, nothing when it failed.
GVariant* CallOnBus(const std::string& name, const char* path, const char* interface,
                    const char* method, GVariant* parameters) {
  return g_dbus_connection_call_sync(SessionBus(), name.c_str(), path, interface, method,
                                     parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr,
                                     nullptr);
}

// The MPRIS player of the program on the session bus, "" while there is none.
std::string MediaPlayerName() {
  g_autoptr(GVariant) reply = CallOnBus("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                        "org.freedesktop.DBus", "ListNames", nullptr);
  if (!reply) return {};
  g_autofree const char** names = nullptr;
  g_variant_get(reply, "(^a&s)", &names);
  for (size_t i = 0; names[i] != nullptr; ++i) {
    if (g_str_has_prefix(names[i], kPlayerNamePrefix)) return names[i];
  }
  return {};
}

// A string property of the player's object, "" when it cannot be read.
std::string PlayerProperty(const std::string& player, const char* interface, const char* name) {
  g_autoptr(GVariant) reply =
      CallOnBus(player, "/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties", "Get",
                g_variant_new("(ss)", interface, name));
  if (!reply) return {};
  g_autoptr(GVariant) value = nullptr;
  g_variant_get(reply, "(v)", &value);
  return g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ? g_variant_get_string(value, nullptr)
                                                            : "";
}

std::string PlaybackStatus(const std::string& player) {
  return PlayerProperty(player, kPlayerInterface, "PlaybackStatus");
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
      [&] { return !(player = MediaPlayerName()).empty() && PlaybackStatus(player) == "Playing"; },
      10s))
      << "player \"" << player << "\"";
  EXPECT_EQ(PlayerProperty(player, "org.mpris.MediaPlayer2", "Identity"), "Lumora");

  g_autoptr(GVariant) paused =
      CallOnBus(player, "/org/mpris/MediaPlayer2", kPlayerInterface, "Pause", nullptr);
  EXPECT_TRUE(paused);
  EXPECT_TRUE(WaitFor(
      "the player paused from the bus", [&] { return PlaybackStatus(player) == "Paused"; }, 5s))
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
