#include "content/HistoryStore.h"

#include <charconv>
#include <optional>
#include <string>

#include "content/PlayListFormat.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"

namespace lumora {
namespace {

// Field 0 of an entry as a number, or nothing when it is not one (such a line is never a
// duplicate of anything).
std::optional<double> ItemNumber(std::string_view line) {
  std::string_view field = SplitFields(line, "|").front();
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  double value = 0;
  auto [end, error] =
      std::from_chars(field.data(), field.data() + field.size(), value, std::chars_format::fixed);
  if (field.empty() || error != std::errc() || end != field.data() + field.size()) {
    return std::nullopt;
  }
  return value;
}

// A field may not carry a line break, which would split the entry and shift every line number,
// nor a bare "|", which would shift the later fields; "%7C" shows as "|" after unescaping.
std::string AsField(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '|') {
      out += "%7C";
    } else if (c != '\r' && c != '\n') {
      out += c;
    }
  }
  return out;
}

void RemoveOneTrailingCrLf(std::string& text) {
  if (text.ends_with(kCrLf)) text.resize(text.size() - kCrLf.size());
}

}  // namespace

HistoryStore::HistoryStore(std::filesystem::path appDir, HistoryPage& page)
    : appDir_(std::move(appDir)), page_(page) {}

bool HistoryStore::AppendHistory(std::int32_t id, std::string_view title, std::string_view extra,
                                 std::string_view arg2, std::int32_t v, std::int32_t v1,
                                 std::int32_t flag) {
  auto list = ReadFileBytes(appDir_ / kPlayListFile);
  if (!list) return false;
  std::string entry = std::to_string(id) + "|" + AsField(title) + "|" + AsField(extra) + "|" +
                      AsField(arg2) + "|" + std::to_string(v) + "|" + std::to_string(v1) + "|" +
                      std::to_string(flag);
  std::string kept;
  int count = 0;
  for (std::string_view line : SplitLines(*list)) {
    if (++count > kKeptLines) break;
    std::string decoded = GbkToUtf8(line);
    if (!IsEntryLine(decoded) || ItemNumber(decoded) == std::optional<double>(id)) continue;
    kept.append(line).append(kCrLf);
  }
  RemoveOneTrailingCrLf(kept);
  return Rewrite(kPlayListFile, Utf8ToGbk(entry) + std::string(kCrLf) + kept + std::string(kCrLf));
}

bool HistoryStore::RemoveHistory(std::string_view listFile, std::int32_t line) {
  auto list = ReadFileBytes(appDir_ / listFile);
  if (!list) return false;
  std::string text;
  std::int32_t number = 0;
  for (std::string_view kept : SplitLines(*list)) {
    if (++number != line) text.append(kept).append(kCrLf);
  }
  RemoveOneTrailingCrLf(text);
  RemoveOneTrailingCrLf(text);
  return Rewrite(listFile, text + std::string(kCrLf));
}

bool HistoryStore::ClearHistory() {
  std::error_code error;
  if (!std::filesystem::exists(appDir_ / kPlayListFile, error)) return false;
  return Rewrite(kPlayListFile, kCrLf);
}

std::optional<std::string> HistoryStore::ReadEntry(std::int32_t line) const {
  auto list = ReadFileBytes(appDir_ / kPlayListFile);
  if (!list) return std::nullopt;
  std::vector<std::string_view> lines = SplitLines(*list);
  if (line < 1 || static_cast<size_t>(line) > lines.size()) return std::string();
  return GbkToUtf8(lines[line - 1]);
}

bool HistoryStore::Rewrite(std::string_view listFile, std::string_view bytes) {
  if (!WriteFileAtomically(appDir_ / listFile, bytes)) return false;
  page_.WriteHistoryPage(listFile);
  return true;
}

}  // namespace lumora
