#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>

#include "core/Settings.h"
#include "server/DemoServer.h"
#include "tests/gui/GuiSupport.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using Clock = std::chrono::steady_clock;
using namespace gui;

struct WindowInfo {
  std::string id;
  int x = 0, y = 0, width = 0, height = 0;
};

WindowInfo Geometry(const std::string& id) {
  WindowInfo info{id};
  std::string shell = Shell("xdotool getwindowgeometry --shell " + id);
  auto value = [&](const char* key) {
    std::smatch match;
    std::regex pattern(std::string(key) + "=(-?[0-9]+)");
    return std::regex_search(shell, match, pattern) ? std::stoi(match[1]) : -1;
  };
  info.x = value("X");
  info.y = value("Y");
  info.width = value("WIDTH");
  info.height = value("HEIGHT");
  return info;
}

void Click(int x, int y) {
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

struct Pixbuf {
  ~Pixbuf() { g_clear_object(&pixbuf); }
  guint32 At(int x, int y) const {
    const guchar* p = gdk_pixbuf_read_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                      x * gdk_pixbuf_get_n_channels(pixbuf);
    return (p[0] << 16) | (p[1] << 8) | p[2];
  }
  GdkPixbuf* pixbuf = nullptr;
};

// The real program in a directory of its own, against the demo server, under the test's X
// server, window manager and session bus.
class MainWindowGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    server_ = new DemoServer(LUMORA_TEST_SITE_DIR);
    server_->Start(LUMORA_DEMO_PORT);
    appDir_ = new test::TempDir();
    std::filesystem::copy_file(LUMORA_BINARY, appDir_->Path() / "lumora");
    program_ = Start();
    ASSERT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, std::chrono::seconds(20)));
  }

  static void TearDownTestSuite() {
    StopProcess(program_);
    delete appDir_;
    delete server_;
  }

  static GPid Start() { return StartProcess((appDir_->Path() / "lumora").string()); }

  static bool ServerSaw(const std::string& target) {
    for (const std::string& line : server_->RequestLog()) {
      if (line.find(" " + target + " ") != std::string::npos) return true;
    }
    return false;
  }

  static Pixbuf Screenshot() {
    GdkWindow* root = gdk_get_default_root_window();
    return {gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                       gdk_window_get_height(root))};
  }

  static DemoServer* server_;
  static test::TempDir* appDir_;
  static GPid program_;
};

DemoServer* MainWindowGuiTest::server_ = nullptr;
test::TempDir* MainWindowGuiTest::appDir_ = nullptr;
GPid MainWindowGuiTest::program_ = 0;

TEST_F(MainWindowGuiTest, ViewsReachTheirStartPagesAndThePingCarriesTheUserId) {
  std::string id = IniRead(appDir_->Path() / "config.dll", "User", "Name", "0");
  std::vector<std::string> pages = {
      "/box/",          "/box/tj/tj.asp?id=" + id, "/box/tv/list.htm",
      "/box/tv/ad.htm", "/box/js/ads/bo.html",     "/box/js/ads/tao.html"};
  EXPECT_TRUE(WaitUntil([&] { return std::all_of(pages.begin(), pages.end(), ServerSaw); },
                        std::chrono::seconds(20)));
  for (const std::string& page : pages) EXPECT_TRUE(ServerSaw(page)) << page;
  EXPECT_TRUE(appDir_->Exists("c.htm"));
  EXPECT_TRUE(appDir_->Exists("i.gif"));
}

TEST_F(MainWindowGuiTest, WindowMapsAtItsSizeWithRoundedCorners) {
  WindowInfo window = Geometry(MainWindowId());
  EXPECT_EQ(window.width, 990);
  EXPECT_EQ(window.height, 655);
  // Give the views time to paint before the picture is kept.
  Pause(std::chrono::seconds(3));
  Pixbuf shot = Screenshot();
  std::filesystem::create_directories(LUMORA_ARTIFACT_DIR);
  gdk_pixbuf_save(shot.pixbuf, LUMORA_ARTIFACT_DIR "/main-window.png", "png", nullptr, nullptr);
  guint32 desktop = shot.At(2, 2);
  EXPECT_EQ(shot.At(window.x, window.y), desktop) << "the corner is cut away";
  EXPECT_EQ(shot.At(window.x + window.width - 1, window.y + window.height - 1), desktop);
  EXPECT_NE(shot.At(window.x + 10, window.y), desktop) << "the frame's top edge is there";
  EXPECT_NE(shot.At(window.x, window.y + 10), desktop);
}

TEST_F(MainWindowGuiTest, MaximiseButtonFillsTheWorkAreaAndRestores) {
  WindowInfo before = Geometry(MainWindowId());
  Click(before.x + before.width - 54 + 10, before.y + 17);
  EXPECT_TRUE(WaitUntil(
      [&] {
        WindowInfo now = Geometry(before.id);
        GdkRectangle area;
        gdk_monitor_get_workarea(gdk_display_get_primary_monitor(gdk_display_get_default()), &area);
        return now.x == area.x && now.y == area.y && now.width == area.width &&
               now.height == area.height;
      },
      std::chrono::seconds(5)));
  Pause(std::chrono::milliseconds(500));  // as a user would pause
  WindowInfo maximised = Geometry(before.id);
  Click(maximised.x + maximised.width - 54 + 10, maximised.y + 17);
  EXPECT_TRUE(WaitUntil([&] { return Geometry(before.id).width == before.width; },
                        std::chrono::seconds(5)));
}

TEST_F(MainWindowGuiTest, SecondStartHandsOverWithinASecondAndLeavesOneWindow) {
  auto start = Clock::now();
  GPid second = Start();
  int status = -1;
  ASSERT_TRUE(WaitUntil([&] { return waitpid(second, &status, WNOHANG) == second; },
                        std::chrono::seconds(5)));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  Pause(std::chrono::milliseconds(500));
  EXPECT_EQ(LumoraWindows().size(), 1u);
  EXPECT_EQ(waitpid(program_, nullptr, WNOHANG), 0) << "the first instance runs on";
}

}  // namespace
}  // namespace lumora
