#include "core/Settings.h"

#include <vector>

#include "core/AsciiText.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"

namespace lumora {
namespace {

// The longest value a reader gets back, in bytes of its GBK form.
constexpr size_t kMaxValueBytes = 254;

struct Line {
  size_t begin;  // first byte of the line
  size_t end;    // one past its last byte, before the line end
  size_t next;   // first byte of the following line
};

std::vector<Line> ScanLines(std::string_view text) {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({begin, text.size(), text.size()});
      break;
    }
    size_t next = end + (text.compare(end, 2, kCrLf) == 0 ? 2 : 1);
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

// The name of a section header line "[name]", or nothing when the line is not one.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

// A key line "name=value", or a bare "name" line: a key with no value, which reads as missing.
struct KeyValue {
  std::string_view key;
  std::optional<std::string_view> value;
};

std::optional<KeyValue> ParseKeyLine(std::string_view line) {
  std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return KeyValue{trimmed, std::nullopt};
  return KeyValue{TrimBlanks(trimmed.substr(0, equals)), TrimBlanks(trimmed.substr(equals + 1))};
}

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Cuts GBK bytes to at most maxBytes without splitting a double-byte character.
std::string_view CutGbk(std::string_view gbk, size_t maxBytes) {
  size_t at = 0;
  while (at < gbk.size()) {
    size_t width = static_cast<unsigned char>(gbk[at]) >= 0x81 && at + 1 < gbk.size() ? 2 : 1;
    if (at + width > maxBytes) break;
    at += width;
  }
  return gbk.substr(0, at);
}

// Line breaks inside a name or value would split it over lines of the file.
std::string SingleLineGbk(std::string_view utf8) {
  std::string gbk = Utf8ToGbk(utf8);
  for (char& c : gbk) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return gbk;
}

struct SectionSpan {
  size_t header;     // index of the header line
  size_t lastEntry;  // index of the last non-blank line of the section
  size_t end;        // index one past the section's last line
};

std::optional<SectionSpan> FindSection(std::string_view text, const std::vector<Line>& lines,
                                       std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (!name || !EqualsIgnoringCase(*name, section)) continue;
    SectionSpan span{i, i, i + 1};
    for (; span.end < lines.size(); ++span.end) {
      std::string_view line =
          text.substr(lines[span.end].begin, lines[span.end].end - lines[span.end].begin);
      if (SectionName(line)) break;
      if (!TrimBlanks(line).empty()) span.lastEntry = span.end;
    }
    return span;
  }
  return std::nullopt;
}

std::optional<size_t> FindKeyLine(std::string_view text, const std::vector<Line>& lines,
                                  const SectionSpan& span, std::string_view key) {
  for (size_t i = span.header + 1; i < span.end; ++i) {
    auto entry = ParseKeyLine(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    if (entry && EqualsIgnoringCase(entry->key, key)) return i;
  }
  return std::nullopt;
}

std::string LineEndIfMissing(std::string_view text, size_t at) {
  bool atLineStart = at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r';
  return atLineStart ? std::string() : std::string(kCrLf);
}

}  // namespace

std::optional<std::string> IniText::Find(std::string_view section, std::string_view key) const {
  std::string gbkSection = Utf8ToGbk(section);
  std::string gbkKey = Utf8ToGbk(key);
  std::vector<Line> lines = ScanLines(bytes_);
  auto span = FindSection(bytes_, lines, gbkSection);
  if (!span) return std::nullopt;
  auto index = FindKeyLine(bytes_, lines, *span, gbkKey);
  if (!index) return std::nullopt;
  const Line& line = lines[*index];
  auto entry = ParseKeyLine(std::string_view(bytes_).substr(line.begin, line.end - line.begin));
  if (!entry->value) return std::nullopt;
  return GbkToUtf8(CutGbk(WithoutQuotes(*entry->value), kMaxValueBytes));
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string gbkSection = SingleLineGbk(section);
  std::string gbkKey = SingleLineGbk(key);
  std::string gbkValue = SingleLineGbk(value);
  std::vector<Line> lines = ScanLines(bytes_);
  auto span = FindSection(bytes_, lines, gbkSection);
  if (!span) {
    bytes_ += LineEndIfMissing(bytes_, bytes_.size());
    bytes_ += "[" + gbkSection + "]" + std::string(kCrLf);
    bytes_ += gbkKey + "=" + gbkValue + std::string(kCrLf);
    return;
  }
  if (auto index = FindKeyLine(bytes_, lines, *span, gbkKey)) {
    const Line& line = lines[*index];
    auto entry = ParseKeyLine(std::string_view(bytes_).substr(line.begin, line.end - line.begin));
    bytes_.replace(line.begin, line.end - line.begin, std::string(entry->key) + "=" + gbkValue);
    return;
  }
  size_t at = lines[span->lastEntry].next;
  bytes_.insert(at, LineEndIfMissing(bytes_, at) + gbkKey + "=" + gbkValue + std::string(kCrLf));
}

std::string IniRead(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view defaultValue) {
  auto bytes = ReadFileBytes(file);
  if (!bytes) return std::string(defaultValue);
  return IniText(std::move(*bytes)).Find(section, key).value_or(std::string(defaultValue));
}

bool IniWrite(const std::filesystem::path& file, std::string_view section, std::string_view key,
              std::string_view value) {
  std::error_code error;
  bool exists = std::filesystem::exists(file, error);
  auto bytes = exists ? ReadFileBytes(file) : std::optional<std::string>(std::string());
  if (!bytes) return false;
  IniText text(std::move(*bytes));
  text.Set(section, key, value);
  return WriteFileAtomically(file, text.Bytes());
}

}  // namespace lumora
