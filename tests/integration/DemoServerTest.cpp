#include <gio/gio.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/FileIo.h"
#include "core/JsEscape.h"
#include "core/TextCodec.h"
#include "server/DemoServer.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

const std::filesystem::path kSiteDir = LUMORA_TEST_SITE_DIR;

std::string SiteFile(const std::filesystem::path& relative) {
  return ReadFileBytes(kSiteDir / relative).value_or("(missing " + relative.string() + ")");
}

// The whole answer of the server with this status, type and body.
std::string Answer(int status, const std::string& type, const std::string& body) {
  return std::string(status == 200 ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") +
         "\r\nContent-Type: " + type + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::string BodyOf(const std::string& answer) {
  size_t headEnd = answer.find("\r\n\r\n");
  return headEnd == std::string::npos ? "(no end of head)" : answer.substr(headEnd + 4);
}

class DemoServerTest : public ::testing::Test {
 protected:
  void SetUp() override { server_.Start(0); }

  // The answer to a GET with these header lines, sent as plain bytes on a fresh connection, until
  // the server closes it.
  std::string Get(const std::string& target, const std::string& headerLines = "") {
    g_autoptr(GSocketClient) client = g_socket_client_new();
    g_autoptr(GSocketConnection) connection =
        g_socket_client_connect_to_host(client, "127.0.0.1", server_.Port(), nullptr, nullptr);
    if (connection == nullptr) return "(cannot connect)";
    GSocket* socket = g_socket_connection_get_socket(connection);
    std::string request =
        "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headerLines + "\r\n";
    g_socket_send(socket, request.data(), request.size(), nullptr, nullptr);
    g_socket_set_blocking(socket, FALSE);
    std::string answer;
    char chunk[4096];
    gssize count = -1;  // 0 once the server closed the connection
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         count != 0 && std::chrono::steady_clock::now() < end;) {
      g_main_context_iteration(nullptr, FALSE);
      count = g_socket_receive(socket, chunk, sizeof chunk, nullptr, nullptr);
      if (count > 0) answer.append(chunk, static_cast<size_t>(count));
      if (count < 0) g_usleep(1000);  // nothing yet, or an error that ends in the time-out
    }
    EXPECT_EQ(count, 0) << target << ": the server did not close the connection";
    return answer;
  }

  DemoServer server_{kSiteDir};
};

// Pages as the program asks for them, escape()d queries among them, each logged as sent, with the
// types engines need: they ignore a stylesheet or a script served under another. A missing file,
// a folder without an index page and a path outside the tree get a 404 page; the paths test has
// the escapes that would leave it.
TEST_F(DemoServerTest, FilesAreServedWithTheirTypesAndLoggedAsSentMissingOnesAs404Pages) {
  const std::string html = "text/html; charset=utf-8";
  std::vector<std::string> log;
  for (auto [path, file, type] : std::vector<std::array<std::string, 3>>{
           {"/box/", "box/index.html", html},
           {"/box/play.htm?m/102/0/1$$$%u7B2C1%u96C6", "box/play.htm", html},
           {"/box/pp.htm?----", "box/pp.htm", html},
           {"/", "index.html", html},
           {"/box/css/portal.css", "box/css/portal.css", "text/css; charset=utf-8"},
           {"/box/js/catalogue.js", "box/js/catalogue.js", "text/javascript; charset=utf-8"},
           {"/box/media/demo.webm", "box/media/demo.webm", "video/webm"},
       }) {
    EXPECT_EQ(Get(path), Answer(200, type, SiteFile(file))) << path;
    log.push_back("GET " + path + " 200");
  }
  EXPECT_EQ(server_.RequestLog(), log);
  for (const char* path : {"/box/no-such-page.html", "/box/lib/", "/elsewhere.html"}) {
    std::string answer = Get(path);
    EXPECT_EQ(answer, Answer(404, "text/html; charset=utf-8", BodyOf(answer))) << path;
    EXPECT_NE(BodyOf(answer).find("<html>"), std::string::npos) << path;
  }
}

// The media player asks for parts of the video; what is no single range of bytes gets all of it.
// Heads are compared as text, bodies only for equality: they are binary.
TEST_F(DemoServerTest, RangeOfBytesAnswersThatPartOfTheFile) {
  const std::string video = SiteFile("box/media/demo.webm");
  ASSERT_GT(video.size(), 1000u);
  const size_t size = video.size();
  auto get = [&](const std::string& range) {
    return Get("/box/media/demo.webm", "range: " + range + "\r\n");
  };
  auto head = [](const std::string& answer) { return answer.substr(0, answer.find("\r\n\r\n")); };
  for (auto [range, first, last] : {std::tuple{"bytes=0-99", size_t{0}, size_t{99}},
                                    {"bytes=1000-", 1000, size - 1},
                                    {"bytes=-10", size - 10, size - 1},
                                    {"bytes=10-99999999", 10, size - 1}}) {
    std::string answer = get(range);
    EXPECT_EQ(head(answer),
              "HTTP/1.1 206 Partial Content\r\nContent-Type: video/webm\r\n"
              "Content-Length: " +
                  std::to_string(last - first + 1) + "\r\nContent-Range: bytes " +
                  std::to_string(first) + "-" + std::to_string(last) + "/" + std::to_string(size) +
                  "\r\nConnection: close")
        << range;
    EXPECT_TRUE(BodyOf(answer) == video.substr(first, last - first + 1)) << range;
  }
  EXPECT_EQ(get("bytes=" + std::to_string(size) + "-"),
            "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Type: text/plain\r\nContent-Length: "
            "0\r\nContent-Range: bytes */" +
                std::to_string(size) + "\r\nConnection: close\r\n\r\n");
  for (const char* whole : {"bytes=5-1", "bytes=0-1,5-6", "lines=1-2", "bytes=x-"}) {
    std::string answer = get(whole);
    EXPECT_EQ(head(answer), head(Answer(200, "video/webm", video))) << whole;
    EXPECT_TRUE(BodyOf(answer) == video) << whole;
  }
}

TEST(DemoServerPaths, MapsRequestPathsInsideTheSite) {
  const std::pair<const char*, std::optional<std::string>> paths[] = {
      {"/", "index.html"},
      {"/box/", "box/index.html"},
      {"/box/js/ads/", "box/js/ads/index.html"},
      {"/box/lib/wen.txt", "box/lib/wen.txt"},
      {"/box/a%20b.html", "box/a b.html"}};
  for (const auto& [path, file] : paths) EXPECT_EQ(SiteFileForUrlPath(path), file) << path;
  for (const char* path :
       {"", "/index.html", "/boxes/x", "/catalogue.txt", "/box/..", "/box/.", "/box//lib/wen.txt",
        "/box/%2e%2E/x", "/box/..%2Fx", "/box/a%2Fb", "/box/a%5Cb", "/box/%2E%2E%5Cx", "/box/a%00b",
        "/box/a%zzb", "/box/a%4"}) {
    EXPECT_EQ(SiteFileForUrlPath(path), std::nullopt) << path;
  }
}

// Only an episode the catalogue has gets three "$"-separated GBK parts.
TEST_F(DemoServerTest, PlayDataAnswersOnlyEpisodesOfTheCatalogue) {
  EXPECT_EQ(Get("/box/h.asp?id=102&v=1&v1=1"),
            Answer(200, "text/plain", Utf8ToGbk("2022 古装 剧情$第2集$h/102/1/2")));
  EXPECT_EQ(Get("/box/h.asp?id=104&v=0&v1=5"),
            Answer(200, "text/plain", Utf8ToGbk("2023 都市 爱情$第6集$m/104/0/6")));
  for (const char* query :
       {"id=999&v=0&v1=0", "id=abc&v=0&v1=0", "v=0&v1=0", "id=&v=0&v1=0", "id=102&v=2&v1=0",
        "id=102&v=1&v1=2", "id=102&v=0&v1=-1", "id=102&v=x&v1=0", "id=102&v=0", "id=102x&v=0&v1=0",
        "id=108&v=0&v1=0", "id=%u4E2D%zz-%&v=%u&v1=%"}) {
    std::string answer = Get(std::string("/box/h.asp?") + query);
    EXPECT_EQ(answer, Answer(200, "text/plain", BodyOf(answer))) << query;
    EXPECT_FALSE(BodyOf(answer).empty()) << query;
    EXPECT_EQ(BodyOf(answer).find('$'), std::string::npos) << query;
  }
}

TEST(DemoSiteTv, ChannelListLinksOnlyToTheTvScheme) {
  std::string page = SiteFile("box/tv/list.htm");
  std::regex link(R"(<a ([^>]*)>([\s\S]*?)</a>)"), href(R"x((?:^| )href="([^"]*)")x"),
      tag("<[^>]*>");
  std::set<std::string> channels;
  for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
    std::smatch address;
    std::string attributes = (*it)[1];
    std::regex_search(attributes, address, href);
    std::string target = address[1], text = std::regex_replace((*it)[2].str(), tag, "");
    ASSERT_TRUE(target.starts_with("katvs://")) << target;
    std::string query = target.substr(8);
    std::string_view number = FieldOrEmpty(SplitFields(query, "&"), 0);
    std::string_view name = FieldOrEmpty(SplitFields(query, "&name="), 1);
    EXPECT_TRUE(number.starts_with("ch=")) << target;
    EXPECT_TRUE(channels.insert(std::string(number)).second) << target;
    // The player page unescapes the name; it must be the one the list shows.
    EXPECT_EQ(JsEscape(JsUnescape(name)), name) << target;
    EXPECT_NE(text.find(JsUnescape(name)), std::string::npos) << target;
    EXPECT_NE(JsUnescape(name), name) << target << ": the name is not escaped";
  }
  EXPECT_GE(channels.size(), 8u);
}

}  // namespace
}  // namespace lumora
