#include "app/Startup.h"

#include <optional>
#include <string>

#include "content/HistoryPage.h"
#include "content/PlayListFormat.h"
#include "core/FileIo.h"
#include "core/Numbers.h"
#include "core/Settings.h"
#include "core/UserId.h"
#include "resources/Resources.h"

namespace lumora {
namespace {

struct DefaultSetting {
  std::string_view key;
  std::string_view value;
};

// The [S_q] keys of a new settings file, in the order they are written.
constexpr DefaultSetting kWindowDefaults[] = {
    {"ts", "3"}, {"quit", "2"}, {"s_size", "2"}, {"h_w", "14850"}, {"h_h", "9830"}};

// The eight keys in their order, written to disk in one go.
void CreateSettingsFile(const std::filesystem::path& config, const NetworkAdapterSource& adapters,
                        const Clock& clock) {
  IniText text("");
  text.Set("main", "Name", kProductName);
  text.Set("User", "Name", ObtainUserId(adapters, clock));
  text.Set("Ver", "Name", kAppVersion);
  for (const DefaultSetting& setting : kWindowDefaults) text.Set("S_q", setting.key, setting.value);
  WriteFileAtomically(config, text.Bytes());
}

void RepairSettings(const std::filesystem::path& config, const NetworkAdapterSource& adapters,
                    const Clock& clock) {
  std::string id = IniRead(config, "user", "Name", "0");
  std::string version = IniRead(config, "ver", "Name", "0");
  auto number = [&](std::string_view key) { return WholeNumber(IniRead(config, "S_q", key, "0")); };
  std::optional<int> values[std::size(kWindowDefaults)];
  for (size_t i = 0; i < std::size(kWindowDefaults); ++i)
    values[i] = number(kWindowDefaults[i].key);

  if (id.empty() || id == "0") IniWrite(config, "User", "Name", ObtainUserId(adapters, clock));
  if (version != kAppVersion) IniWrite(config, "Ver", "Name", kAppVersion);
  // ts is asked again at every start unless the question was answered (1 or 2).
  if (values[0] != 1 && values[0] != 2) IniWrite(config, "S_q", "ts", "3");
  for (size_t i = 1; i < std::size(kWindowDefaults); ++i) {
    if (values[i].value_or(0) == 0) {
      IniWrite(config, "S_q", kWindowDefaults[i].key, kWindowDefaults[i].value);
    }
  }
}

// The page mirrors the list; a run that ended between writing the two leaves it missing or older.
// File times are coarse (a few milliseconds), so a page of the same time may be behind as well.
bool PageBehindList(const std::filesystem::path& appDir) {
  std::error_code pageError;
  std::error_code listError;
  auto page = std::filesystem::last_write_time(appDir / kHistoryPageFile, pageError);
  auto list = std::filesystem::last_write_time(appDir / kPlayListFile, listError);
  return pageError || (!listError && page <= list);
}

}  // namespace

std::filesystem::path ExecutableDirectory() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path() : executable.parent_path();
}

std::string RunStartup(const std::filesystem::path& appDir, const NetworkAdapterSource& adapters,
                       const Clock& clock) {
  std::filesystem::path config = appDir / kSettingsFile;
  std::string settingsFailure;
  OnWriteFailure([&](const std::filesystem::path& file, const std::string& reason) {
    if (file == config && settingsFailure.empty()) settingsFailure = reason;
  });
  std::error_code error;
  if (!std::filesystem::exists(config, error)) CreateSettingsFile(config, adapters, clock);
  RepairSettings(config, adapters, clock);
  OnWriteFailure(nullptr);
  if (!ReadFileBytes(config, &settingsFailure) || !settingsFailure.empty()) return settingsFailure;
  if (!std::filesystem::exists(appDir / kPlayListFile, error)) {
    WriteFileAtomically(appDir / kPlayListFile, kCrLf);
  }
  if (PageBehindList(appDir)) HistoryPage(appDir, nullptr).WriteHistoryPage(kPlayListFile);
  // The history page shows this delete icon beside each row.
  if (!std::filesystem::exists(appDir / kDeleteIconFile, error)) {
    WriteFileAtomically(appDir / kDeleteIconFile, ResourceBytes(kDeleteIconFile));
  }
  return {};
}

}  // namespace lumora
