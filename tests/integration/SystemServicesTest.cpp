#include <glib.h>
#include <gtest/gtest.h>

#include "core/FileIo.h"
#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/SystemNetworkAdapters.h"
#include "server/DemoServer.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

using namespace std::chrono_literals;

// A local server that never answers, or answers every request with a body just over the size
// limit, with or without a declared length.
class TestServer {
 public:
  enum Answer { kNever, kOversized, kOversizedChunked };
  explicit TestServer(Answer answer) : answer_(answer) {
    soup_server_add_handler(server_.get(), nullptr, Handle, this, nullptr);
    soup_server_listen_local(server_.get(), 0, SOUP_SERVER_LISTEN_IPV4_ONLY, nullptr);
    GSList* uris = soup_server_get_uris(server_.get());
    port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, [](gpointer uri) { g_uri_unref(static_cast<GUri*>(uri)); });
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/box/x"; }

 private:
  static void Handle(SoupServer*, SoupServerMessage* message, const char*, GHashTable*,
                     gpointer self) {
    Answer answer = static_cast<TestServer*>(self)->answer_;
    if (answer == kNever) return soup_server_message_pause(message);
    std::string body(HttpClient::kMaxBodyBytes + 1, 'x');
    soup_server_message_set_status(message, 200, nullptr);
    if (answer == kOversizedChunked) {
      soup_message_headers_set_encoding(soup_server_message_get_response_headers(message),
                                        SOUP_ENCODING_CHUNKED);
    }
    SoupMessageBody* response = soup_server_message_get_response_body(message);
    soup_message_body_append(response, SOUP_MEMORY_COPY, body.data(), body.size());
    soup_message_body_complete(response);
  }

  Answer answer_;
  gtk::GObjectPtr<SoupServer> server_{soup_server_new(nullptr, nullptr)};
  int port_ = 0;
};

// The body of any status, decoded from GBK. A refused connection fails at once; a body over the
// limit is abandoned, declared or not; a silent server is given up after three to four seconds,
// while timers run on: each failure gives the empty text.
TEST(FetchTextTest, BodyIsReturnedWhateverTheStatusAndDecodedAndFailedFetchesGiveTheEmptyText) {
  gtk::GtkPlatform platform;
  ServerFetch fetch{platform.GetHttpClient(), platform.GetEventLoop(), platform.GetClock()};
  DemoServer server{LUMORA_TEST_SITE_DIR};
  server.Start(0);
  for (const char* address : {"no address", "http://[", ""}) {
    platform.GetHttpClient().PrepareFor(address);
  }
  platform.GetHttpClient().PrepareFor(server.BaseUrl());
  std::string text = fetch.FetchText(server.BaseUrl() + "no/such/page.htm");
  EXPECT_NE(text.find("<html"), std::string::npos) << text;
  EXPECT_EQ(server.RequestLog(), std::vector<std::string>{"GET /box/no/such/page.htm 404"});
  // The file holds Chinese text, which goes out as GBK.
  std::string file = ReadFileBytes(std::filesystem::path(LUMORA_TEST_SITE_DIR) / "box/lib/gun.txt")
                         .value_or("(missing)");
  ASSERT_NE(Utf8ToGbk(file), file);
  EXPECT_EQ(fetch.FetchText(server.BaseUrl() + "lib/gun.txt"),
            FillAddressPlaceholders(file, server.SiteUrl()));

  std::string url = TestServer(TestServer::kNever).Url();  // the port is closed once it is gone
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch.FetchText(url), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  for (auto answer : {TestServer::kOversized, TestServer::kOversizedChunked}) {
    EXPECT_EQ(fetch.FetchText(TestServer(answer).Url()), "") << answer;
  }

  TestServer silent(TestServer::kNever);
  int ticks = 0;
  std::unique_ptr<Timer> timer = platform.CreateTimer();
  timer->onTick = [&] { ++ticks; };
  timer->SetInterval(100ms);
  timer->SetEnabled(true);
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch.FetchText(silent.Url()), "");
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, 3s);
  EXPECT_LE(elapsed, 4200ms);
  EXPECT_GE(ticks, 25);
}

TEST(SystemNetworkAdaptersTest, LoopbackComesFirstFlaggedAndWithItsAddress) {
  std::vector<NetworkAdapter> adapters = gtk::SystemNetworkAdapters().List();
  ASSERT_FALSE(adapters.empty());
  EXPECT_EQ(adapters.front().name, "lo");
  EXPECT_TRUE(adapters.front().loopback);
  EXPECT_TRUE(adapters.front().hasIpAddress);
  for (size_t i = 1; i < adapters.size(); ++i) {
    EXPECT_FALSE(adapters[i].loopback) << adapters[i].name;
    EXPECT_FALSE(adapters[i].name.empty());
  }
}

}  // namespace
}  // namespace lumora
