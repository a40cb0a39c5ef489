#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "server/DemoServer.h"
#include "tests/gui/GuiSupport.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

using namespace gui;
using namespace std::chrono_literals;

struct Box {
  int x = -1, y = -1, width = -1, height = -1;
};

Box GeometryOf(const std::string& id) {
  std::string shell = Shell("xdotool getwindowgeometry --shell " + id);
  auto value = [&](const char* key) {
    std::smatch match;
    std::regex pattern(std::string(key) + "=(-?[0-9]+)");
    return std::regex_search(shell, match, pattern) ? std::stoi(match[1]) : -1;
  };
  return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The real program against the demo server, whose control file switches the ticker on, with a fake
// default web browser that writes the addresses it is given to a file.
class ExtrasGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Start(LUMORA_DEMO_PORT);
    RegisterFakeBrowser();
    std::filesystem::copy_file(LUMORA_BINARY, appDir_.Path() / "lumora");
    program_ = StartProcess((appDir_.Path() / "lumora").string());
    mainId_ = MainWindowId();
    ASSERT_FALSE(mainId_.empty());
  }
  void TearDown() override { StopProcess(program_); }

  void RegisterFakeBrowser() {
    std::filesystem::path applications = desktop_.Path() / "data" / "applications";
    std::filesystem::create_directories(applications);
    std::filesystem::create_directories(desktop_.Path() / "config");
    std::ofstream(applications / "fake-browser.desktop")
        << "[Desktop Entry]\nType=Application\nName=Fake browser\n"
        << "Exec=sh -c 'echo \"$1\" >> " << opened_.string() << "' sh %u\n"
        << "MimeType=x-scheme-handler/http;x-scheme-handler/https;\n";
    std::ofstream(desktop_.Path() / "config" / "mimeapps.list")
        << "[Default Applications]\nx-scheme-handler/http=fake-browser.desktop\n"
        << "x-scheme-handler/https=fake-browser.desktop\n";
    g_setenv("XDG_DATA_HOME", (desktop_.Path() / "data").c_str(), TRUE);
    g_setenv("XDG_CONFIG_HOME", (desktop_.Path() / "config").c_str(), TRUE);
  }

  test::TempDir appDir_;
  test::TempDir desktop_;
  std::filesystem::path opened_ = desktop_.Path() / "opened.txt";
  DemoServer server_{LUMORA_TEST_SITE_DIR};
  GPid program_ = 0;
  std::string mainId_;
};

// Runs once the update check is in: about 6 s after start the ticker shows its first item at the
// bottom right of the main window; a click on an item with a link reaches the user's browser.
// The list's third item has no link, so a click that meets it is tried again on the next item.
TEST_F(ExtrasGuiTest, TickerClickOpensTheItemInTheDefaultBrowser) {
  Box main = GeometryOf(mainId_);
  int x = main.x + main.width - 310 + 30;
  int y = main.y + main.height - 33 + 14;
  Pause(8s);
  bool opened = false;
  for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
    Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    Pause(300ms);
    Shell("xdotool click 1");
    opened = WaitUntil([&] { return !ReadFile(opened_).empty(); }, 3s);
    // Over the bare panel the hold ends, and the next item comes up.
    Shell("xdotool mousemove " + std::to_string(x + 250) + " " + std::to_string(y - 12));
    if (!opened) Pause(6s);
  }
  ASSERT_TRUE(opened) << "no address reached the default browser";
  EXPECT_EQ(ReadFile(opened_), server_.SiteUrl() + "\n");
}

}  // namespace
}  // namespace lumora
