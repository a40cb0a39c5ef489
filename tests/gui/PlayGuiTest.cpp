#include <regex>

#include "tests/gui/GuiSupport.h"

namespace lumora::gui {
namespace {

// The pixels of the 68 x 28 page tab cell around this centre, in window coordinates (the window
// is at its default 990 x 655 throughout).
std::vector<guint32> TabCell(Point centre) {
  Point corner = InMainWindow({centre.x - 34, centre.y - 14});
  return ScreenPixels({corner.x, corner.y, 68, 28});
}

// Page tabs, 68 x 28 from (20, 8): portal, player, TV, shopping.
constexpr Point kPlayerTab{88 + 34, 22};

// The player page's list side bar, 202 wide at the page's right edge (window x 781); its tabs
// lie 4 below its top, the lists' views from 28 below it, overlapping by 2.
constexpr Point kHistoryListTab{781 + 105 + 30, 41 + 4 + 10};
constexpr Point kFirstHistoryRow{779 + 40, 67 + 12};
constexpr Point kFirstRowDelete{779 + 197, kFirstHistoryRow.y};
// A history row under the pointer takes this background.
constexpr guint32 kHoveredRow = 0x312D26;

// The MPRIS player of the program on the session bus, "" while there is none: the program's bus
// name starts so, and the engine's media player adds to it.
std::string MediaPlayerName() {
  std::smatch name;
  std::string names = Shell(
      "gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus "
      "--method org.freedesktop.DBus.ListNames");
  return std::regex_search(names, name,
                           std::regex("'(org\\.mpris\\.MediaPlayer2\\.Lumora\\.BA1\\.[^']+)'"))
             ? name[1].str()
             : "";
}

// A method call on the player with its arguments, as gdbus prints the answer; "" when it failed.
std::string CallPlayer(const std::string& player, const std::string& method) {
  return Shell("gdbus call --session --dest " + player +
               " --object-path /org/mpris/MediaPlayer2 --method " + method);
}

std::string PlaybackStatus(const std::string& player) {
  return CallPlayer(player,
                    "org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2.Player "
                    "PlaybackStatus");
}

// The real program in a directory of its own, against the demo server, under the test's X
// server, window manager and session bus. The session has a runtime folder, as a desktop session
// has: the web engine's sandbox reaches the session bus through a proxy socket it keeps there.
class PlayGuiTest : public ProgramSuite {
 protected:
  static void SetUpTestSuite() {
    // Kept till this test program ends, after the suite's program.
    static test::TempDir runtimeFolder;
    static test::ScopedVariable runtimeVariable("XDG_RUNTIME_DIR", runtimeFolder.Path().string());
    ProgramSuite::SetUpTestSuite();
    ASSERT_TRUE(PortalShowsItsTiles());
  }

  static size_t LogSize() { return run_->server.RequestLog().size(); }

  static std::string FirstLine(std::string_view file) {
    std::string text = run_->folder.Read(file);
    return text.substr(0, text.find("\r\n"));
  }

  // Brings the history list to the front and points at its first row, waiting until the row
  // shows it is under the pointer: the list is loaded, laid out and its script has run.
  static ::testing::AssertionResult PointAtFirstHistoryRow() {
    ClickInMainWindow(kHistoryListTab);
    Point row = InMainWindow(kFirstHistoryRow);
    return HoverUntil("the first history row to show the pointer over it", row,
                      [&] { return ScreenPixel(row.x + 130, row.y - 10) == kHoveredRow; });
  }
};

// The demo item plays a video, which the desktop's media controls see playing and can pause.
TEST_F(PlayGuiTest, ClickedTilePlaysAndIsRecordedItsHistoryRowOpensItAndItsDeleteLinkRemovesIt) {
  std::vector<guint32> playerTab = TabCell(kPlayerTab);
  size_t from = LogSize();
  ClickInMainWindow(PortalTile(0));                      // item 101
  ASSERT_TRUE(run_->Asked("GET /box/play.htm?", from));  // the player page
  ASSERT_TRUE(run_->Asked("GET /box/media/demo.webm 200", from));
  std::string player;
  ASSERT_TRUE(WaitFor("an MPRIS player of the program that is playing", 10s,
                      [&] {
                        player = MediaPlayerName();
                        return !player.empty() && PlaybackStatus(player) == "(<'Playing'>,)\n";
                      }))
      << "player \"" << player << "\"";
  EXPECT_EQ(
      CallPlayer(player, "org.freedesktop.DBus.Properties.Get org.mpris.MediaPlayer2 Identity"),
      "(<'Lumora'>,)\n");
  EXPECT_EQ(CallPlayer(player, "org.mpris.MediaPlayer2.Player.Pause"), "()\n");
  EXPECT_TRUE(WaitFor("the player paused from the bus", 5s, [&] {
    return PlaybackStatus(player) == "(<'Paused'>,)\n";
  })) << PlaybackStatus(player);
  EXPECT_TRUE(WaitFor("the play recorded first in date.dat", 5s, [] {
    return FirstLine("date.dat").starts_with("101|");
  })) << FirstLine("date.dat");
  EXPECT_TRUE(WaitFor("the play list page to hold the play", 5s, [] {
    return run_->folder.Read("c.htm").find("open://1>") != std::string::npos;
  }));
  EXPECT_TRUE(WaitFor("the player tab to be marked selected", 5s,
                      [&] { return TabCell(kPlayerTab) != playerTab; }));

  // The history row opens the episode played, and its delete link removes it.
  ClickInMainWindow(kPlayerTab);
  ASSERT_TRUE(PointAtFirstHistoryRow());
  from = LogSize();
  ClickInMainWindow(kFirstHistoryRow);
  ASSERT_TRUE(run_->Asked("GET /box/pp.htm?101-0-0-", from, 5s));  // the information page
  std::string info = run_->server.RequestLog()[*run_->Find("GET /box/pp.htm?", from)];
  EXPECT_TRUE(info.ends_with("-00 200")) << info;
  // The information page starts the recorded episode, which records the entry again.
  ASSERT_TRUE(run_->Asked("GET /box/play.htm?m/101/0/1", from, 5s));
  ASSERT_TRUE(WaitFor("the play recorded again", 5s,
                      [] { return FirstLine("date.dat").starts_with("101|"); }));

  // Opening brought the information list to the front; the row's delete icon shows only under
  // the pointer.
  ASSERT_TRUE(PointAtFirstHistoryRow());
  ClickInMainWindow(kFirstRowDelete);
  EXPECT_TRUE(WaitFor("the entry to leave date.dat", 5s, [] {
    return !run_->folder.Read("date.dat").starts_with("101|");
  })) << run_->folder.Read("date.dat");
  EXPECT_EQ(run_->folder.Read("c.htm").find("open://1>"), std::string::npos);
}

}  // namespace
}  // namespace lumora::gui
