#include <arpa/inet.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/FileIo.h"
#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

using Seconds = std::chrono::duration<double>;

// Accepts connections into its backlog and never answers them.
class SilentServer {
 public:
  SilentServer() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
    listen(fd_, 8);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() { close(fd_); }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/box/x"; }

 private:
  int fd_;
  int port_ = 0;
};

// Answers every GET with a body just over the size limit, with or without a declared length.
class OversizedBodyServer {
 public:
  explicit OversizedBodyServer(bool chunked) : chunked_(chunked) {
    soup_server_add_handler(server_.get(), nullptr, Answer, this, nullptr);
    soup_server_listen_local(server_.get(), 0, SOUP_SERVER_LISTEN_IPV4_ONLY, nullptr);
    GSList* uris = soup_server_get_uris(server_.get());
    port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, [](gpointer uri) { g_uri_unref(static_cast<GUri*>(uri)); });
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/big.txt"; }

 private:
  static void Answer(SoupServer*, SoupServerMessage* message, const char*, GHashTable*,
                     gpointer self) {
    std::string body(HttpClient::kMaxBodyBytes + 1, 'x');
    soup_server_message_set_status(message, 200, nullptr);
    SoupMessageBody* response = soup_server_message_get_response_body(message);
    if (static_cast<OversizedBodyServer*>(self)->chunked_) {
      soup_message_headers_set_encoding(soup_server_message_get_response_headers(message),
                                        SOUP_ENCODING_CHUNKED);
    }
    soup_message_body_append(response, SOUP_MEMORY_COPY, body.data(), body.size());
    soup_message_body_complete(response);
  }

  bool chunked_;
  gtk::GObjectPtr<SoupServer> server_{soup_server_new(nullptr, nullptr)};
  int port_ = 0;
};

class FetchTextTest : public ::testing::Test {
 protected:
  FetchTextTest() { server_.Start(0); }

  gtk::GtkPlatform platform_;
  ServerFetch fetch_{platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock()};
  DemoServer server_{LUMORA_TEST_SITE_DIR};
};

TEST_F(FetchTextTest, NotFoundPageBodyIsReturned) {
  std::string text = fetch_.FetchText(server_.BaseUrl() + "no/such/page.htm");
  EXPECT_NE(text.find("<html"), std::string::npos) << text;
  EXPECT_EQ(server_.RequestLog().size(), 1u);
  EXPECT_NE(server_.RequestLog().front().find("404"), std::string::npos);
}

TEST_F(FetchTextTest, GbkBodyIsDecoded) {
  auto file = ReadFileBytes(std::filesystem::path(LUMORA_TEST_SITE_DIR) / "box/lib/gun.txt");
  ASSERT_TRUE(file.has_value());
  ASSERT_NE(Utf8ToGbk(*file), *file) << "the ticker list should hold Chinese text";
  EXPECT_EQ(fetch_.FetchText(server_.BaseUrl() + "lib/gun.txt"),
            FillAddressPlaceholders(*file, server_.SiteUrl()));
}

TEST_F(FetchTextTest, RefusedConnectionGivesTheEmptyTextQuickly) {
  std::string url = SilentServer().Url();  // the port is closed again once it is gone
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch_.FetchText(url), "");
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start).count(), 1.0);
}

TEST_F(FetchTextTest, BodyOverTheLimitIsAbandoned) {
  for (bool chunked : {false, true}) {
    OversizedBodyServer big(chunked);
    EXPECT_EQ(fetch_.FetchText(big.Url()), "") << (chunked ? "chunked" : "with length");
  }
}

TEST_F(FetchTextTest, SilentServerGivesTheEmptyTextAfterThreeToFourSecondsWhileTimersRun) {
  SilentServer silent;
  int ticks = 0;
  guint timer = g_timeout_add(
      100,
      [](gpointer count) -> gboolean {
        ++*static_cast<int*>(count);
        return G_SOURCE_CONTINUE;
      },
      &ticks);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch_.FetchText(silent.Url()), "");
  double elapsed = Seconds(std::chrono::steady_clock::now() - start).count();
  g_source_remove(timer);
  EXPECT_GE(elapsed, 3.0);
  EXPECT_LE(elapsed, 4.2);
  EXPECT_GE(ticks, 25);
}

}  // namespace
}  // namespace lumora
