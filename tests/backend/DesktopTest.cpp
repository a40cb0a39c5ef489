#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>

#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/HandOverSocket.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/support/TempDir.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;
using CommandLines = std::vector<std::vector<std::string>>;

const std::vector<std::string> kLaterStart{"/opt/lumora/lumora", "--from", "a b", "\xE4\xB8\xAD",
                                           ""};

// This test program run again as an instance of the program, without a session bus or display
// and with this runtime folder: the running one when given a file to tell of its claim in, else a
// later start.
GObjectPtr<GSubprocess> StartInstance(const std::string& runtime,
                                      const std::string& claimedFile = "") {
  g_autoptr(GSubprocessLauncher) launcher =
      g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_STDOUT_SILENCE);
  if (!claimedFile.empty()) {
    g_subprocess_launcher_setenv(launcher, "LUMORA_TEST_CLAIMED", claimedFile.c_str(), TRUE);
  }
  g_subprocess_launcher_unsetenv(launcher, "DBUS_SESSION_BUS_ADDRESS");
  g_subprocess_launcher_unsetenv(launcher, "DISPLAY");
  g_subprocess_launcher_setenv(launcher, "XDG_RUNTIME_DIR", runtime.c_str(), TRUE);
  return GObjectPtr<GSubprocess>(StartTestAgain(launcher, "ChildProcess.DISABLED_Instance"));
}

// Run only by StartInstance. The running instance ends well once a later start handed over
// exactly its command line; a later start must be told to end.
TEST(ChildProcess, DISABLED_Instance) {
  GtkPlatform platform;
  SingleInstance& instance = platform.GetSingleInstance();
  const char* claimedFile = g_getenv("LUMORA_TEST_CLAIMED");
  if (!claimedFile) {
    EXPECT_FALSE(instance.Claim("Lumora.BA1", kLaterStart));
    return;
  }
  CommandLines handedOver;
  instance.onHandOver = [&](const std::vector<std::string>& line) { handedOver.push_back(line); };
  ASSERT_TRUE(instance.Claim("Lumora.BA1", {"first"}));
  std::ofstream(claimedFile) << "claimed";
  ASSERT_TRUE(PumpUntil([&] { return !handedOver.empty(); }, 10s));
  EXPECT_EQ(handedOver, CommandLines{kLaterStart});
}

// A later start's hand-over on the session bus is what the second-start GUI test makes.
TEST(SingleInstanceTest, WithoutASessionBusLaterStartHandsOverThroughASocket) {
  test::TempDir runtime;
  auto first = StartInstance(runtime.Path(), runtime / "claimed");
  ASSERT_TRUE(PumpUntil([&] { return runtime.Exists("claimed"); }));
  EXPECT_TRUE(runtime.Exists("lumora-Lumora.BA1.socket"));

  auto later = StartInstance(runtime.Path());
  EXPECT_EQ(ExitCode(later.get()), 0) << "the later start was told to end";
  EXPECT_EQ(ExitCode(first.get()), 0) << "the running instance got the later start's command line";
}

TEST(HandOverSocketTest, ReplacesAStaleSocketAndReceivesLaterStarts) {
  test::TempDir runtime;
  std::string path = runtime / "test.socket";
  {  // A socket file left behind by an instance that ended without removing it.
    g_autoptr(GSocket) stale = g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_STREAM,
                                            G_SOCKET_PROTOCOL_DEFAULT, nullptr);
    g_autoptr(GSocketAddress) address = g_unix_socket_address_new(path.c_str());
    g_socket_bind(stale, address, FALSE, nullptr);
    g_socket_listen(stale, nullptr);
  }
  CommandLines handedOver;
  HandOverSocket running(path,
                         [&](const std::vector<std::string>& line) { handedOver.push_back(line); });
  ASSERT_TRUE(running.Claim({"first"}));

  HandOverSocket later(path, [](const std::vector<std::string>&) {});
  EXPECT_FALSE(later.Claim(kLaterStart));
  HandOverSocket another(path, [](const std::vector<std::string>&) {});
  EXPECT_FALSE(another.Claim({}));
  ASSERT_TRUE(PumpUntil([&] { return handedOver.size() == 2; }));
  EXPECT_EQ(handedOver, (CommandLines{kLaterStart, {}}));
}

// Once a message box shows, hands it to `handle` and stops looking.
void WhenAMessageBoxShows(std::function<void(GtkWidget*)> handle) {
  using Handler = std::function<void(GtkWidget*)>;
  g_timeout_add_full(
      G_PRIORITY_DEFAULT, 20,
      [](gpointer handler) -> gboolean {
        g_autoptr(GList) toplevels = gtk_window_list_toplevels();
        for (GList* item = toplevels; item; item = item->next) {
          if (GTK_IS_MESSAGE_DIALOG(item->data) && gtk_widget_get_mapped(GTK_WIDGET(item->data))) {
            (*static_cast<Handler*>(handler))(GTK_WIDGET(item->data));
            return G_SOURCE_REMOVE;
          }
        }
        return G_SOURCE_CONTINUE;
      },
      new Handler(std::move(handle)),
      [](gpointer handler) { delete static_cast<Handler*>(handler); });
}

// Message boxes are the GUI tests' part: Enter is Yes, Escape no answer, the title names the box.
// Here only what a server's text of any length does to one: it must stay on the screen.
TEST(DesktopTest, MessageBoxWithAHugeTextStaysWithinTheWorkAreaAndShowsPromptly) {
  GtkPlatform platform;
  // Lines, then a megabyte without a space: wrapping such a run is where layout gets slow.
  std::string text;
  for (int line = 0; line < 40; ++line) text += "\xE6\x9C\x8D\xE5\x8A\xA1 server text\n";
  text += std::string(1 << 20, 'x');
  std::optional<GdkRectangle> shown;
  WhenAMessageBoxShows([&](GtkWidget* box) {
    gdk_window_get_frame_extents(gtk_widget_get_window(box), &shown.emplace());
    gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_OK);
  });
  auto start = std::chrono::steady_clock::now();
  platform.GetDesktop().ShowMessage(nullptr, text, "title", MessageButtons::Ok,
                                    MessageIcon::Information);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  ASSERT_TRUE(shown.has_value()) << "the box was shown";
  Rect work = platform.GetDesktop().WorkArea();
  EXPECT_LE(shown->width, work.width);
  EXPECT_LE(shown->height, work.height);
}

// The quit routine closes a question still open as dismissed, never as Yes.
TEST(DesktopTest, DismissingOpenMessagesAnswersThemAsDismissed) {
  GtkPlatform platform;
  Desktop& desktop = platform.GetDesktop();
  WhenAMessageBoxShows([&](GtkWidget*) { desktop.DismissMessages(); });
  EXPECT_EQ(desktop.ShowMessage(nullptr, "question", "title", MessageButtons::YesNo,
                                MessageIcon::Question),
            MessageAnswer::Dismissed);
}

TEST(DesktopTest, StartsAProgramInItsDirectoryWithoutAShellOrWaiting) {
  GtkPlatform platform;
  test::TempDir dir;
  // A name a shell would split and run as two commands.
  std::filesystem::path program = dir / "up date;touch shell-ran";
  // It waits up to 5 s for the file "go", which the test makes only once the call returned.
  std::ofstream(program)
      << "#!/bin/sh\nfor i in $(seq 100); do [ -e go ] && break; sleep 0.05; done\n"
         "pwd > started\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  EXPECT_TRUE(platform.GetDesktop().StartProcess(program.string()));
  EXPECT_FALSE(dir.Exists("started")) << "returned without waiting";
  dir.Write("go", "");
  ASSERT_TRUE(PumpUntil([&] { return dir.Read("started") == dir.Path().string() + "\n"; }));
  EXPECT_FALSE(dir.Exists("shell-ran"));

  std::filesystem::permissions(program, std::filesystem::perms::owner_read);
  EXPECT_FALSE(platform.GetDesktop().StartProcess(program.string()));
  EXPECT_FALSE(platform.GetDesktop().StartProcess((dir / "missing").string()));
}

}  // namespace
}  // namespace lumora::gtk
