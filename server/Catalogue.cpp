#include "server/Catalogue.h"

#include <charconv>
#include <optional>
#include <stdexcept>

#include "core/FileIo.h"

namespace lumora {
namespace {

// Answered when there is nothing to play; the client recognises it by the missing "$".
constexpr std::string_view kNoPlayData = "0";

std::optional<int> ParseDecimal(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || text.front() == '-' || error != std::errc() ||
      end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::string_view Trim(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsVideoToken(std::string_view video) {
  if (video.empty()) return false;
  for (char c : video) {
    bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letterOrDigit && c != '/') return false;
  }
  return true;
}

// Text that goes into one part of the reply must not split it.
std::string PartText(std::string_view text, const char* what) {
  text = Trim(text);
  if (text.empty() || text.find('$') != std::string_view::npos) {
    throw std::invalid_argument(std::string(what) + " is empty or contains \"$\"");
  }
  return std::string(text);
}

CatalogueEpisode ParseEpisode(std::string_view text) {
  size_t equals = text.rfind('=');
  if (equals == std::string_view::npos) throw std::invalid_argument("episode without \"=\"");
  std::string_view video = Trim(text.substr(equals + 1));
  if (!IsVideoToken(video)) throw std::invalid_argument("video is not letters, digits and \"/\"");
  return {PartText(text.substr(0, equals), "episode name"), std::string(video)};
}

std::vector<std::vector<CatalogueEpisode>> ParseSources(std::string_view text) {
  std::vector<std::vector<CatalogueEpisode>> sources;
  for (std::string_view list : SplitFields(text, ";")) {
    std::vector<CatalogueEpisode>& episodes = sources.emplace_back();
    for (std::string_view episode : SplitFields(list, ","))
      episodes.push_back(ParseEpisode(episode));
  }
  return sources;
}

CatalogueItem ParseItem(std::string_view line) {
  std::vector<std::string_view> fields = SplitFields(line, "|");
  if (fields.size() != 4) throw std::invalid_argument("expected id|title|extra|sources");
  std::optional<int> id = ParseDecimal(Trim(fields[0]));
  if (!id) throw std::invalid_argument("id is not a decimal number");
  CatalogueItem item;
  item.id = *id;
  item.title = std::string(Trim(fields[1]));
  if (item.title.empty()) throw std::invalid_argument("title is empty");
  item.extra = PartText(fields[2], "extra text");
  std::string_view sources = Trim(fields[3]);
  if (sources.starts_with('!')) {
    item.fixedReply = PartText(sources.substr(1), "fixed reply");
  } else {
    item.sources = ParseSources(sources);
  }
  return item;
}

bool IsIgnoredLine(std::string_view line) {
  line = Trim(line);
  return line.empty() || line.starts_with('#');
}

}  // namespace

Catalogue Catalogue::Parse(std::string_view text) {
  Catalogue catalogue;
  std::vector<std::string_view> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsIgnoredLine(lines[i])) continue;
    try {
      CatalogueItem item = ParseItem(lines[i]);
      if (catalogue.Find(item.id)) throw std::invalid_argument("id appears twice");
      catalogue.items_.push_back(std::move(item));
    } catch (const std::invalid_argument& error) {
      throw std::runtime_error("catalogue line " + std::to_string(i + 1) + ": " + error.what());
    }
  }
  return catalogue;
}

Catalogue Catalogue::Load(const std::filesystem::path& file) {
  std::optional<std::string> text = ReadFileBytes(file);
  if (!text) throw std::runtime_error("cannot read " + file.string());
  return Parse(*text);
}

std::string Catalogue::PlayReply(std::string_view id, std::string_view v,
                                 std::string_view v1) const {
  std::optional<int> itemId = ParseDecimal(id);
  std::optional<int> list = ParseDecimal(v);
  std::optional<int> episode = ParseDecimal(v1);
  const CatalogueItem* item = itemId ? Find(*itemId) : nullptr;
  if (!item || !list || !episode) return std::string(kNoPlayData);
  if (!item->fixedReply.empty()) return item->fixedReply;
  if (static_cast<size_t>(*list) >= item->sources.size()) return std::string(kNoPlayData);
  const std::vector<CatalogueEpisode>& episodes = item->sources[*list];
  if (static_cast<size_t>(*episode) >= episodes.size()) return std::string(kNoPlayData);
  const CatalogueEpisode& chosen = episodes[*episode];
  return item->extra + "$" + chosen.name + "$" + chosen.video;
}

const CatalogueItem* Catalogue::Find(int id) const {
  for (const CatalogueItem& item : items_) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

}  // namespace lumora
