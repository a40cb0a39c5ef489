#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/DataFolder.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
 protected:
  DataFolderInputs Inputs(bool installed, bool writable) {
    fs::create_directories(dir_ / "bin");
    return {dir_ / "bin", installed, writable, (dir_ / "xdg").string(), (dir_ / "home").string()};
  }
  static unsigned Mode(const fs::path& folder) {
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
  }

  test::TempDir dir_;
};

TEST_F(DataFolderTest, PortableCopyKeepsItsFilesBesideTheExecutable) {
  DataFolderChoice choice = ChooseDataFolder(Inputs(false, true));
  EXPECT_EQ(choice.folder, dir_ / "bin");
  EXPECT_EQ(choice.failure, "");
  EXPECT_FALSE(fs::exists(dir_ / "xdg"));
}

TEST_F(DataFolderTest, InstalledOrUnwritableProgramGetsAPrivatePerUserFolder) {
  for (auto [installed, writable] : {std::pair{true, true}, {false, false}}) {
    SCOPED_TRACE(installed);
    fs::remove_all(dir_ / "xdg");
    DataFolderChoice choice = ChooseDataFolder(Inputs(installed, writable));
    EXPECT_EQ(choice.folder, dir_ / "xdg" / "lumora");
    EXPECT_EQ(choice.failure, "");
    EXPECT_EQ(Mode(choice.folder), 0700u);
  }
  // XDG_DATA_HOME unset or relative (to be ignored): the default under HOME.
  DataFolderInputs inputs = Inputs(true, true);
  for (const char* xdg : {"", "relative/data"}) {
    inputs.xdgDataHome = xdg;
    EXPECT_EQ(ChooseDataFolder(inputs).folder, dir_ / "home" / ".local" / "share" / "lumora");
  }
  EXPECT_EQ(Mode(dir_ / "home" / ".local" / "share" / "lumora"), 0700u);
}

TEST_F(DataFolderTest, FolderThatCannotBeMadeIsReportedAndTheProgramDoesNotRun) {
  dir_.Write("file", "");
  headless::HeadlessDesktop desktop;
  DataFolderInputs inputs = Inputs(true, true);
  inputs.xdgDataHome = (dir_ / "file").string();
  EXPECT_EQ(OpenDataFolder(desktop, inputs), std::nullopt);
  inputs.xdgDataHome = inputs.home = "";
  EXPECT_EQ(OpenDataFolder(desktop, inputs), std::nullopt);
  ASSERT_EQ(desktop.Messages().size(), 2u);
  const headless::ShownMessage& shown = desktop.Messages()[0];
  EXPECT_EQ(shown.title, "提示：");
  EXPECT_NE(shown.text.find((dir_ / "file" / "lumora").string()), std::string::npos);
  EXPECT_NE(shown.text.find("Not a directory"), std::string::npos);
  EXPECT_NE(desktop.Messages()[1].text.find("HOME"), std::string::npos);
}

}  // namespace
}  // namespace lumora
