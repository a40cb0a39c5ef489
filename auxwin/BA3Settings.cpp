#include "auxwin/BA3Settings.h"

#include "core/Numbers.h"
#include "core/Settings.h"

namespace lumora {
namespace {

constexpr const char* kSection = "S_q";

}  // namespace

bool SettingOn(const std::filesystem::path& configPath, std::string_view key) {
  return WholeNumber(IniRead(configPath, kSection, key, "0")) != 1;
}

void WriteSetting(const std::filesystem::path& configPath, std::string_view key, bool on) {
  IniWrite(configPath, kSection, key, on ? "2" : "1");
}

bool TrayBalloonsOn(const std::filesystem::path& configPath) {
  return SettingOn(configPath, ba3_keys::kTrayBalloons);
}

}  // namespace lumora
