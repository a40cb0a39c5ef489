#include "shell/UpdateCheck.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "core/AsciiText.h"
#include "core/FileIo.h"
#include "core/Product.h"
#include "core/TextCodec.h"
#include "core/WebAddress.h"

namespace lumora {
namespace {

constexpr auto kCheckDelay = std::chrono::milliseconds(6000);
constexpr std::string_view kFieldSeparator = "====";
constexpr const char* kMessageTitle = "提示：";
constexpr const char* kUpToDate = "你现在使用的是最新版本，无需升级!";
constexpr const char* kLocalUpdater = "update.exe";

// The fields of the control file, by number.
enum Field { kExitAd = 0, kPopupAd = 1, kTicker = 3, kAdPanel = 4, kVersion = 5 };

// Blanks around a number in the control file; its last field ends its line.
constexpr std::string_view kBlanks = " \t\r\n";

bool IsBlank(char c) {
  return kBlanks.find(c) != std::string_view::npos;
}

// The field read as a number: a finite decimal number with blanks around it; nothing for other
// text.
std::optional<double> NumberValue(std::string_view field) {
  field = TrimBlanks(field, kBlanks);
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size() ||
      !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// The nearest whole number, held to the range of int.
int Rounded(double value) {
  constexpr double kLow = std::numeric_limits<int>::min();
  constexpr double kHigh = std::numeric_limits<int>::max();
  return static_cast<int>(std::lround(std::clamp(value, kLow, kHigh)));
}

// The number the field begins with, blanks ignored, rounded; 0 for a field without one.
int LeadingWholeNumber(std::string_view field) {
  std::string number;
  for (char c : field) {
    if (IsBlank(c)) continue;
    bool digit = c >= '0' && c <= '9';
    bool sign = (c == '-' || c == '+') && number.empty();
    bool point = c == '.' && number.find('.') == std::string::npos;
    if (!digit && !sign && !point) break;
    number += c;
  }
  std::optional<double> value = NumberValue(number);
  return value ? Rounded(*value) : 0;
}

bool EqualsOne(std::optional<std::string_view> field) {
  std::optional<double> value = field ? NumberValue(*field) : std::nullopt;
  return value && *value == 1;
}

// A version is a short text: a longer field is no version, and offers nothing.
constexpr size_t kMaxVersionLength = 32;

// A plain text comparison with the installed version: "10.0", "8.0" and " 9.0" are all new.
bool IsNewVersion(const std::string& version) {
  return !version.empty() && version != "0" && version != kAppVersion &&
         Utf8Prefix(version, kMaxVersionLength).size() == version.size();
}

bool IsExecutableFile(const std::filesystem::path& path) {
  using std::filesystem::perms;
  std::error_code error;
  auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::is_regular_file(status) &&
         (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) !=
             perms::none;
}

}  // namespace

UpdateCheck::UpdateCheck(Platform& platform, UpdateTarget& window, ServerFetch& fetch,
                         ContentServer server, std::filesystem::path programDir)
    : platform_(platform),
      window_(window),
      fetch_(fetch),
      server_(std::move(server)),
      programDir_(std::move(programDir)),
      checkTimer_(platform.CreateTimer()) {
  checkTimer_->onTick = [this] { Timer5_Timer(); };
  checkTimer_->SetInterval(kCheckDelay);
  checkTimer_->SetEnabled(true);
}

void UpdateCheck::Stop() {
  stopped_ = true;
  checkTimer_->SetEnabled(false);
  platform_.GetDesktop().DismissMessages();
}

void UpdateCheck::Timer5_Timer() {
  checkTimer_->SetEnabled(false);
  std::weak_ptr<char> alive = alive_;
  std::string text = fetch_.FetchText(server_.ControlFile());
  // The user may have quit while the server was asked: the check then ends without a trace.
  if (alive.expired() || stopped_) return;
  if (text.find(kFieldSeparator) == std::string::npos) return;
  ApplyControlFile(text);
}

void UpdateCheck::ApplyControlFile(const std::string& text) {
  std::vector<std::string_view> fields = SplitFields(text, kFieldSeparator);
  auto field = [&fields](Field number) -> std::optional<std::string_view> {
    if (static_cast<size_t>(number) >= fields.size()) return std::nullopt;
    return fields[number];
  };
  exitAdWanted_ = LeadingWholeNumber(*field(kExitAd)) == 1;
  bool tickerOn = false;
  if (auto ticker = field(kTicker)) {
    if (std::optional<double> value = NumberValue(*ticker)) {
      tickerOn = Rounded(*value) == 1;
      window_.SetTickerEnabled(tickerOn);
    }
  }
  if (auto version = field(kVersion)) latestVersion_ = RemoveAll(*version, kCrLf);

  if (IsNewVersion(latestVersion_) && !OfferUpdate()) return;
  if (EqualsOne(field(kPopupAd)) && onShowPopupAd) onShowPopupAd();
  if (tickerOn && onStartTicker) onStartTicker();
  if (EqualsOne(field(kAdPanel))) window_.ShowAdBanner();
}

void UpdateCheck::shengji() {
  if (IsNewVersion(latestVersion_)) {
    OfferUpdate();
    return;
  }
  platform_.GetDesktop().ShowMessage(&window_.Window(), kUpToDate, kMessageTitle,
                                     MessageButtons::Ok, MessageIcon::Question);
}

bool UpdateCheck::OfferUpdate() {
  std::string question = "检测到最新版本 " + latestVersion_ + " ,你需要现在升级吗？";
  std::weak_ptr<char> alive = alive_;
  MessageAnswer answer = platform_.GetDesktop().ShowMessage(
      &window_.Window(), question, kMessageTitle, MessageButtons::YesNo, MessageIcon::None);
  if (alive.expired() || stopped_) return false;
  // Closing the box without an answer is a No: nothing is installed behind the user's back.
  if (answer != MessageAnswer::Yes) return true;
  LaunchUpdate();
  return false;
}

void UpdateCheck::LaunchUpdate() {
  Desktop& desktop = platform_.GetDesktop();
  std::filesystem::path updater = programDir_ / kLocalUpdater;
  // Whether the start or the download worked, the program quits so the updater can replace it.
  if (IsExecutableFile(updater)) {
    desktop.StartProcess(updater.string());
  } else {
    OpenWebAddress(desktop, server_.Updater());
  }
  exitAdWanted_ = false;
  window_.Quit();
}

}  // namespace lumora
