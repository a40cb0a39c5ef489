#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "app/Startup.h"
#include "content/HistoryStore.h"
#include "content/PlayListFormat.h"
#include "core/FileIo.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

TEST(CrashSafetyTest, FilesStayWholeAndAgreeAfterKillsAtRandomMoments) {
  test::TempDir dir;
  headless::HeadlessPlatform platform;
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> pause(1, 25);
  for (int round = 0; round < 120; ++round) {
    RunStartup(dir.Path(), platform.GetNetworkAdapters(), platform.GetClock());
    RemoveLeftoverTemporaries(dir.Path(), {kSettingsFile, kPlayListFile, kHistoryPageFile});
    // Every list line has its seven fields, every setting is there, the page shows the list.
    std::optional<std::string> list = ReadFileBytes(dir / "date.dat");
    ASSERT_TRUE(list) << "after kill " << round;
    std::vector<std::string_view> lines = SplitLines(*list);
    for (std::string_view line : lines) {
      std::string decoded = GbkToUtf8(line);
      ASSERT_TRUE(decoded.empty() || SplitFields(decoded, "|").size() == 7u) << decoded;
    }
    for (const char* key : {"ts", "quit", "s_size", "h_w", "h_h"}) {
      EXPECT_NE(IniRead(dir / "config.dll", "S_q", key, "missing"), "missing") << key;
    }
    EXPECT_EQ(dir.Read("c.htm"), Utf8ToGbk(RenderHistoryPage(lines) + "\r\n")) << round;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
      EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
    }
    pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {  // plays and stores window sizes as fast as it can, until it is killed
      HistoryPage page(dir.Path(), nullptr);
      HistoryStore store(dir.Path(), page);
      for (int i = round * 1000;; ++i) {
        store.AppendHistory(i % 150, "%u4E2D" + std::to_string(i), "E", "B", i, 1, 0);
        if (i % 7 == 0) store.RemoveHistory(kPlayListFile, 2);
        IniWrite(dir / kSettingsFile, "S_q", "h_w", std::to_string(i));
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
    kill(writer, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
  }
}

}  // namespace
}  // namespace lumora
