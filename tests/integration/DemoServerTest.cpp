#include <gio/gio.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "server/Catalogue.h"
#include "server/DemoServer.h"
#include "server/GlibPtr.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

const std::filesystem::path kSiteDir = LUMORA_TEST_SITE_DIR;
constexpr guint kTimeoutMs = 5000;

struct Response {
  unsigned long status = 0;
  std::string contentType;
  std::string body;
};

std::string SiteFile(const std::filesystem::path& relative) {
  return ReadFileBytes(kSiteDir / relative).value_or("(missing " + relative.string() + ")");
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

// A client that sends bytes exactly as given, for requests an HTTP library would not send.
class RawClient {
 public:
  explicit RawClient(std::uint16_t port)
      : socket_(g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP,
                             nullptr)) {
    g_autoptr(GSocketAddress) address = g_inet_socket_address_new_from_string("127.0.0.1", port);
    if (!g_socket_connect(socket_.get(), address, nullptr, nullptr))
      throw std::runtime_error("cannot connect to port " + std::to_string(port));
  }

  void Send(std::string_view bytes) {
    while (!bytes.empty()) {
      gssize sent = g_socket_send(socket_.get(), bytes.data(), bytes.size(), nullptr, nullptr);
      if (sent <= 0) throw std::runtime_error("cannot send");
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
  }

  // Everything the server sends until it closes the connection.
  std::string ReadToEnd() {
    Reading reading;
    SourcePtr watch(g_socket_create_source(socket_.get(), G_IO_IN, nullptr));
    g_source_set_callback(watch.get(), G_SOURCE_FUNC(OnReadable), &reading, nullptr);
    g_source_attach(watch.get(), nullptr);
    EXPECT_TRUE(IterateUntil(reading.ended)) << "the server did not close the connection";
    return reading.received;
  }

 private:
  struct Reading {
    std::string received;
    bool ended = false;
  };

  static gboolean OnReadable(GSocket* socket, GIOCondition, gpointer data) {
    auto* reading = static_cast<Reading*>(data);
    char chunk[4096];
    gssize received = g_socket_receive(socket, chunk, sizeof chunk, nullptr, nullptr);
    if (received <= 0) {
      reading->ended = true;
      return G_SOURCE_REMOVE;
    }
    reading->received.append(chunk, static_cast<size_t>(received));
    return G_SOURCE_CONTINUE;
  }

  GObjectPtr<GSocket> socket_;
};

std::string RequestHead(std::string_view method, std::string_view target) {
  return std::string(method) + " " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

std::string StatusLine(std::string_view response) {
  return std::string(response.substr(0, response.find("\r\n")));
}

std::string BodyOf(std::string_view response) {
  size_t headEnd = response.find("\r\n\r\n");
  return headEnd == std::string_view::npos ? "(no end of head)"
                                           : std::string(response.substr(headEnd + 4));
}

class DemoServerTest : public ::testing::Test {
 protected:
  void SetUp() override { server_.Start(0); }

  // The answer to a GET, read as a client reads it.
  Response Get(const std::string& target) {
    std::string answer = Exchange(RequestHead("GET", target));
    std::string head = answer.substr(0, answer.find("\r\n\r\n") + 2);
    Response response{0, "", BodyOf(answer)};
    if (head.starts_with("HTTP/1.1 ")) response.status = std::stoul(head.substr(9, 3));
    constexpr std::string_view kType = "\r\nContent-Type: ";
    if (size_t at = head.find(kType); at != std::string::npos) {
      at += kType.size();
      response.contentType = head.substr(at, head.find("\r\n", at) - at);
    }
    EXPECT_NE(head.find("\r\nContent-Length: " + std::to_string(response.body.size()) + "\r\n"),
              std::string::npos)
        << target << ": " << head;
    return response;
  }

  // Sends bytes on a fresh connection and returns the whole answer.
  std::string Exchange(std::string_view bytes) {
    RawClient client(server_.Port());
    client.Send(bytes);
    return client.ReadToEnd();
  }

  DemoServer server_{kSiteDir};
};

// Files

void ExpectFile(const Response& response, const std::string& path, const char* file,
                const char* type = "text/html; charset=utf-8") {
  EXPECT_EQ(response.status, 200u) << path;
  EXPECT_EQ(response.contentType, type) << path;
  EXPECT_EQ(response.body, SiteFile(file)) << path;
}

// The pages the program opens, as it asks for them; engines ignore a stylesheet or a script
// served under another type.
TEST_F(DemoServerTest, EveryStartPageIsServed) {
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
    ExpectFile(Get(path), path, file);
  }
  ExpectFile(Get("/box/css/portal.css"), "portal.css", "box/css/portal.css",
             "text/css; charset=utf-8");
  ExpectFile(Get("/box/js/catalogue.js"), "catalogue.js", "box/js/catalogue.js",
             "text/javascript; charset=utf-8");
}

// Encoded escapes from the tree are missing files too.
TEST_F(DemoServerTest, MissingFileAnswers404Page) {
  ASSERT_FALSE(SiteFile("catalogue.txt").starts_with("(missing"));
  for (const char* path : {"/box/no-such-page.html", "/box/lib/", "/box", "/elsewhere.html",
                           "/box/..%2Fcatalogue.txt", "/box/%2e%2e/catalogue.txt",
                           "/box/lib/..%2F..%2Fcatalogue.txt", "/box/%2E%2E%5Ccatalogue.txt"}) {
    Response response = Get(path);
    EXPECT_EQ(response.status, 404u) << path;
    EXPECT_EQ(response.contentType, "text/html; charset=utf-8") << path;
    EXPECT_NE(response.body.find("<html>"), std::string::npos) << path;
  }
}

TEST(DemoServerPaths, MapsRequestPathsInsideTheSite) {
  EXPECT_EQ(SiteFileForUrlPath("/"), "index.html");
  EXPECT_EQ(SiteFileForUrlPath("/box/"), "box/index.html");
  EXPECT_EQ(SiteFileForUrlPath("/box/js/ads/"), "box/js/ads/index.html");
  EXPECT_EQ(SiteFileForUrlPath("/box/lib/wen.txt"), "box/lib/wen.txt");
  EXPECT_EQ(SiteFileForUrlPath("/box/a%20b.html"), "box/a b.html");
  for (const char* path :
       {"", "/index.html", "/boxes/x", "/catalogue.txt", "/box/..", "/box/.", "/box//lib/wen.txt",
        "/box/%2e%2E/x", "/box/a%2Fb", "/box/a%5Cb", "/box/a%00b", "/box/a%zzb", "/box/a%4"}) {
    EXPECT_EQ(SiteFileForUrlPath(path), std::nullopt) << path;
  }
}

TEST_F(DemoServerTest, TextResourcesAreGbkOnTheWire) {
  for (const char* name : {"wen.txt", "gun.txt", "tan.txt"}) {
    Response response = Get(std::string("/box/lib/") + name);
    EXPECT_EQ(response.status, 200u) << name;
    EXPECT_EQ(response.contentType, "text/plain") << name;
    std::string text = SiteFile(std::filesystem::path("box/lib") / name);
    EXPECT_EQ(response.body, Utf8ToGbk(FillAddressPlaceholders(text, server_.SiteUrl()))) << name;
  }
  EXPECT_NE(Get("/box/lib/gun.txt").body, SiteFile("box/lib/gun.txt")) << "no Chinese in gun.txt";
}

// Play data

std::vector<std::string> SplitReply(const std::string& gbk) {
  std::vector<std::string> parts;
  for (std::string_view part : SplitFields(gbk, "$")) parts.push_back(GbkToUtf8(part));
  return parts;
}

TEST_F(DemoServerTest, PlayDataOfAnEpisodeIsThreeGbkParts) {
  Response second = Get("/box/h.asp?id=102&v=1&v1=1");
  EXPECT_EQ(second.status, 200u);
  EXPECT_EQ(second.contentType, "text/plain");
  EXPECT_EQ(second.body, Utf8ToGbk("2022 古装 剧情$第2集$h/102/1/2"));

  EXPECT_EQ(SplitReply(Get("/box/h.asp?id=104&v=0&v1=5").body),
            (std::vector<std::string>{"2023 都市 爱情", "第6集", "m/104/0/6"}));
}

TEST_F(DemoServerTest, PlayDataWithoutSuchEpisodeHasNoDollar) {
  for (const char* query :
       {"id=999&v=0&v1=0", "id=abc&v=0&v1=0", "v=0&v1=0", "id=&v=0&v1=0", "id=102&v=2&v1=0",
        "id=102&v=1&v1=2", "id=102&v=0&v1=-1", "id=102&v=x&v1=0", "id=102&v=0", "id=102x&v=0&v1=0",
        "id=108&v=0&v1=0"}) {
    Response response = Get(std::string("/box/h.asp?") + query);
    EXPECT_EQ(response.status, 200u) << query;
    EXPECT_FALSE(response.body.empty()) << query;
    EXPECT_EQ(response.body.find('$'), std::string::npos) << query;
  }
}

// Pings

TEST_F(DemoServerTest, PingKeepsItsIdExactlyAsSent) {
  Response first = Get("/box/tj/tj.asp?id=0A-1B-2C-3D-4E-5F");
  EXPECT_EQ(first.status, 200u);
  EXPECT_EQ(first.contentType, "text/html; charset=utf-8");
  Get("/box/tj/tj.asp?id=a+b%26c%3D%2F%20-~&x=1");
  Get("/box/tj/tj.asp?x=1");
  Exchange(RequestHead("GET", "/box/tj/tj.asp?id=%u4E2D%zz-%&x=%u"));
  EXPECT_EQ(server_.Pings(),
            (std::vector<std::string>{"0A-1B-2C-3D-4E-5F", "a+b%26c%3D%2F%20-~", "%u4E2D%zz-%"}));
}

// The wire: what the program's pages send, and clients that misbehave

TEST_F(DemoServerTest, JsEscapedQueriesAreAnsweredAndLoggedAsSent) {
  std::string target = "/box/play.htm?m/102/0/1$$$%u7B2C1%u96C6";
  std::string response = Exchange(RequestHead("GET", target));
  EXPECT_EQ(StatusLine(response), "HTTP/1.1 200 OK");
  EXPECT_EQ(BodyOf(response), SiteFile("box/play.htm"));
  // In the path, a "%" that does not start an escape names no file.
  EXPECT_EQ(StatusLine(Exchange(RequestHead("GET", "/box/%u0070lay.htm"))),
            "HTTP/1.1 404 Not Found");
  EXPECT_EQ(server_.RequestLog(),
            (std::vector<std::string>{"GET " + target + " 200", "GET /box/%u0070lay.htm 404"}));
}

}  // namespace
}  // namespace lumora
