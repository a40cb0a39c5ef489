#include "app/DataFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/Startup.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFolderName = "lumora";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

bool Writable(const fs::path& folder) {
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

// Makes the folder (its parents as usual, itself private to the user); the system's reason when
// it cannot be made or written.
std::string MakePrivateFolder(const fs::path& folder) {
  if (folder.empty()) return "neither XDG_DATA_HOME nor HOME is set";
  std::error_code error;
  fs::create_directories(folder.parent_path(), error);
  if (error) return error.message();
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
  if (!Writable(folder)) return std::strerror(errno);
  return {};
}

}  // namespace

fs::path PerUserDataFolder(std::string_view xdgDataHome, std::string_view home) {
  fs::path base(xdgDataHome);
  if (!base.is_absolute()) {
    if (home.empty()) return {};
    base = fs::path(home) / ".local" / "share";
  }
  return base / kFolderName;
}

DataFolderChoice ChooseDataFolder(const DataFolderInputs& inputs) {
  if (!inputs.installed && inputs.executableDirWritable) return {inputs.executableDir, {}};
  fs::path folder = PerUserDataFolder(inputs.xdgDataHome, inputs.home);
  return {folder, MakePrivateFolder(folder)};
}

DataFolderInputs CurrentDataFolderInputs() {
  fs::path executableDir = ExecutableDirectory();
  std::error_code error;
  return {executableDir, fs::exists(executableDir / LUMORA_INSTALLED_MARKER, error),
          Writable(executableDir), Environment("XDG_DATA_HOME"), Environment("HOME")};
}

std::optional<fs::path> OpenDataFolder(Desktop& desktop, const DataFolderInputs& inputs) {
  DataFolderChoice choice = ChooseDataFolder(inputs);
  if (choice.failure.empty()) return choice.folder;
  desktop.ShowMessage(nullptr,
                      "无法保存设置和播放列表：文件夹 " + choice.folder.string() + " 不能写入（" +
                          choice.failure + "）。程序将退出。",
                      "提示：", MessageButtons::Ok, MessageIcon::Warning);
  return std::nullopt;
}

}  // namespace lumora
