#include "app/DataFolder.h"

#include <fcntl.h>
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
constexpr mode_t kPrivateMode = 0700;
constexpr const char* kOwnedByAnotherUser = "属于另一个用户";
constexpr const char* kNoFolderVariables = "neither XDG_DATA_HOME nor HOME is set";

bool Writable(const fs::path& folder) {
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

// Opens the folder found at the data folder's place and makes sure it is one of the user's own,
// private to them: another user's folder could hold files the program would trust, and a folder
// open to others lets them plant such files. The reason when it cannot be used.
std::string KeepOwnFolderPrivate(const fs::path& folder, uid_t user) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat status;
  std::string failure;
  if (fstat(fd, &status) != 0) {
    failure = std::strerror(errno);
  } else if (status.st_uid != user) {
    failure = kOwnedByAnotherUser;
  } else if ((status.st_mode & 07777) != kPrivateMode && fchmod(fd, kPrivateMode) != 0) {
    failure = std::strerror(errno);
  }
  close(fd);
  return failure;
}

// Makes the folder (its parents as usual, itself private to the user) or takes the one there;
// the reason when it cannot be used or written.
std::string MakePrivateFolder(const fs::path& folder, uid_t user) {
  std::error_code error;
  fs::create_directories(folder.parent_path(), error);
  if (error) return error.message();
  if (mkdir(folder.c_str(), kPrivateMode) != 0 && errno != EEXIST) return std::strerror(errno);
  std::string failure = KeepOwnFolderPrivate(folder, user);
  if (!failure.empty()) return failure;
  if (!Writable(folder)) return std::strerror(errno);
  return {};
}

}  // namespace

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

fs::path PerUserFolder(const fs::path& xdgHome, const fs::path& home, const fs::path& belowHome) {
  if (xdgHome.is_absolute()) return xdgHome / kFolderName;
  if (home.is_absolute()) return home / belowHome / kFolderName;
  return {};
}

DataFolderChoice ChooseDataFolder(const DataFolderInputs& inputs) {
  if (!inputs.installed && inputs.executableDirWritable) return {inputs.executableDir, {}};
  fs::path folder = PerUserFolder(inputs.xdgDataHome, inputs.home, ".local/share");
  if (folder.empty()) return {folder, kNoFolderVariables};
  return {folder, MakePrivateFolder(folder, inputs.user)};
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
  std::string problem =
      choice.folder.empty()
          ? "XDG_DATA_HOME 和 HOME 都没有设置，找不到存放它们的文件夹"
          : "文件夹 " + choice.folder.string() + " 不能写入（" + choice.failure + "）";
  desktop.ShowMessage(nullptr, "无法保存设置和播放列表：" + problem + "。程序将退出。", "提示：",
                      MessageButtons::Ok, MessageIcon::Warning);
  return std::nullopt;
}

}  // namespace lumora
