#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/FileIo.h"
#include "app/JsEscape.h"
#include "server/Catalogue.h"
#include "server/DemoServer.h"

namespace lumora {
namespace {

const std::filesystem::path kSiteDir = LUMORA_TEST_SITE_DIR;
constexpr guint kTimeoutMs = 5000;

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct Response {
  guint status = 0;
  std::string contentType;
  std::string body;
};

std::string SiteFile(const std::filesystem::path& relative) {
  return ReadFileBytes(kSiteDir / relative).value_or("(missing " + relative.string() + ")");
}

Catalogue SiteCatalogue() {
  return Catalogue::Load(kSiteDir / "catalogue.txt");
}

bool IsPage(const std::filesystem::path& file) {
  return file.extension() == ".html" || file.extension() == ".htm";
}

// Every page of the site, relative to the site directory.
std::vector<std::filesystem::path> SitePages() {
  std::vector<std::filesystem::path> pages;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kSiteDir)) {
    if (entry.is_regular_file() && IsPage(entry.path()))
      pages.push_back(std::filesystem::relative(entry.path(), kSiteDir));
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

// The address a page is served under, below the server's root.
std::string PagePath(const std::filesystem::path& page) {
  return page == "index.html" ? "/" : "/" + page.generic_string();
}

// Iterates the default main context until done is set; false when the timeout came first.
bool IterateUntil(const bool& done) {
  bool timedOut = false;
  guint timer = g_timeout_add(
      kTimeoutMs,
      [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &timedOut);
  while (!done && !timedOut) g_main_context_iteration(nullptr, TRUE);
  if (!timedOut) g_source_remove(timer);
  return !timedOut;
}

// The value of every attribute name="..." in the text, in order.
std::vector<std::string> AttributeValues(std::string_view text, std::string_view name) {
  std::string opening = " " + std::string(name) + "=\"";
  std::vector<std::string> values;
  for (size_t at = text.find(opening); at != std::string_view::npos;
       at = text.find(opening, at + 1)) {
    size_t start = at + opening.size();
    size_t end = text.find('"', start);
    if (end == std::string_view::npos) throw std::runtime_error("unclosed " + opening);
    values.emplace_back(text.substr(start, end - start));
  }
  return values;
}

struct Anchor {
  std::string href;
  std::string text;  // the link's content without its tags
};

std::vector<Anchor> Anchors(std::string_view page) {
  std::vector<Anchor> anchors;
  for (size_t at = page.find("<a "); at != std::string_view::npos; at = page.find("<a ", at + 1)) {
    size_t tagEnd = page.find('>', at);
    size_t close = page.find("</a>", tagEnd);
    if (tagEnd == std::string_view::npos || close == std::string_view::npos)
      throw std::runtime_error("unclosed link");
    std::vector<std::string> href = AttributeValues(page.substr(at, tagEnd - at), "href");
    Anchor anchor{href.empty() ? "" : href.front(), ""};
    bool inTag = false;
    for (char c : page.substr(tagEnd + 1, close - tagEnd - 1)) {
      if (c == '<' || c == '>') {
        inTag = c == '<';
      } else if (!inTag) {
        anchor.text += c;
      }
    }
    anchors.push_back(std::move(anchor));
  }
  return anchors;
}

size_t CountOf(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// JSON values of the kinds catalogue.js is written with: objects, arrays and strings.
struct JsonValue {
  enum class Kind { kString, kArray, kObject } kind = Kind::kString;
  std::string text;
  std::vector<JsonValue> items;   // array elements, or object member values
  std::vector<std::string> keys;  // object member names, one per item
};

class JsonReader {
 public:
  static JsonValue ReadDocument(std::string_view text) {
    JsonReader reader(text);
    JsonValue value = reader.Read();
    reader.SkipBlanks();
    if (reader.at_ != text.size()) reader.Fail("text after the value");
    return value;
  }

 private:
  explicit JsonReader(std::string_view text) : text_(text) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON at " + std::to_string(at_) + ": " + what);
  }

  void SkipBlanks() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }

  // Skips blanks and takes c when it comes next.
  bool Take(char c) {
    SkipBlanks();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  void Expect(char c) {
    if (!Take(c)) Fail(std::string("expected ") + c);
  }

  JsonValue Read() {
    JsonValue value;
    if (Take('{')) {
      value.kind = JsonValue::Kind::kObject;
      if (Take('}')) return value;
      do {
        SkipBlanks();
        value.keys.push_back(ReadString());
        Expect(':');
        value.items.push_back(Read());
      } while (Take(','));
      Expect('}');
    } else if (Take('[')) {
      value.kind = JsonValue::Kind::kArray;
      if (Take(']')) return value;
      do {
        value.items.push_back(Read());
      } while (Take(','));
      Expect(']');
    } else {
      SkipBlanks();
      value.text = ReadString();
    }
    return value;
  }

  std::string ReadString() {
    if (at_ >= text_.size() || text_[at_] != '"') Fail("expected a string");
    std::string text;
    for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      if (text_[at_] != '\\') {
        text += text_[at_];
        continue;
      }
      if (++at_ >= text_.size()) break;
      switch (text_[at_]) {
        case '"':
        case '\\':
        case '/':
          text += text_[at_];
          break;
        case 'n':
          text += '\n';
          break;
        default:
          Fail("unsupported escape");
      }
    }
    if (at_ >= text_.size()) Fail("unclosed string");
    ++at_;
    return text;
  }

  std::string_view text_;
  size_t at_ = 0;
};

// The object literal that catalogue.js assigns to CATALOGUE.
JsonValue CatalogueScriptObject(std::string_view script) {
  constexpr std::string_view kAssignment = "var CATALOGUE = ";
  size_t start = script.find(kAssignment);
  size_t end = script.rfind("};");
  if (start == std::string_view::npos || end == std::string_view::npos || end < start)
    throw std::runtime_error("no \"var CATALOGUE = {...};\"");
  start += kAssignment.size();
  return JsonReader::ReadDocument(script.substr(start, end + 1 - start));
}

const JsonValue& Member(const JsonValue& object, std::string_view key) {
  if (object.kind != JsonValue::Kind::kObject) throw std::runtime_error("not an object");
  auto found = std::find(object.keys.begin(), object.keys.end(), key);
  if (found == object.keys.end()) throw std::runtime_error("no member " + std::string(key));
  return object.items[found - object.keys.begin()];
}

class DemoSiteTest : public ::testing::Test {
 protected:
  void SetUp() override { server_.Start(0); }

  std::string Url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(server_.Port()) + pathAndQuery;
  }

  Response GetUrl(const std::string& url) {
    // Relaxed: the program's queries hold escape()'s "%uXXXX", which strict parsing refuses.
    g_autoptr(GUri) uri = g_uri_parse(
        url.c_str(), static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS | G_URI_FLAGS_PARSE_RELAXED),
        nullptr);
    if (!uri) throw std::invalid_argument("bad address " + url);
    GObjectPtr<SoupMessage> message(soup_message_new_from_uri("GET", uri));
    GObjectPtr<GCancellable> cancellable(g_cancellable_new());
    struct Pending {
      bool done = false;
      GBytes* body = nullptr;
    } pending;
    soup_session_send_and_read_async(
        session_.get(), message.get(), G_PRIORITY_DEFAULT, cancellable.get(),
        [](GObject* session, GAsyncResult* result, gpointer data) {
          auto* pending = static_cast<Pending*>(data);
          pending->body = soup_session_send_and_read_finish(SOUP_SESSION(session), result, nullptr);
          pending->done = true;
        },
        &pending);
    if (!IterateUntil(pending.done)) {
      ADD_FAILURE() << "no answer to " << url;
      g_cancellable_cancel(cancellable.get());
      IterateUntil(pending.done);
    }
    g_autoptr(GBytes) body = pending.body;
    Response response;
    response.status = soup_message_get_status(message.get());
    const char* contentType = soup_message_headers_get_one(
        soup_message_get_response_headers(message.get()), "Content-Type");
    response.contentType = contentType ? contentType : "";
    gsize size = 0;
    const char* data = body ? static_cast<const char*>(g_bytes_get_data(body, &size)) : "";
    response.body.assign(data, size);
    return response;
  }

  Response Get(const std::string& pathAndQuery) { return GetUrl(Url(pathAndQuery)); }

  DemoServer server_{kSiteDir};
  GObjectPtr<SoupSession> session_{soup_session_new()};
};

// Start pages, as the program asks for them

void ExpectPage(const Response& response, const std::string& pathAndQuery, const char* file) {
  EXPECT_EQ(response.status, 200u) << pathAndQuery;
  EXPECT_EQ(response.contentType, "text/html; charset=utf-8") << pathAndQuery;
  EXPECT_EQ(response.body, SiteFile(file)) << pathAndQuery;
}

TEST_F(DemoSiteTest, EveryStartPageIsServed) {
  for (auto [path, file] : std::vector<std::pair<std::string, const char*>>{
           {"/box/", "box/index.html"},
           {"/box/tv/list.htm", "box/tv/list.htm"},
           {"/box/tv/ad.htm", "box/tv/ad.htm"},
           {"/box/js/ads/bo.html", "box/js/ads/bo.html"},
           {"/box/js/ads/tao.html", "box/js/ads/tao.html"},
           {"/box/js/ads/tui.html", "box/js/ads/tui.html"},
           {"/box/play.htm", "box/play.htm"},
           {"/box/pp.htm?----", "box/pp.htm"},
           {"/box/tv/kavotv.htm", "box/tv/kavotv.htm"},
           {"/", "index.html"},
       }) {
    ExpectPage(Get(path), path, file);
  }
  Response script = Get("/box/js/catalogue.js");
  EXPECT_EQ(script.status, 200u);
  EXPECT_EQ(script.contentType, "text/javascript; charset=utf-8");
}

// The program appends escape()d texts to these pages' addresses, and the engine sends "%uXXXX"
// as it stands.
TEST_F(DemoSiteTest, PagesOpenWithTheProgramsEscapedQueries) {
  for (auto [path, file] : std::vector<std::pair<std::string, const char*>>{
           {"/box/play.htm?m/102/0/1$$$%u7B2C1%u96C6", "box/play.htm"},
           {"/box/pp.htm?102-0-0-%u5C71%u6708%u8BB0%u4E8B-0", "box/pp.htm"},
           {"/box/pp.htm?102-1-1-%u5C71%u6708%u8BB0%u4E8B-11", "box/pp.htm"},
           {"/box/tv/kavotv.htm?ch=3&name=%u7EAA%u5F55%u9891%u9053", "box/tv/kavotv.htm"},
       }) {
    ExpectPage(Get(path), path, file);
  }
}

// Without a declared charset the engine reads a page as GBK, and without a doctype it reports the
// view's size instead of the content's.
TEST(DemoSitePages, DeclareDoctypeAndUtf8) {
  std::vector<std::filesystem::path> pages = SitePages();
  EXPECT_GE(pages.size(), 12u);
  for (const std::filesystem::path& page : pages) {
    std::string text = SiteFile(page);
    std::string start = text.substr(0, 15);
    std::transform(start.begin(), start.end(), start.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_EQ(start, "<!doctype html>") << page;
    EXPECT_EQ(CountOf(text, "<meta charset=\"utf-8\">"), 1u) << page;
  }
}

// Portal

TEST(DemoSitePortal, HoldsOneEscapedPlayLinkPerItem) {
  Catalogue catalogue = SiteCatalogue();
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

TEST(DemoSitePortal, EscapesTitlesAsTheProgramUnescapesThem) {
  std::string portal = SiteFile("box/index.html");
  for (const char* link :
       {"kavovod://102-0-0-%u5C71%u6708%u8BB0%u4E8B\"", "kavovod://103-0-0-Tide-Runner\"",
        "kavovod://104-0-0-%u57CE%u5357%u65E7%u68A6%20%u7B2C%u4E8C%u5B63\"",
        "kavovod://105-0-0-A%20Year%20in%20the%20Hills\"", "kavovod://108-0-0-%u96FE"}) {
    EXPECT_EQ(CountOf(portal, link), 1u) << link;
  }
}

TEST_F(DemoSiteTest, PortalLinksAskForPlayableEpisodes) {
  Catalogue catalogue = SiteCatalogue();
  for (const Anchor& anchor : Anchors(SiteFile("box/index.html"))) {
    if (!anchor.href.starts_with("kavovod://")) continue;
    std::vector<std::string_view> fields =
        SplitFields(std::string_view(anchor.href).substr(10), "-");
    ASSERT_GE(fields.size(), 4u) << anchor.href;
    std::string reply = Get("/box/h.asp?id=" + std::string(fields[0]) +
                            "&v=" + std::string(fields[1]) + "&v1=" + std::string(fields[2]))
                            .body;
    auto item = std::find_if(
        catalogue.Items().begin(), catalogue.Items().end(),
        [&](const CatalogueItem& item) { return std::to_string(item.id) == fields[0]; });
    ASSERT_NE(item, catalogue.Items().end()) << anchor.href;
    // Only the item that is meant to fail answers without play data.
    EXPECT_EQ(reply.find('$') != std::string::npos, item->fixedReply.empty()) << anchor.href;
  }
}

// Information and player pages

TEST(DemoSiteCatalogueScript, MatchesTheCatalogue) {
  Catalogue catalogue = SiteCatalogue();
  JsonValue script = CatalogueScriptObject(SiteFile("box/js/catalogue.js"));
  ASSERT_EQ(script.kind, JsonValue::Kind::kObject);
  EXPECT_EQ(std::set<std::string>(script.keys.begin(), script.keys.end()).size(),
            script.keys.size())
      << "an id appears twice";
  ASSERT_EQ(script.keys.size(), catalogue.Items().size());
  for (const CatalogueItem& item : catalogue.Items()) {
    std::string id = std::to_string(item.id);
    const JsonValue& entry = Member(script, id);
    EXPECT_EQ(entry.keys, (std::vector<std::string>{"title", "extra", "sources"})) << id;
    EXPECT_EQ(Member(entry, "title").text, item.title) << id;
    EXPECT_EQ(Member(entry, "extra").text, item.extra) << id;
    const JsonValue& sources = Member(entry, "sources");
    ASSERT_EQ(sources.items.size(), item.sources.size()) << id;
    for (size_t v = 0; v < item.sources.size(); ++v) {
      const std::vector<JsonValue>& episodes = sources.items[v].items;
      ASSERT_EQ(episodes.size(), item.sources[v].size()) << id << " source " << v;
      for (size_t v1 = 0; v1 < episodes.size(); ++v1) {
        EXPECT_EQ(episodes[v1].keys, (std::vector<std::string>{"name", "video"}));
        EXPECT_EQ(Member(episodes[v1], "name").text, item.sources[v][v1].name) << id;
        EXPECT_EQ(Member(episodes[v1], "video").text, item.sources[v][v1].video) << id;
      }
    }
  }
}

TEST(DemoSiteCatalogueScript, ReaderRejectsWhatAScriptWouldMisread) {
  EXPECT_EQ(CatalogueScriptObject("// x\nvar CATALOGUE = {\"1\": {\"t\": \"a\\\"b\"}};\n")
                .items[0]
                .items[0]
                .text,
            "a\"b");
  for (const char* script :
       {"var CATALOGUE = {\"1\": [\"a\",]};", "var CATALOGUE = {\"1\": \"a\" \"b\"};",
        "var CATALOGUE = {1: \"a\"};", "var CATALOGUE = {\"1\": \"a\\u0041\"};",
        "var CATALOGUE = {\"1\": \"a};", "CATALOGUE = {};"}) {
    EXPECT_THROW(CatalogueScriptObject(script), std::runtime_error) << script;
  }
}

// The information page names an episode cell "c" + v + v1 and selects it by that name alone.
TEST(DemoSiteCatalogueScript, EpisodeCellNamesAreUnambiguous) {
  Catalogue catalogue = SiteCatalogue();
  for (const CatalogueItem& item : catalogue.Items()) {
    std::set<std::string> names;
    size_t cells = 0;
    for (size_t v = 0; v < item.sources.size(); ++v) {
      for (size_t v1 = 0; v1 < item.sources[v].size(); ++v1, ++cells)
        names.insert(std::to_string(v) + std::to_string(v1));
    }
    EXPECT_EQ(names.size(), cells) << item.id;
    EXPECT_EQ(names.count("0"), 0u) << item.id << ": \"0\" means no cell";
  }
}

TEST(DemoSiteScripts, InformationPageBuildsPlayerLinksThatNeverReopenIt) {
  std::string page = SiteFile("box/pp.htm");
  EXPECT_NE(page.find("<script src=\"js/catalogue.js\"></script>"), std::string::npos);
  EXPECT_NE(page.find("link.id = \"c\" + v + v1;"), std::string::npos);
  // Fields: video, episode name, title, extra text, id, v, v1, and "n" and "1" so that the program
  // plays and records the episode without opening this page again.
  EXPECT_NE(page.find("return \"kaqvod://\" + episode.video + \"&&&\" + escape(episode.name) + "
                      "\"&&&\" + escape(title) + \"&&&\" + item.extra + \"&&&\" + id + \"&&&\" + "
                      "v + \"&&&\" + v1 + \"&&&n&&&1\";"),
            std::string::npos);
  EXPECT_NE(page.find("location.search.substring(1).split(\"-\")"), std::string::npos);
  EXPECT_NE(page.find("document.getElementById(\"c\" + cell)"), std::string::npos);
  EXPECT_NE(page.find("location.href = current.href;"), std::string::npos);
}

// TV

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

// Resources

// A web view must not wait for another host, and every file a page refers to must be there.
TEST_F(DemoSiteTest, PagesReferOnlyToThisServer) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kSiteDir)) {
    std::filesystem::path file = std::filesystem::relative(entry.path(), kSiteDir);
    if (!entry.is_regular_file() || file.extension() == ".txt") continue;
    std::string text = SiteFile(file);
    bool shop = file == "box/js/ads/tao.html";
    for (std::string_view scheme : {"http://", "https://"}) {
      for (size_t at = text.find(scheme); at != std::string::npos; at = text.find(scheme, at + 1))
        EXPECT_TRUE(shop && text.compare(at, 20, "https://example.com/") == 0)
            << file << ": " << text.substr(at, 40);
    }
    if (!IsPage(file)) continue;
    std::string pageUrl = Url(PagePath(file));
    std::vector<std::string> references = AttributeValues(text, "href");
    std::vector<std::string> sources = AttributeValues(text, "src");
    references.insert(references.end(), sources.begin(), sources.end());
    for (const std::string& reference : references) {
      EXPECT_FALSE(reference.starts_with("//")) << file << ": " << reference;
      if (g_uri_peek_scheme(reference.c_str())) continue;
      g_autofree char* target =
          g_uri_resolve_relative(pageUrl.c_str(), reference.c_str(), G_URI_FLAGS_NONE, nullptr);
      ASSERT_NE(target, nullptr) << file << ": " << reference;
      EXPECT_EQ(GetUrl(target).status, 200u) << file << ": " << reference << " -> " << target;
    }
  }
}

}  // namespace
}  // namespace lumora
