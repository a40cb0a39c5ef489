#include <gtest/gtest.h>

#include "app/DataFolder.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

TEST(DataFolderTest, OnlyAWritablePortableCopyKeepsItsFilesBesideTheExecutable) {
  test::TempDir dir;
  DataFolderInputs inputs{dir / "bin", false, true, (dir / "xdg").string(),
                          (dir / "home").string()};
  EXPECT_EQ(ChooseDataFolder(inputs).folder, dir / "bin");
  EXPECT_FALSE(fs::exists(dir / "xdg"));

  for (auto [installed, writable] : {std::pair{true, true}, {false, false}}) {
    fs::remove_all(dir / "xdg");
    inputs.installed = installed;
    inputs.executableDirWritable = writable;
    DataFolderChoice choice = ChooseDataFolder(inputs);
    EXPECT_EQ(choice.folder, dir / "xdg" / "lumora");
    EXPECT_EQ(choice.failure, "");
    EXPECT_EQ(fs::status(choice.folder).permissions() & fs::perms::all, fs::perms::owner_all);
  }
  // An unset or relative XDG_DATA_HOME is ignored: the default folder under HOME.
  for (const char* xdg : {"", "relative/data"}) {
    inputs.xdgDataHome = xdg;
    EXPECT_EQ(ChooseDataFolder(inputs).folder, dir / "home" / ".local" / "share" / "lumora");
  }
}

TEST(DataFolderTest, FolderThatCannotBeMadeIsReportedAndTheProgramDoesNotRun) {
  test::TempDir dir;
  dir.Write("file", "");
  headless::HeadlessDesktop desktop;
  DataFolderInputs inputs{dir / "bin", true, true, (dir / "file").string(), ""};
  EXPECT_EQ(OpenDataFolder(desktop, inputs), std::nullopt);
  inputs.xdgDataHome = "";
  EXPECT_EQ(OpenDataFolder(desktop, inputs), std::nullopt);
  ASSERT_EQ(desktop.Messages().size(), 2u);
  EXPECT_EQ(desktop.Messages()[0].title, "提示：");
  EXPECT_NE(desktop.Messages()[0].text.find((dir / "file" / "lumora").string() + " "),
            std::string::npos);
  EXPECT_NE(desktop.Messages()[0].text.find("Not a directory"), std::string::npos);
  EXPECT_NE(desktop.Messages()[1].text.find("HOME"), std::string::npos);
}

}  // namespace
}  // namespace lumora
