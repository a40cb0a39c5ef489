#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

struct CatalogueEpisode {
  std::string name;
  // What the player page is given to find the video: letters, digits and "/".
  std::string video;
};

struct CatalogueItem {
  int id = 0;
  std::string title;
  std::string extra;
  // Source lists, each with its episodes in order.
  std::vector<std::vector<CatalogueEpisode>> sources;
  // When not empty, the answer for every episode instead of play data.
  std::string fixedReply;
};

// The demo site's items and the play data ("h.asp") the server answers for them. The file format
// is described at the top of the site's catalogue.txt.
class Catalogue {
 public:
  // Throws std::runtime_error naming the first malformed line.
  static Catalogue Parse(std::string_view text);
  static Catalogue Load(const std::filesystem::path& file);

  const std::vector<CatalogueItem>& Items() const { return items_; }

  // UTF-8 answer for item id, source list v and episode v1 (all decimal, as received):
  // "extra$episode name$video", or a text without "$" when there is no such episode.
  std::string PlayReply(std::string_view id, std::string_view v, std::string_view v1) const;

 private:
  const CatalogueItem* Find(int id) const;

  std::vector<CatalogueItem> items_;
};

}  // namespace lumora
