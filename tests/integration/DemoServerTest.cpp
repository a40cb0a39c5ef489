#include <gtest/gtest.h>
#include <libsoup/soup.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/FileIo.h"
#include "app/TextCodec.h"
#include "server/Catalogue.h"
#include "server/DemoServer.h"
#include "server/SitePaths.h"

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
    EXPECT_EQ(response.body, Utf8ToGbk(SiteFile(std::filesystem::path("box/lib") / name))) << name;
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

}  // namespace
}  // namespace lumora
