#pragma once

#include <filesystem>
#include <string>

#include "core/Product.h"
#include "platform/Clock.h"
#include "platform/NetworkAdapters.h"

namespace lumora {

// The directory of the running executable, where every local file lives.
std::filesystem::path ExecutableDirectory();

// Makes sure the settings file exists and holds usable values, the user has an id, and the play
// list and its page exist, before any window opens. Returns the system's reason when the
// settings file can be neither read nor written, empty when all is well.
std::string RunStartup(const std::filesystem::path& appDir, const NetworkAdapterSource& adapters,
                       const Clock& clock);

}  // namespace lumora
