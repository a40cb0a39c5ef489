#include <arpa/inet.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "app/FileIo.h"
#include "app/ServerFetch.h"
#include "app/TextCodec.h"
#include "platform/gtk/GtkPlatform.h"
#include "server/DemoServer.h"

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
  EXPECT_EQ(fetch_.FetchText(server_.BaseUrl() + "lib/gun.txt"), *file);
}

TEST_F(FetchTextTest, RefusedConnectionGivesTheEmptyTextQuickly) {
  std::string url = SilentServer().Url();  // the port is closed again once it is gone
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch_.FetchText(url), "");
  EXPECT_LT(Seconds(std::chrono::steady_clock::now() - start).count(), 1.0);
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
