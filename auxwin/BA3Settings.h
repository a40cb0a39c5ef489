#pragma once

#include <filesystem>
#include <string_view>

namespace lumora {

// The on/off keys of section "S_q" that the settings dialog edits: "quit" (closing hides to the
// tray), "s_size" (the window size is restored) and "tip" (the tray shows balloons).
namespace ba3_keys {
inline constexpr const char* kHideToTray = "quit";
inline constexpr const char* kSaveSize = "s_size";
inline constexpr const char* kTrayBalloons = "tip";
}  // namespace ba3_keys

// A key is on unless it holds the number 1: missing keys and texts that are no number are on.
bool SettingOn(const std::filesystem::path& configPath, std::string_view key);
// Writes "2" for on and "1" for off.
void WriteSetting(const std::filesystem::path& configPath, std::string_view key, bool on);

bool TrayBalloonsOn(const std::filesystem::path& configPath);

}  // namespace lumora
