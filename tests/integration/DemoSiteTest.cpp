#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileIo.h"
#include "core/JsEscape.h"
#include "server/Catalogue.h"

namespace lumora {
namespace {

const std::filesystem::path kSiteDir = LUMORA_TEST_SITE_DIR;

std::string SiteFile(const std::filesystem::path& relative) {
  return ReadFileBytes(kSiteDir / relative).value_or("(missing " + relative.string() + ")");
}

struct Anchor {
  std::string href;
  std::string text;  // the link's content without its tags
};

std::vector<Anchor> Anchors(const std::string& page) {
  std::vector<Anchor> anchors;
  std::regex link(R"(<a ([^>]*)>([\s\S]*?)</a>)"), href(R"x((?:^| )href="([^"]*)")x"),
      tag("<[^>]*>");
  for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
    std::smatch address;
    std::string attributes = (*it)[1];
    std::regex_search(attributes, address, href);
    anchors.push_back({address[1], std::regex_replace((*it)[2].str(), tag, "")});
  }
  return anchors;
}

size_t CountOf(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

std::string WithoutBlanks(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c != ' ' && c != '\n') kept += c;
  }
  return kept;
}

TEST(DemoSitePortal, HoldsOneEscapedPlayLinkPerItem) {
  Catalogue catalogue = Catalogue::Load(kSiteDir / "catalogue.txt");
  std::string portal = SiteFile("box/index.html");
  std::vector<Anchor> anchors = Anchors(portal);
  EXPECT_EQ(CountOf(portal, "kavovod://"), catalogue.Items().size()) << "a play link outside href";
  for (const CatalogueItem& item : catalogue.Items()) {
    std::string expected = "kavovod://" + std::to_string(item.id) + "-0-0-" + JsEscape(item.title);
    auto link = std::find_if(anchors.begin(), anchors.end(),
                             [&](const Anchor& anchor) { return anchor.href == expected; });
    ASSERT_NE(link, anchors.end()) << expected;
    EXPECT_NE(link->text.find(item.title), std::string::npos)
        << expected << " shows " << link->text;
  }
}

// The information page builds its player links from catalogue.js, the server answers play data
// from catalogue.txt: both must list the same episodes in the same places.
TEST(DemoSiteCatalogueScript, MatchesTheCatalogue) {
  std::string script = WithoutBlanks(SiteFile("box/js/catalogue.js"));
  Catalogue catalogue = Catalogue::Load(kSiteDir / "catalogue.txt");
  const std::vector<CatalogueItem>& items = catalogue.Items();
  EXPECT_EQ(CountOf(script, "\"title\":"), items.size());
  for (const CatalogueItem& item : items) {
    std::string sources;
    for (const std::vector<CatalogueEpisode>& list : item.sources) {
      std::string episodes;
      for (const CatalogueEpisode& episode : list) {
        episodes += (episodes.empty() ? "{\"name\":\"" : ",{\"name\":\"") + episode.name +
                    "\",\"video\":\"" + episode.video + "\"}";
      }
      sources += (sources.empty() ? "[" : ",[") + episodes + "]";
    }
    // The id is named first: GCC 12 at -O3 warns falsely on "..." + std::to_string(...).
    std::string id = std::to_string(item.id);
    std::string entry = "\"" + id + "\":{\"title\":\"" + item.title + "\",\"extra\":\"" +
                        item.extra + "\",\"sources\":[" + sources + "]}";
    EXPECT_NE(script.find(WithoutBlanks(entry)), std::string::npos) << entry;
  }
}

TEST(DemoSiteTv, ChannelListLinksOnlyToTheTvScheme) {
  std::vector<Anchor> anchors = Anchors(SiteFile("box/tv/list.htm"));
  ASSERT_GE(anchors.size(), 8u);
  std::set<std::string> channels;
  for (const Anchor& anchor : anchors) {
    ASSERT_TRUE(anchor.href.starts_with("katvs://")) << anchor.href;
    std::string query = anchor.href.substr(8);
    std::string_view number = FieldOrEmpty(SplitFields(query, "&"), 0);
    std::string_view name = FieldOrEmpty(SplitFields(query, "&name="), 1);
    EXPECT_TRUE(number.starts_with("ch=")) << anchor.href;
    EXPECT_TRUE(channels.insert(std::string(number)).second) << anchor.href;
    // The player page unescapes the name; it must be the one the list shows.
    EXPECT_EQ(JsEscape(JsUnescape(name)), name) << anchor.href;
    EXPECT_NE(anchor.text.find(JsUnescape(name)), std::string::npos) << anchor.href;
    EXPECT_NE(JsUnescape(name), name) << anchor.href << ": the name is not escaped";
  }
}

}  // namespace
}  // namespace lumora
