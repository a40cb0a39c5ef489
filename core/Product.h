#pragma once

#include <string_view>

namespace lumora {

inline constexpr std::string_view kAppVersion = "9.0";
inline constexpr std::string_view kProductName = "Lumora";
inline constexpr std::string_view kSettingsFile = "config.dll";

}  // namespace lumora
