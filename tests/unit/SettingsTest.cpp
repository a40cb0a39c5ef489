// The program's files: the settings file, the folder they are kept in and how they survive a kill.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>
#include <tuple>

#include "app/DataFolder.h"
#include "app/Startup.h"
#include "content/HistoryStore.h"
#include "content/PlayListFormat.h"
#include "core/FileIo.h"
#include "core/Settings.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
 protected:
  std::string Read(std::string_view section, std::string_view key) {
    return IniRead(dir_ / "config.dll", section, key, "0");
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) {
    return IniWrite(dir_ / "config.dll", section, key, value);
  }
  test::TempDir dir_;
};

TEST_F(SettingsTest, ReadFindsTheFirstMatchingSectionAndKeyIgnoringCaseAndBlanksAndCutsTheValue) {
  EXPECT_EQ(Read("S_q", "h_w"), "0") << "no file";
  dir_.Write("config.dll",
             "[USER]\r\nNAME=0A-1B\r\n[ S_q ]\r\n  h_w  =  14850  \r\nempty=\r\n"
             "[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\nother=4\r\n");
  // Blanks around names and values are no part of them; the first matching section and key win.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"user", "Name", "0A-1B"}, {"s_Q", "H_W", "14850"}, {"S_q", "empty", ""}, {"a", "k", "1"},
      {"a", "other", "0"},       {"S_q", "ts", "0"},      {"Skin", "h_w", "0"}};
  for (auto [section, key, value] : cases) {
    EXPECT_EQ(Read(section, key), value) << section << "/" << key;
  }
  // Lone CRs end lines too, and a 1 MiB line is read; any other bytes are left to the fuzz target.
  dir_.Write("config.dll", "[S_q]\rts=2\r" + std::string(1 << 20, '=') + "[x");
  EXPECT_EQ(Read("S_q", "ts"), "2");

  dir_.Write("config.dll", "[s]\r\nlong=" + std::string(300, 'x') + "\r\n");
  EXPECT_EQ(Read("s", "long"), std::string(254, 'x'));
  // 127 double-byte characters are 254 bytes; one more would be cut in half.
  std::string chinese;
  for (int i = 0; i < 128; ++i) chinese += "中";
  dir_.Write("config.dll", "[s]\r\nlong=x" + Utf8ToGbk(chinese) + "\r\n");
  EXPECT_EQ(Read("s", "long"), std::string("x").append(chinese, 0, 126 * 3));
}

TEST_F(SettingsTest, WriteCreatesOrReplacesInPlaceInCrLfGbkKeepingOtherLinesEvenABareName) {
  EXPECT_FALSE(IniWrite(dir_ / "nowhere/config.dll", "a", "b", "c"));
  ASSERT_TRUE(Write("main", "Name", "Lumora"));
  ASSERT_TRUE(Write("S_q", "ts", "3"));
  ASSERT_TRUE(Write("main", "Title", "影视"));
  EXPECT_EQ(dir_.Read("config.dll"),
            "[main]\r\nName=Lumora\r\nTitle=" + Utf8ToGbk("影视") + "\r\n[S_q]\r\nts=3\r\n");
  EXPECT_EQ(dir_.FileCount(), 1u) << "no temporary files";
  ASSERT_TRUE(Write("S_q", "quit", "1\r\nh_w=2"));
  EXPECT_EQ(Read("S_q", "h_w"), "0") << "a line break in a value made a key";

  dir_.Write("config.dll",
             "; comment\r\n[S_q]\r\nts = 3\r\n\r\nweird line\xff\xfe\r\n[Ver]\nName=8.0\n"
             "[User]\r\nName=x");
  ASSERT_TRUE(Write("s_q", "TS", "1"));
  ASSERT_TRUE(Write("ver", "name", "9.0"));
  ASSERT_TRUE(Write("S_q", "quit", "2"));
  ASSERT_TRUE(Write("User", "extra", "y"));
  EXPECT_EQ(dir_.Read("config.dll"),
            "; comment\r\n[S_q]\r\nts=1\r\n\r\nweird line\xff\xfe\r\nquit=2\r\n[Ver]\nName=9.0\n"
            "[User]\r\nName=x\r\nextra=y\r\n");

  // A bare name line is a key without a value, which writing the key repairs in place.
  dir_.Write("config.dll", "[S_q]\r\n quit \r\nquit=1\r\n; ts\r\nts=3\r\n");
  EXPECT_EQ(Read("S_q", "quit"), "0") << "the bare line hides the later one";
  EXPECT_EQ(Read("S_q", "ts"), "3") << "a comment is no key";
  ASSERT_TRUE(Write("S_q", "QUIT", "2"));
  EXPECT_EQ(dir_.Read("config.dll"), "[S_q]\r\nquit=2\r\nquit=1\r\n; ts\r\nts=3\r\n");
  EXPECT_EQ(Read("S_q", "quit"), "2");
}

// A settings file kept elsewhere behind a link (here two, the first relative) stays there: the
// write lands in the file at the end and leaves the links, and no temporary file, behind.
TEST_F(SettingsTest, WriteGoesThroughSymbolicLinksToTheFileTheyNameAndKeepsThem) {
  fs::create_directories(dir_ / "kept");
  dir_.Write("kept/config.dll", "[S_q]\r\nts=3\r\n");
  fs::create_symlink(dir_ / "kept" / "config.dll", dir_ / "kept" / "link");
  fs::create_symlink(fs::path("kept") / "link", dir_ / "config.dll");
  ASSERT_TRUE(Write("S_q", "ts", "1"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "config.dll"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "kept" / "link"));
  EXPECT_EQ(dir_.Read("kept/config.dll"), "[S_q]\r\nts=1\r\n");
  auto entries = [](const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
  };
  EXPECT_EQ(std::pair(entries(dir_.Path()), entries(dir_ / "kept")), std::pair(2L, 2L));
}

TEST(CrashSafetyTest, FilesStayWholeAndAgreeAfterKillsAtRandomMoments) {
  test::TempDir dir;
  headless::HeadlessPlatform platform;
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> pause(1, 25);
  for (int round = 0; round < 120; ++round) {
    RunStartup(dir.Path(), platform.GetNetworkAdapters(), platform.GetClock());
    RemoveLeftoverTemporaries(dir.Path(), {kSettingsFile, kPlayListFile, kHistoryPageFile});
    // Every list line has its seven fields, every setting is there, the page shows the list.
    std::string list = dir.Read("date.dat");  // "<missing>", which is no entry, when there is none
    std::vector<std::string_view> lines = SplitLines(list);
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

// The per-user folder may exist already, made by another hand: it is used only as the user's own
// folder, private whatever its mode was, since the program trusts what it finds there.
TEST(DataFolderTest, BesideAWritablePortableCopyElseAPrivateFolderOfTheUsersOwnOrABoxSaysWhyNot) {
  test::TempDir dir;
  DataFolderInputs inputs{dir / "bin", false, true, (dir / "xdg").string(),
                          (dir / "home").string()};
  EXPECT_EQ(ChooseDataFolder(inputs).folder, dir / "bin");
  EXPECT_FALSE(fs::exists(dir / "xdg"));

  fs::path folder = dir / "xdg" / "lumora";
  for (auto [installed, writable] : {std::pair{true, true}, {false, false}}) {
    fs::remove_all(dir / "xdg");
    inputs.installed = installed;
    inputs.executableDirWritable = writable;
    DataFolderChoice choice = ChooseDataFolder(inputs);
    EXPECT_EQ(std::pair(choice.folder, choice.failure), std::pair(folder, std::string()));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  for (fs::perms mode : {fs::perms::all, fs::perms::owner_all | fs::perms::group_all,
                         fs::perms::owner_read | fs::perms::owner_exec}) {
    fs::permissions(folder, mode);
    EXPECT_EQ(ChooseDataFolder(inputs).failure, "");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
  }
  // An unset or relative XDG_DATA_HOME is ignored: the default folder under HOME.
  for (const char* xdg : {"", "relative/data"}) {
    inputs.xdgDataHome = xdg;
    EXPECT_EQ(ChooseDataFolder(inputs).folder, dir / "home" / ".local" / "share" / "lumora");
  }

  // A folder that cannot be used is named in the box and left as it is; the program does not run.
  auto refusal = [&inputs] {
    headless::HeadlessDesktop desktop;
    EXPECT_EQ(OpenDataFolder(desktop, inputs), std::nullopt);
    std::string told;
    for (const headless::ShownMessage& box : desktop.Messages()) told += box.title + box.text;
    return told;
  };
  auto box = [](const fs::path& folder, const std::string& reason) {
    return "提示：无法保存设置和播放列表：文件夹 " + folder.string() + " 不能写入（" + reason +
           "）。程序将退出。";
  };
  inputs.xdgDataHome = (dir / "xdg").string();
  fs::permissions(folder, fs::perms::all);
  inputs.user = geteuid() + 1;
  EXPECT_EQ(refusal(), box(folder, "属于另一个用户"));
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::all);
  inputs.user = geteuid();
  // A file in the folder's place, or in the place of the folder above it.
  fs::remove_all(folder);
  dir.Write("xdg/lumora", "");
  EXPECT_EQ(refusal(), box(folder, "Not a directory"));
  dir.Write("file", "");
  inputs.xdgDataHome = (dir / "file").string();
  EXPECT_EQ(refusal(), box(dir / "file" / "lumora", "Not a directory"));
  // Without HOME there is no folder to name: the box says what is missing.
  inputs.home = "";
  inputs.xdgDataHome = "";
  EXPECT_EQ(
      refusal(),
      "提示：无法保存设置和播放列表：XDG_DATA_HOME 和 HOME 都没有设置，找不到存放它们的文件夹。"
      "程序将退出。");
}

}  // namespace
}  // namespace lumora
