#include <gdk/gdk.h>
#include <gio/gio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/gui/GuiSupport.h"
#include "tests/support/BusMonitor.h"
#include "tests/support/FakeBusService.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;
using namespace gui;

struct Origin {
  int x = 0, y = 0;
};

// The main window's place on the screen.
Box Window() {
  return GeometryOf(MainWindowId());
}

// Points in window coordinates; the window is at its default 990 x 655 throughout.
void MoveTo(int x, int y) {
  Box window = Window();
  Shell("xdotool mousemove " + std::to_string(window.x + x) + " " + std::to_string(window.y + y));
}

void ClickInWindow(int x, int y, int button = 1) {
  Box window = Window();
  Click(window.x + x, window.y + y, button);
}

// The pixels of the 68 x 28 page tab cell around this centre.
std::vector<guint32> TabCell(Origin centre) {
  Box window = Window();
  g_autoptr(GdkPixbuf) shot = gdk_pixbuf_get_from_window(
      gdk_get_default_root_window(), window.x + centre.x - 34, window.y + centre.y - 14, 68, 28);
  std::vector<guint32> pixels;
  if (shot == nullptr) return pixels;
  const guchar* data = gdk_pixbuf_read_pixels(shot);
  int stride = gdk_pixbuf_get_rowstride(shot);
  int channels = gdk_pixbuf_get_n_channels(shot);
  for (int y = 0; y < 28; ++y) {
    for (int x = 0; x < 68; ++x) {
      const guchar* p = data + y * stride + x * channels;
      pixels.push_back((p[0] << 16) | (p[1] << 8) | p[2]);
    }
  }
  return pixels;
}

// The colour of the screen at this window point.
guint32 PixelAt(int x, int y) {
  Box window = Window();
  return ScreenPixel(window.x + x, window.y + y);
}

// The channel list's number badges.
constexpr guint32 kChannelBadge = 0x3B4652;

constexpr char kNotificationDaemon[] = "/usr/lib/notification-daemon/notification-daemon";

// Page tabs, 68 x 28 from (20, 8): portal, player, TV, shopping.
constexpr Origin kPortalTab{20 + 34, 22};
constexpr Origin kPlayerTab{88 + 34, 22};
constexpr Origin kTvTab{156 + 34, 22};

// The portal view fills the page area from (7, 41), overlapping it by 2 pixels on every side:
// a 980 pixel wide page of four 228 pixel columns, 12 apart after 16 of padding, below a
// 41 pixel header and 12 of padding; a tile is 204 high (poster 150).
Origin PortalTile(int index) {
  int column = index % 4;
  int row = index / 4;
  return {5 + 16 + column * 240 + 114, 39 + 41 + 12 + row * 216 + 76};
}

// The player page's list side bar, 202 wide at the page's right edge (window x 781); its tabs
// lie 4 below its top, the lists' views from 28 below it, overlapping by 2.
constexpr Origin kHistoryListTab{781 + 105 + 30, 41 + 4 + 10};
constexpr Origin kFirstHistoryRow{779 + 40, 67 + 12};
constexpr Origin kFirstRowDelete{779 + 197, kFirstHistoryRow.y};
// A history row under the pointer takes this background.
constexpr guint32 kHoveredRow = 0x312D26;
// The TV page: the channel list's view in the same side bar place, below a 29 pixel heading,
// 39 pixels a channel; the close button 18 x 18 at the top right of the 774 wide player area.
constexpr Origin kFirstChannel{779 + 100, 39 + 29 + 19};
constexpr Origin kTvClose{7 + 774 - 9, 41 + 9};

bool NameHasOwner(GDBusConnection* bus, const char* name) {
  g_autoptr(GVariant) reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
      g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
      nullptr);
  gboolean owned = FALSE;
  if (reply) g_variant_get(reply, "(b)", &owned);
  return owned;
}

// The real program in a directory of its own, against the demo server, under the test's X
// server, window manager and session bus, with Debian's notification daemon; the test plays
// the tray host.
class PlayGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    ASSERT_TRUE(bus_);
    watcher_ = new test::FakeBusService("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                        test::kWatcherXml);
    notifications_ = new test::BusMonitor(
        "type='method_call',interface='org.freedesktop.Notifications',member='Notify'");
    notificationDaemon_ = StartProcess(kNotificationDaemon);
    ASSERT_TRUE(
        WaitUntil([] { return NameHasOwner(bus_, "org.freedesktop.Notifications"); }, seconds(10)));
    run_ = new ProgramRun();
    ASSERT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, seconds(20)));
    // The portal paints its tiles once its style sheet is in.
    ASSERT_TRUE(WaitUntil([] { return Saw("GET /box/css/portal.css "); }, seconds(20)));
    Pause(milliseconds(1000));
  }

  static void TearDownTestSuite() {
    delete run_;
    StopProcess(notificationDaemon_);
    delete notifications_;
    delete watcher_;
    g_clear_object(&bus_);
  }

  // The index of the first request log line at or after `from` that starts with `prefix`.
  static std::optional<size_t> Find(const std::string& prefix, size_t from = 0) {
    const std::vector<std::string>& log = run_->server.RequestLog();
    for (size_t i = from; i < log.size(); ++i) {
      if (log[i].starts_with(prefix)) return i;
    }
    return std::nullopt;
  }
  static bool Saw(const std::string& prefix, size_t from = 0) {
    return Find(prefix, from).has_value();
  }
  static size_t LogSize() { return run_->server.RequestLog().size(); }

  static std::string FirstLine(std::string_view file) {
    std::string text = run_->folder.Read(file);
    return text.substr(0, text.find("\r\n"));
  }

  // Brings the history list to the front and points at its first row, waiting until the row
  // shows it is under the pointer: the list is loaded, laid out and its script has run.
  static bool PointAtFirstHistoryRow() {
    ClickInWindow(kHistoryListTab.x, kHistoryListTab.y);
    // A row reloaded under a still pointer learns of it only when the pointer moves.
    int moves = 0;
    return WaitUntil(
        [&] {
          MoveTo(kFirstHistoryRow.x + ++moves % 2, kFirstHistoryRow.y);
          return PixelAt(kFirstHistoryRow.x + 130, kFirstHistoryRow.y - 10) == kHoveredRow;
        },
        seconds(5));
  }

  static bool ItemShown() {
    return std::any_of(watcher_->calls.begin(), watcher_->calls.end(),
                       [](const test::FakeBusService::Call& call) {
                         return call.method == "RegisterStatusNotifierItem";
                       });
  }

  static GDBusConnection* bus_;
  static test::FakeBusService* watcher_;
  static test::BusMonitor* notifications_;
  static GPid notificationDaemon_;
  static ProgramRun* run_;
};

GDBusConnection* PlayGuiTest::bus_ = nullptr;
test::FakeBusService* PlayGuiTest::watcher_ = nullptr;
test::BusMonitor* PlayGuiTest::notifications_ = nullptr;
GPid PlayGuiTest::notificationDaemon_ = 0;
ProgramRun* PlayGuiTest::run_ = nullptr;

TEST_F(PlayGuiTest, ClickedTilePlaysOnThePlayerPageAndIsRecorded) {
  std::vector<guint32> player = TabCell(kPlayerTab);
  std::vector<guint32> portal = TabCell(kPortalTab);
  size_t from = LogSize();
  Origin tile = PortalTile(0);  // item 101
  ClickInWindow(tile.x, tile.y);
  ASSERT_TRUE(WaitUntil([&] { return Saw("GET /box/play.htm?", from); }, seconds(10)));
  std::optional<size_t> data = Find("GET /box/h.asp?id=101&v=0&v1=0 ", from);
  ASSERT_TRUE(data) << "the play data was asked for";
  EXPECT_GT(*Find("GET /box/play.htm?", from), *data);
  EXPECT_TRUE(WaitUntil([] { return FirstLine("date.dat").starts_with("101|"); }, seconds(5)))
      << FirstLine("date.dat");
  EXPECT_TRUE(
      WaitUntil([] { return run_->folder.Read("c.htm").find("open://1>") != std::string::npos; },
                seconds(5)));
  EXPECT_TRUE(WaitUntil([&] { return TabCell(kPlayerTab) != player; }, seconds(5)))
      << "the player tab is marked selected";
  EXPECT_NE(TabCell(kPortalTab), portal);
}

TEST_F(PlayGuiTest, HistoryRowOpensItsEpisodeAndItsDeleteLinkRemovesIt) {
  ASSERT_TRUE(FirstLine("date.dat").starts_with("101|")) << "the tile's play comes first";
  ClickInWindow(kPlayerTab.x, kPlayerTab.y);
  ASSERT_TRUE(PointAtFirstHistoryRow());
  size_t from = LogSize();
  ClickInWindow(kFirstHistoryRow.x, kFirstHistoryRow.y);
  ASSERT_TRUE(WaitUntil([&] { return Saw("GET /box/pp.htm?101-0-0-", from); }, seconds(5)));
  std::string info = run_->server.RequestLog()[*Find("GET /box/pp.htm?", from)];
  EXPECT_TRUE(info.ends_with("-00 200")) << info;
  // The information page starts the recorded episode, which records the entry again.
  ASSERT_TRUE(WaitUntil([&] { return Saw("GET /box/play.htm?m/101/0/1", from); }, seconds(5)));
  ASSERT_TRUE(WaitUntil([] { return FirstLine("date.dat").starts_with("101|"); }, seconds(5)));

  // Opening brought the information list to the front; the row's delete icon shows only under
  // the pointer.
  ASSERT_TRUE(PointAtFirstHistoryRow());
  ClickInWindow(kFirstRowDelete.x, kFirstRowDelete.y);
  EXPECT_TRUE(
      WaitUntil([] { return !run_->folder.Read("date.dat").starts_with("101|"); }, seconds(5)))
      << run_->folder.Read("date.dat");
  EXPECT_EQ(run_->folder.Read("c.htm").find("open://1>"), std::string::npos);
}

TEST_F(PlayGuiTest, ChannelPlaysOnTheTvPageAndItsCloseButtonStopsIt) {
  ClickInWindow(kTvTab.x, kTvTab.y);
  ASSERT_TRUE(WaitUntil(
      [] { return PixelAt(kFirstChannel.x - 85, kFirstChannel.y) == kChannelBadge; }, seconds(5)))
      << "the channel list shows";
  size_t from = LogSize();
  ClickInWindow(kFirstChannel.x, kFirstChannel.y);
  ASSERT_TRUE(WaitUntil([&] { return Saw("GET /box/tv/kavotv.htm?ch=1&", from); }, seconds(5)));
  size_t playing = LogSize();
  ClickInWindow(kTvClose.x, kTvClose.y);
  EXPECT_TRUE(WaitUntil([&] { return Saw("GET /box/tv/ad.htm ", playing); }, seconds(5)));
}

TEST_F(PlayGuiTest, RightClickOnThePortalOpensTheMenuAndEscapeClosesIt) {
  ClickInWindow(kPortalTab.x, kPortalTab.y);
  std::set<std::string> before = MappedTopWindows();
  ClickInWindow(400, 39 + 20, 3);  // the portal's header bar
  std::set<std::string> popups;
  EXPECT_TRUE(WaitUntil(
      [&] {
        popups.clear();
        for (const std::string& id : MappedTopWindows()) {
          if (!before.contains(id)) popups.insert(id);
        }
        return !popups.empty();
      },
      seconds(5)));
  for (const std::string& id : popups) {
    EXPECT_NE(Shell("xwininfo -id " + id).find("Override Redirect State: yes"), std::string::npos);
  }
  Shell("xdotool key Escape");
  EXPECT_TRUE(WaitUntil([&] { return MappedTopWindows() == before; }, seconds(5)));
}

TEST_F(PlayGuiTest, TileWithoutPlayDataShowsTheFailureBalloon) {
  ClickInWindow(kPortalTab.x, kPortalTab.y);
  size_t from = LogSize();
  Origin tile = PortalTile(7);  // item 108
  ClickInWindow(tile.x, tile.y);
  ASSERT_TRUE(WaitUntil([&] { return Saw("GET /box/h.asp?id=108&", from); }, seconds(5)));
  ASSERT_TRUE(WaitUntil([] { return !notifications_->Calls().empty(); }, seconds(5)));
  std::string notify = notifications_->Calls().back();
  EXPECT_NE(notify.find("'Lumora提示:', '读取数据出错，请返回重试！'"), std::string::npos)
      << notify;
  EXPECT_TRUE(
      WaitUntil([] { return !Shell("xdotool search --onlyvisible --name ^Notification$").empty(); },
                seconds(5)))
      << "the notification daemon shows the balloon";
  EXPECT_FALSE(Saw("GET /box/play.htm?", from));
}

TEST_F(PlayGuiTest, TrayItemExportsTheMenuAndItsActivationHidesAndShowsTheWindow) {
  ASSERT_TRUE(WaitUntil(ItemShown, seconds(5)));
  std::string item = test::RegisteredItem(watcher_->calls.front());
  auto activate = [&] {
    g_autoptr(GVariant) reply = g_dbus_connection_call_sync(
        bus_, item.c_str(), "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate",
        g_variant_new("(ii)", 0, 0), nullptr, G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, nullptr);
    return reply != nullptr;
  };
  const char* allProperties[] = {nullptr};
  g_autoptr(GVariant) layout =
      g_dbus_connection_call_sync(bus_, item.c_str(), "/MenuBar", "com.canonical.dbusmenu",
                                  "GetLayout", g_variant_new("(ii^as)", 0, -1, allProperties),
                                  nullptr, G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, nullptr);
  ASSERT_TRUE(layout) << "the program menu is exported for hosts that open it themselves";
  g_autofree char* printed = g_variant_print(layout, FALSE);
  EXPECT_TRUE(
      std::regex_search(printed, std::regex("'软件设置'.*'关于我们'.*'separator'.*'官方主页'"
                                            ".*'升级检测'.*'退出软件'")))
      << printed;
  ASSERT_TRUE(activate());
  EXPECT_TRUE(WaitUntil([] { return LumoraWindows().empty(); }, seconds(5)));
  ASSERT_TRUE(activate());
  EXPECT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, seconds(5)));
}

}  // namespace
}  // namespace lumora
