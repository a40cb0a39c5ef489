#include "server/SitePaths.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "core/FileIo.h"

namespace lumora {
namespace {

constexpr std::string_view kTreePath = "/box/";
constexpr std::string_view kTreeDirectory = "box";
constexpr std::string_view kIndexFile = "index.html";

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return std::nullopt;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    std::optional<int> high = i + 2 < text.size() ? HexDigit(text[i + 1]) : std::nullopt;
    std::optional<int> low = i + 2 < text.size() ? HexDigit(text[i + 2]) : std::nullopt;
    if (!high || !low) return std::nullopt;
    decoded += static_cast<char>(*high * 16 + *low);
    i += 2;
  }
  return decoded;
}

// A decoded segment that names one entry inside its directory and nothing else.
bool IsPlainSegment(std::string_view segment) {
  return !segment.empty() && segment != "." && segment != ".." &&
         segment.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// Appends the segments of an encoded relative path ("lib/wen.txt", "js/") to file.
std::optional<std::filesystem::path> AppendSegments(std::filesystem::path file,
                                                    std::string_view encoded) {
  std::vector<std::string_view> segments = SplitFields(encoded, "/");
  for (size_t i = 0; i < segments.size(); ++i) {
    bool last = i + 1 == segments.size();
    if (last && segments[i].empty()) return file / kIndexFile;
    std::optional<std::string> segment = PercentDecode(segments[i]);
    if (!segment || !IsPlainSegment(*segment)) return std::nullopt;
    file /= *segment;
  }
  return file;
}

void ReplaceAll(std::string& text, std::string_view placeholder, std::string_view value) {
  for (size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
}

std::string LowerExtension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

std::optional<std::filesystem::path> SiteFileForUrlPath(std::string_view encodedPath) {
  if (encodedPath == "/") return std::filesystem::path(kIndexFile);
  if (!encodedPath.starts_with(kTreePath)) return std::nullopt;
  return AppendSegments(std::filesystem::path(kTreeDirectory),
                        encodedPath.substr(kTreePath.size()));
}

std::string ContentTypeFor(const std::filesystem::path& file) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kTypes{{
      {".html", "text/html; charset=utf-8"},
      {".htm", "text/html; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".txt", "text/plain"},
      {".gif", "image/gif"},
      {".png", "image/png"},
      {".jpg", "image/jpeg"},
      {".jpeg", "image/jpeg"},
      {".webm", "video/webm"},
  }};
  std::string extension = LowerExtension(file);
  for (const auto& [known, type] : kTypes) {
    if (extension == known) return std::string(type);
  }
  return "application/octet-stream";
}

bool IsServedAsGbk(const std::filesystem::path& file) {
  return LowerExtension(file) == ".txt";
}

std::string TreeUrl(std::string_view siteUrl) {
  return std::string(siteUrl) + std::string(kTreePath.substr(1));
}

std::string FillAddressPlaceholders(std::string_view text, std::string_view siteUrl) {
  std::string filled(text);
  ReplaceAll(filled, "{SITE}", siteUrl);
  ReplaceAll(filled, "{BASE}", TreeUrl(siteUrl));
  return filled;
}

std::optional<std::string> RawQueryValue(std::string_view query, std::string_view name) {
  for (std::string_view pair : SplitFields(query, "&")) {
    size_t equals = pair.find('=');
    if (pair.substr(0, equals) != name) continue;
    return equals == std::string_view::npos ? std::string() : std::string(pair.substr(equals + 1));
  }
  return std::nullopt;
}

}  // namespace lumora
