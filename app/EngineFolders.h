#pragma once

#include <filesystem>
#include <string>

namespace lumora {

// What decides where the web engine keeps its data and caches.
struct EngineFolderInputs {
  std::filesystem::path appDir;  // where the program keeps its own files
  std::filesystem::path executableDir;
  std::string xdgDataHome;   // $XDG_DATA_HOME, empty when unset
  std::string xdgCacheHome;  // $XDG_CACHE_HOME, empty when unset
  std::string home;          // $HOME, empty when unset
};

// Absolute folders, or both empty when none can be had: the engine then writes nothing.
struct EngineFolders {
  std::filesystem::path data;
  std::filesystem::path cache;
};

// Beside the program's files in a portable copy (they live in the executable's folder); else the
// per-user data and cache folders, where relative XDG variables count as unset.
EngineFolders ChooseEngineFolders(const EngineFolderInputs& inputs);

// Unsets the XDG base folder variables that are relative: the XDG rules say to ignore them, and
// the libraries below (GLib, GTK, the engine and its processes) would use them against the
// working folder. Called first, before any library has read them.
void ForgetRelativeXdgFolders();

// The inputs of this process, for the program's files in appDir.
EngineFolderInputs CurrentEngineFolderInputs(const std::filesystem::path& appDir);

}  // namespace lumora
