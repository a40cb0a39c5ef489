#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"

namespace lumora {

// What decides where the program keeps its files (settings, play list, history page and its
// picture).
struct DataFolderInputs {
  std::filesystem::path executableDir;
  // The executable runs from an installed bin/ folder (a system or packaged install).
  bool installed = false;
  bool executableDirWritable = false;
  std::string xdgDataHome;  // $XDG_DATA_HOME, empty when unset
  std::string home;         // $HOME, empty when unset
  // The one user whose own folder the per-user data folder must be: this process's.
  uid_t user = geteuid();
};

struct DataFolderChoice {
  std::filesystem::path folder;
  // Why the folder cannot be used, mostly in the system's words; empty when it can.
  std::string failure;
};

// The value of an environment variable; empty when it is unset.
std::string Environment(const char* name);
// $XDG_..._HOME/lumora, or the folder below home that the XDG rules name for an unset or relative
// variable; empty when neither gives an absolute folder.
std::filesystem::path PerUserFolder(const std::filesystem::path& xdgHome,
                                    const std::filesystem::path& home,
                                    const std::filesystem::path& belowHome);

// The executable's folder for a portable copy or a build folder; otherwise (an installed program,
// or a folder it cannot write) the per-user data folder: made with mode 0700 when missing, set to
// 0700 when found with another mode, refused when another user owns it.
DataFolderChoice ChooseDataFolder(const DataFolderInputs& inputs);

// The inputs of this process: its executable, the installed layout beside it, the environment.
DataFolderInputs CurrentDataFolderInputs();

// The chosen folder, or nothing after telling the user in a message box which folder cannot be
// used and why (or that no variable names one): the program must not run on with settings it
// cannot keep.
std::optional<std::filesystem::path> OpenDataFolder(Desktop& desktop,
                                                    const DataFolderInputs& inputs);

}  // namespace lumora
