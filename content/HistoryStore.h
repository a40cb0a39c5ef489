#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "content/HistoryPage.h"

namespace lumora {

// The play list: what the user played, kept in "date.dat" and mirrored by the history page
// after every change. The file is the only state; each change rewrites it whole.
class HistoryStore {
 public:
  // An append keeps at most this many of the lines already in the file.
  static constexpr int kKeptLines = 100;

  HistoryStore(std::filesystem::path appDir, HistoryPage& page);

  // Puts the entry at the top, drops older entries of the same id. False, with nothing changed,
  // when the list cannot be read or written.
  bool AppendHistory(std::int32_t id, std::string_view title, std::string_view extra,
                     std::string_view arg2, std::int32_t v, std::int32_t v1, std::int32_t flag);
  // Removes line number `line` (from 1) of AppDir/listFile; a number outside the file removes
  // nothing. False, with nothing changed, when the list cannot be read or written.
  bool RemoveHistory(std::string_view listFile, std::int32_t line);
  // Empties the list to one empty line. False, with the list as it was, when it is missing or
  // cannot be rewritten.
  bool ClearHistory();
  // Line number `line` (from 1) of the play list, "" when the list is shorter; nothing when the
  // list cannot be read.
  std::optional<std::string> ReadEntry(std::int32_t line) const;

 private:
  bool Rewrite(std::string_view listFile, std::string_view bytes);

  std::filesystem::path appDir_;
  HistoryPage& page_;
};

}  // namespace lumora
