#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "core/Settings.h"
#include "server/DemoServer.h"
#include "tests/gui/GuiSupport.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using std::chrono::seconds;
using namespace gui;

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};

Box WindowBox(const std::string& id) {
  std::string shell = Shell("xdotool getwindowgeometry --shell " + id);
  auto value = [&](const char* key) {
    std::smatch match;
    std::regex pattern(std::string("\n") + key + "=(-?[0-9]+)");
    return std::regex_search(shell, match, pattern) ? std::stoi(match[1]) : -1;
  };
  return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

void ClickAt(int x, int y) {
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

std::set<std::string> MappedTopWindows() {
  std::vector<std::string> ids =
      Lines(Shell("xdotool search --onlyvisible --maxdepth 1 --name ''"));
  return {ids.begin(), ids.end()};
}

// The visible dialog's window id, "" while there is none.
std::string DialogId() {
  std::vector<std::string> ids = Lines(Shell("xdotool search --onlyvisible --name ^软件设置$"));
  return ids.size() == 1 ? ids.front() : std::string();
}

// Points of the dialog, from its top-left corner: the settings page starts at (132, 30).
struct DialogPoint {
  int x, y;
};
constexpr DialogPoint kHideToTrayBox{132 + 40 + 6, 30 + 56 + 8};
constexpr DialogPoint kBalloonBox{132 + 40 + 6, 30 + 88 + 8};
constexpr DialogPoint kOkButton{2 + 184 + 36, 30 + 248 + 12};
constexpr DialogPoint kCancelButton{2 + 280 + 36, 30 + 248 + 12};
constexpr DialogPoint kApplyButton{2 + 368 + 36, 30 + 248 + 12};
constexpr DialogPoint kAboutTab{60, 30 + 31 + 24};
constexpr DialogPoint kSiteLink{132 + 56 + 30, 30 + 180 + 6};

// The real program with a fake default web browser: a handler for http addresses registered in
// a data folder of the test's own, which writes the address it is given to a file.
class SettingsDialogGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdk_init(nullptr, nullptr);
    desktop_ = new test::TempDir();
    RegisterFakeBrowser();
    server_ = new DemoServer(LUMORA_TEST_SITE_DIR);
    server_->Start(LUMORA_DEMO_PORT);
    appDir_ = new test::TempDir();
    std::filesystem::copy_file(LUMORA_BINARY, appDir_->Path() / "lumora");
    program_ = StartProcess((appDir_->Path() / "lumora").string());
    ASSERT_TRUE(WaitUntil([] { return LumoraWindows().size() == 1; }, seconds(20)));
  }

  static void TearDownTestSuite() {
    StopProcess(program_);
    delete appDir_;
    delete server_;
    delete desktop_;
  }

  static void RegisterFakeBrowser() {
    std::filesystem::path data = desktop_->Path() / "data";
    std::filesystem::create_directories(data / "applications");
    desktop_->Write("browser.sh",
                    "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened\"\n");
    std::filesystem::permissions(desktop_->Path() / "browser.sh",
                                 std::filesystem::perms::owner_all);
    desktop_->Write("data/applications/fake-browser.desktop",
                    "[Desktop Entry]\nType=Application\nName=Fake browser\nExec=" +
                        (desktop_->Path() / "browser.sh").string() +
                        " %u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n");
    desktop_->Write("mimeapps.list",
                    "[Default Applications]\nx-scheme-handler/http=fake-browser.desktop\n"
                    "x-scheme-handler/https=fake-browser.desktop\n");
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CONFIG_HOME", desktop_->Path().c_str(), 1);
  }

  // Opens the program menu with the caption's menu button and clicks its first item.
  static bool OpenSettingsFromTheMenu() {
    Box main = WindowBox(MainWindowId());
    std::set<std::string> before = MappedTopWindows();
    ClickAt(main.x + main.width - 160 + 30, main.y + 17);
    std::string popup;
    WaitUntil(
        [&] {
          // New windows of the toolkit's own too small to be the menu are not it.
          for (const std::string& id : MappedTopWindows()) {
            if (!before.contains(id) && WindowBox(id).width >= 50) popup = id;
          }
          return !popup.empty();
        },
        seconds(5));
    if (popup.empty()) return false;
    Pause(std::chrono::milliseconds(500));  // as a user would look before choosing
    Box menu = WindowBox(popup);
    ClickAt(menu.x + 30, menu.y + 16);
    return WaitUntil([] { return !DialogId().empty(); }, seconds(5));
  }

  static void ClickDialog(DialogPoint point) {
    Box dialog = WindowBox(DialogId());
    ClickAt(dialog.x + point.x, dialog.y + point.y);
  }

  static std::string Setting(const char* key) {
    return IniRead(appDir_->Path() / "config.dll", "S_q", key, "0");
  }

  static test::TempDir* desktop_;
  static DemoServer* server_;
  static test::TempDir* appDir_;
  static GPid program_;
};

test::TempDir* SettingsDialogGuiTest::desktop_ = nullptr;
DemoServer* SettingsDialogGuiTest::server_ = nullptr;
test::TempDir* SettingsDialogGuiTest::appDir_ = nullptr;
GPid SettingsDialogGuiTest::program_ = 0;

TEST_F(SettingsDialogGuiTest, BoxChangedAndAppliedSurvivesCancelAndReopening) {
  ASSERT_EQ(Setting("quit"), "2");
  ASSERT_TRUE(OpenSettingsFromTheMenu());
  Box dialog = WindowBox(DialogId());
  EXPECT_EQ(dialog.width, 472);
  EXPECT_EQ(dialog.height, 313);
  char mainWindow[32];
  snprintf(mainWindow, sizeof mainWindow, "window id # 0x%lx", std::stoul(MainWindowId()));
  EXPECT_NE(Shell("xprop -id " + DialogId() + " WM_TRANSIENT_FOR").find(mainWindow),
            std::string::npos)
      << "owned by the main window";
  EXPECT_NE(Shell("xprop -id " + DialogId() + " _NET_WM_STATE").find("SKIP_TASKBAR"),
            std::string::npos)
      << "the taskbar is left to the main window";
  ClickDialog(kHideToTrayBox);
  ClickDialog(kApplyButton);
  EXPECT_TRUE(WaitUntil([] { return Setting("quit") == "1"; }, seconds(5)));
  EXPECT_EQ(Setting("tip"), "2");
  EXPECT_FALSE(DialogId().empty()) << "apply leaves the dialog open";

  ClickDialog(kBalloonBox);
  ClickDialog(kCancelButton);
  EXPECT_TRUE(WaitUntil([] { return DialogId().empty(); }, seconds(5)));
  EXPECT_EQ(Setting("tip"), "2") << "cancel writes nothing";

  ASSERT_TRUE(OpenSettingsFromTheMenu());
  ClickDialog(kHideToTrayBox);
  ClickDialog(kBalloonBox);
  ClickDialog(kOkButton);
  EXPECT_TRUE(WaitUntil([] { return DialogId().empty(); }, seconds(5)));
  EXPECT_EQ(Setting("quit"), "2") << "the box came back unticked from the file";
  EXPECT_EQ(Setting("tip"), "1");
}

TEST_F(SettingsDialogGuiTest, SiteLinkOpensTheDefaultBrowser) {
  ASSERT_TRUE(OpenSettingsFromTheMenu());
  ClickDialog(kAboutTab);
  Pause(std::chrono::milliseconds(300));
  ClickDialog(kSiteLink);
  EXPECT_TRUE(WaitUntil([] { return desktop_->Exists("opened"); }, seconds(10)));
  EXPECT_EQ(desktop_->Read("opened"),
            "http://127.0.0.1:" + std::to_string(LUMORA_DEMO_PORT) + "/\n");
  ClickDialog(kCancelButton);
  EXPECT_TRUE(WaitUntil([] { return DialogId().empty(); }, seconds(5)));
}

}  // namespace
}  // namespace lumora
