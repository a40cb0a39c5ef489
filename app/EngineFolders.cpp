#include "app/EngineFolders.h"

#include <cstdlib>

#include "app/DataFolder.h"
#include "app/Startup.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

bool SameFolder(const fs::path& a, const fs::path& b) {
  return (a / "").lexically_normal() == (b / "").lexically_normal();
}

}  // namespace

EngineFolders ChooseEngineFolders(const EngineFolderInputs& inputs) {
  if (inputs.appDir.is_absolute() && SameFolder(inputs.appDir, inputs.executableDir)) {
    return {inputs.appDir / "webdata", inputs.appDir / "webcache"};
  }
  EngineFolders folders{PerUserFolder(inputs.xdgDataHome, inputs.home, ".local/share"),
                        PerUserFolder(inputs.xdgCacheHome, inputs.home, ".cache")};
  if (folders.data.empty() || folders.cache.empty()) return {};
  return folders;
}

void ForgetRelativeXdgFolders() {
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                           "XDG_RUNTIME_DIR"}) {
    if (!fs::path(Environment(name)).is_absolute()) unsetenv(name);
  }
}

EngineFolderInputs CurrentEngineFolderInputs(const fs::path& appDir) {
  return {appDir, ExecutableDirectory(), Environment("XDG_DATA_HOME"),
          Environment("XDG_CACHE_HOME"), Environment("HOME")};
}

}  // namespace lumora
