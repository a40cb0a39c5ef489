#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/FileIo.h"
#include "app/TextCodec.h"
#include "server/Catalogue.h"
#include "server/DemoServer.h"
#include "server/GlibPtr.h"
#include "server/HttpMessage.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

const std::filesystem::path kSiteDir = LUMORA_TEST_SITE_DIR;
constexpr guint kTimeoutMs = 5000;

struct Response {
  guint status = 0;
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

// A well-formed GET head of exactly size bytes, filled up by one long header line.
std::string HeadOfSize(size_t size) {
  std::string start = "GET /box/ HTTP/1.1\r\nX-Filler: ";
  std::string end = "\r\n\r\n";
  return start + std::string(size - start.size() - end.size(), 'x') + end;
}

std::string StatusLine(std::string_view response) {
  return std::string(response.substr(0, response.find("\r\n")));
}

std::string BodyOf(std::string_view response) {
  size_t headEnd = response.find("\r\n\r\n");
  return headEnd == std::string_view::npos ? "(no end of head)"
                                           : std::string(response.substr(headEnd + 4));
}

// Every http address in a text resource, each running to the next "$$$" or the end.
std::vector<std::string> AddressesIn(std::string_view text) {
  std::vector<std::string> addresses;
  for (size_t at = text.find("http://"); at != std::string_view::npos;
       at = text.find("http://", at + 1)) {
    addresses.emplace_back(text.substr(at, text.find("$$$", at) - at));
  }
  return addresses;
}

class DemoServerTest : public ::testing::Test {
 protected:
  void SetUp() override { server_.Start(0); }

  Response Request(const char* method, const std::string& pathAndQuery) {
    std::string url = "http://127.0.0.1:" + std::to_string(server_.Port()) + pathAndQuery;
    GObjectPtr<SoupMessage> message(soup_message_new(method, url.c_str()));
    if (!message) throw std::invalid_argument("bad address " + url);
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
    SoupMessageHeaders* headers = soup_message_get_response_headers(message.get());
    const char* contentType = soup_message_headers_get_one(headers, "Content-Type");
    response.contentType = contentType ? contentType : "";
    gsize size = 0;
    const char* data = body ? static_cast<const char*>(g_bytes_get_data(body, &size)) : "";
    response.body.assign(data, size);
    return response;
  }

  Response Get(const std::string& pathAndQuery) { return Request("GET", pathAndQuery); }

  // Sends bytes on a fresh connection and returns the whole answer.
  std::string Exchange(std::string_view bytes) {
    RawClient client(server_.Port());
    client.Send(bytes);
    return client.ReadToEnd();
  }

  std::ostringstream log_;
  DemoServer server_{kSiteDir, &log_};
  GObjectPtr<SoupSession> session_{soup_session_new()};
};

// Files

TEST_F(DemoServerTest, ServesPagesAndStylesheetsAsUtf8) {
  Response portal = Get("/box/");
  EXPECT_EQ(portal.status, 200u);
  EXPECT_EQ(portal.contentType, "text/html; charset=utf-8");
  EXPECT_EQ(portal.body, SiteFile("box/index.html"));
  EXPECT_NE(portal.body.find("<meta charset=\"utf-8\">"), std::string::npos);

  EXPECT_EQ(Get("/").body, SiteFile("index.html"));

  Response stylesheet = Get("/box/css/portal.css");
  EXPECT_EQ(stylesheet.status, 200u);
  EXPECT_EQ(stylesheet.contentType, "text/css; charset=utf-8");
  EXPECT_EQ(stylesheet.body, SiteFile("box/css/portal.css"));
}

TEST_F(DemoServerTest, MissingFileAnswers404Page) {
  for (const char* path : {"/box/no-such-page.html", "/box/lib/", "/box", "/elsewhere.html"}) {
    Response response = Get(path);
    EXPECT_EQ(response.status, 404u) << path;
    EXPECT_EQ(response.contentType, "text/html; charset=utf-8") << path;
    EXPECT_NE(response.body.find("<html>"), std::string::npos) << path;
  }
}

TEST_F(DemoServerTest, RefusesEncodedEscapesFromTheTree) {
  ASSERT_FALSE(SiteFile("catalogue.txt").starts_with("(missing"));
  for (const char* path : {"/box/..%2Fcatalogue.txt", "/box/%2e%2e/catalogue.txt",
                           "/box/lib/..%2F..%2Fcatalogue.txt", "/box/%2E%2E%5Ccatalogue.txt"}) {
    EXPECT_EQ(Get(path).status, 404u) << path;
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

TEST_F(DemoServerTest, TextResourcesLinkToThisServersPort) {
  for (const char* name : {"gun.txt", "tan.txt"}) {
    std::string text = GbkToUtf8(Get(std::string("/box/lib/") + name).body);
    EXPECT_EQ(text.find('{'), std::string::npos) << name << ": " << text;
    std::vector<std::string> addresses = AddressesIn(text);
    EXPECT_FALSE(addresses.empty()) << name;
    for (const std::string& address : addresses) {
      ASSERT_TRUE(address.starts_with(server_.SiteUrl())) << name << ": " << address;
      EXPECT_EQ(Get(address.substr(server_.SiteUrl().size() - 1)).status, 200u) << address;
    }
  }
}

TEST(DemoServerPaths, FillsEveryAddressPlaceholder) {
  EXPECT_EQ(FillAddressPlaceholders("{SITE}{BASE}x||{SITE}{SITE", "http://h:1/"),
            "http://h:1/http://h:1/box/x||http://h:1/{SITE");
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

TEST(DemoServerCatalogue, RejectsLinesThatWouldBreakTheReply) {
  for (const char* line :
       {"1|t|x", "x|t|e|n=v", "1||e|n=v", "1|t|e|n", "1|t|e|n=a-b", "1|t|e|n=", "1|t|e$f|n=v",
        "1|t|e|n$m=v", "1|t|e|!a$b", "1|t|e|n=v,", "1|t|e|n=v\n1|u|e|n=v"}) {
    EXPECT_THROW(Catalogue::Parse(line), std::runtime_error) << line;
  }
}

TEST(DemoServerCatalogue, PortalShowsEveryItem) {
  Catalogue catalogue = Catalogue::Load(kSiteDir / "catalogue.txt");
  std::string portal = SiteFile("box/index.html");
  EXPECT_GE(catalogue.Items().size(), 8u);
  for (const CatalogueItem& item : catalogue.Items()) {
    EXPECT_NE(portal.find("<h2>" + item.title + "</h2>"), std::string::npos) << item.title;
  }
}

// Pings and the request log

TEST_F(DemoServerTest, PingKeepsItsIdExactlyAsSent) {
  Response first = Get("/box/tj/tj.asp?id=0A-1B-2C-3D-4E-5F");
  EXPECT_EQ(first.status, 200u);
  EXPECT_EQ(first.contentType, "text/html; charset=utf-8");
  Get("/box/tj/tj.asp?id=a+b%26c%3D%2F%20-~&x=1");
  Get("/box/tj/tj.asp?x=1");
  EXPECT_EQ(server_.Pings(), (std::vector<std::string>{"0A-1B-2C-3D-4E-5F", "a+b%26c%3D%2F%20-~"}));
}

TEST_F(DemoServerTest, LogsOneLinePerRequest) {
  Get("/box/");
  Get("/box/missing.html");
  Get("/box/h.asp?id=103&v=0&v1=0");
  EXPECT_EQ(Request("POST", "/box/").status, 405u);
  std::vector<std::string> expected{"GET /box/ 200", "GET /box/missing.html 404",
                                    "GET /box/h.asp?id=103&v=0&v1=0 200", "POST /box/ 405"};
  EXPECT_EQ(server_.RequestLog(), expected);
  EXPECT_EQ(log_.str(),
            expected[0] + "\n" + expected[1] + "\n" + expected[2] + "\n" + expected[3] + "\n");
}

TEST_F(DemoServerTest, BusyPortIsReported) {
  EXPECT_NE(server_.Port(), 0);
  DemoServer second(kSiteDir);
  EXPECT_THROW(second.Start(server_.Port()), std::runtime_error);
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

TEST_F(DemoServerTest, PingIdWithStrayPercentSignsIsKeptAsSent) {
  Exchange(RequestHead("GET", "/box/tj/tj.asp?id=%u4E2D%zz-%&x=%u"));
  EXPECT_EQ(server_.Pings(), std::vector<std::string>{"%u4E2D%zz-%"});
}

TEST_F(DemoServerTest, HeadAnswersWithTheHeadOfGetOnly) {
  std::string get = Exchange(RequestHead("GET", "/box/css/portal.css"));
  std::string head = Exchange(RequestHead("HEAD", "/box/css/portal.css"));
  EXPECT_EQ(head, get.substr(0, get.size() - BodyOf(get).size()));
  EXPECT_EQ(BodyOf(get), SiteFile("box/css/portal.css"));
  for (const std::string& line :
       std::vector<std::string>{"Content-Type: text/css; charset=utf-8", "Connection: close",
                                "Content-Length: " + std::to_string(BodyOf(get).size())}) {
    EXPECT_NE(head.find("\r\n" + line + "\r\n"), std::string::npos) << line << " in " << head;
  }
  EXPECT_EQ(server_.RequestLog().back(), "HEAD /box/css/portal.css 200");
}

TEST_F(DemoServerTest, OtherMethodsAre405NamingTheAllowedOnes) {
  for (const char* method : {"POST", "PUT", "DELETE", "OPTIONS"}) {
    std::string response = Exchange(RequestHead(method, "/box/"));
    EXPECT_EQ(StatusLine(response), "HTTP/1.1 405 Method Not Allowed") << method;
    EXPECT_NE(response.find("\r\nAllow: GET, HEAD\r\n"), std::string::npos) << method;
  }
}

// A copy of the site's catalogue and one page too large for the socket buffers to hold at once.
class LargePageSite {
 public:
  LargePageSite() : dir_(TemporaryDirectory()), page_(4 << 20, 'x') {
    std::filesystem::copy_file(kSiteDir / "catalogue.txt", dir_ / "catalogue.txt");
    std::filesystem::create_directory(dir_ / "box");
    if (!WriteFileAtomically(dir_ / "box/large.html", page_))
      throw std::runtime_error("cannot write the large page");
  }
  ~LargePageSite() { std::filesystem::remove_all(dir_); }

  const std::filesystem::path& Dir() const { return dir_; }
  const std::string& Page() const { return page_; }

 private:
  static std::filesystem::path TemporaryDirectory() {
    g_autofree char* dir = g_dir_make_tmp("lumora-site-XXXXXX", nullptr);
    if (!dir) throw std::runtime_error("cannot make a temporary directory");
    return dir;
  }

  std::filesystem::path dir_;
  std::string page_;
};

// Closing a connection with unread bytes resets it, which throws away the part of the answer that
// is still on its way.
TEST(DemoServerWire, AnswerArrivesWholeThoughTheServerLeavesARequestBodyUnread) {
  LargePageSite site;
  DemoServer server(site.Dir());
  server.Start(0);
  RawClient client(server.Port());
  std::string body(64 * 1024, 'y');
  client.Send("GET /box/large.html HTTP/1.1\r\nContent-Length: " + std::to_string(body.size()) +
              "\r\n\r\n" + body);
  EXPECT_EQ(BodyOf(client.ReadToEnd()).size(), site.Page().size());
}

TEST_F(DemoServerTest, MalformedOrOversizedHeadsAre400AndServingGoesOn) {
  EXPECT_EQ(StatusLine(Exchange(HeadOfSize(kMaxRequestHeadBytes))), "HTTP/1.1 200 OK");
  for (const std::string& head :
       {HeadOfSize(kMaxRequestHeadBytes + 1), std::string(kMaxRequestHeadBytes + 4000, 'x'),
        std::string("garbage\r\n\r\n"), std::string("GET /box/\r\n\r\n"),
        std::string("GET  /box/ HTTP/1.1\r\n\r\n"), std::string("GET /b x/ HTTP/1.1\r\n\r\n"),
        std::string("GET box/ HTTP/1.1\r\n\r\n"), std::string("GET /box/ HTTP/2\r\n\r\n"),
        std::string("GET /box/ HTTP/1.1\r\nno colon\r\n\r\n"),
        std::string("GET /box/ HTTP/1.1\r\n folded: x\r\n\r\n")}) {
    EXPECT_EQ(StatusLine(Exchange(head)), "HTTP/1.1 400 Bad Request") << head.substr(0, 40);
  }
  EXPECT_EQ(Get("/box/").status, 200u);
  EXPECT_EQ(server_.RequestLog(), (std::vector<std::string>{"GET /box/ 200", "GET /box/ 200"}));
}

TEST_F(DemoServerTest, ClientsThatLeaveEarlyDoNotDisturbTheNextRequest) {
  // One client connects and goes, one goes halfway through its head, one before its answer.
  RawClient(server_.Port());
  RawClient(server_.Port()).Send("GET /box/ HT");
  RawClient(server_.Port()).Send(RequestHead("GET", "/box/css/portal.css"));
  EXPECT_EQ(Get("/box/lib/wen.txt").status, 200u);
  // Only the one that sent a whole head was a request.
  EXPECT_THAT(server_.RequestLog(), ::testing::UnorderedElementsAre("GET /box/css/portal.css 200",
                                                                    "GET /box/lib/wen.txt 200"));
}

TEST_F(DemoServerTest, AnswersRequestsInParallel) {
  RawClient slow(server_.Port());
  slow.Send("GET /box/lib/wen.txt HTTP/1.1\r\n");
  RawClient quick(server_.Port());
  quick.Send(RequestHead("GET", "/box/css/portal.css"));
  EXPECT_EQ(BodyOf(quick.ReadToEnd()), SiteFile("box/css/portal.css"));
  slow.Send("Host: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(BodyOf(slow.ReadToEnd()), Utf8ToGbk(SiteFile("box/lib/wen.txt")));
  EXPECT_EQ(server_.RequestLog(),
            (std::vector<std::string>{"GET /box/css/portal.css 200", "GET /box/lib/wen.txt 200"}));
}

TEST_F(DemoServerTest, SilentClientIsDroppedAfterAFewSeconds) {
  RawClient silent(server_.Port());
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(silent.ReadToEnd(), "");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_TRUE(server_.RequestLog().empty());
}

}  // namespace
}  // namespace lumora
