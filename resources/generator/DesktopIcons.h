#pragma once

#include <filesystem>

namespace lumora::skin {

// The program's mark at every size of the hicolor icon theme, as installed for the desktop entry:
// folder/hicolor/NxN/apps/lumora.png.
void DrawDesktopIcons(const std::filesystem::path& folder);

}  // namespace lumora::skin
