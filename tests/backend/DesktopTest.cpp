#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "platform/gtk/GtkInit.h"
#include "platform/gtk/GtkPlatform.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/support/TempDir.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;
using CommandLines = std::vector<std::vector<std::string>>;

const std::vector<std::string> kLaterStart{"/opt/lumora/lumora", "--from", "a b", "\xE4\xB8\xAD",
                                           ""};

// This test program run again as an instance of the program, with this runtime folder, no
// display and a session bus address whose socket is gone, as after the session that made it
// ended: the running instance when given a file to tell of its claim in, else a later start.
GObjectPtr<GSubprocess> StartInstance(const std::string& runtime,
                                      const std::string& claimedFile = "") {
  g_autoptr(GSubprocessLauncher) launcher =
      g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_STDOUT_SILENCE);
  if (!claimedFile.empty()) {
    g_subprocess_launcher_setenv(launcher, "LUMORA_TEST_CLAIMED", claimedFile.c_str(), TRUE);
  }
  g_subprocess_launcher_setenv(launcher, "DBUS_SESSION_BUS_ADDRESS",
                               ("unix:path=" + runtime + "/gone/bus").c_str(), TRUE);
  g_subprocess_launcher_unsetenv(launcher, "DISPLAY");
  g_subprocess_launcher_setenv(launcher, "XDG_RUNTIME_DIR", runtime.c_str(), TRUE);
  return GObjectPtr<GSubprocess>(StartTestAgain(launcher, "ChildProcess.DISABLED_Instance"));
}

// Run only by StartInstance. The running instance ends well once two later starts handed over
// exactly their command lines; a later start must be told to end.
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
  ASSERT_TRUE(PumpUntil([&] { return handedOver.size() == 2; }, 10s));
  EXPECT_EQ(handedOver, (CommandLines{kLaterStart, kLaterStart}));
}

// A later start's hand-over on the session bus is what the second-start GUI test makes; the GUI
// test of a start on a dead bus relies on this one for the hand-over. The running instance takes
// the place of a socket file left behind by an instance that ended without removing it, serves
// every later start and removes its socket as it ends.
TEST(SingleInstanceTest, OnADeadSessionBusLaterStartsHandOverThroughASocket) {
  test::TempDir runtime;
  {
    g_autoptr(GSocket) stale = g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_STREAM,
                                            G_SOCKET_PROTOCOL_DEFAULT, nullptr);
    g_autoptr(GSocketAddress) address =
        g_unix_socket_address_new((runtime / "lumora-Lumora.BA1.socket").c_str());
    ASSERT_TRUE(g_socket_bind(stale, address, FALSE, nullptr));
    g_socket_listen(stale, nullptr);
  }
  auto first = StartInstance(runtime.Path(), runtime / "claimed");
  ASSERT_TRUE(PumpUntil([&] { return runtime.Exists("claimed"); }));
  for (int start = 1; start <= 2; ++start) {
    EXPECT_EQ(ExitCode(StartInstance(runtime.Path()).get()), 0) << "later start " << start;
  }
  EXPECT_EQ(ExitCode(first.get()), 0) << "the running instance got the later starts' command lines";
  EXPECT_FALSE(runtime.Exists("lumora-Lumora.BA1.socket"));
}

// Enter as Yes, Escape as no answer and the title naming the box are the GUI tests' (the close
// question, the update offer). Here a server's text of any length must leave the box on the
// screen and showing at once, and the quit routine closes a question still open as dismissed,
// never as Yes.
TEST(DesktopTest, QuestionWithAHugeTextFitsTheWorkAreaAndDismissingItIsNoAnswer) {
  GtkPlatform platform;
  Desktop& desktop = platform.GetDesktop();
  // Lines, then a megabyte without a space: wrapping such a run is where layout gets slow.
  std::string text;
  for (int line = 0; line < 40; ++line) text += "\xE6\x9C\x8D\xE5\x8A\xA1 server text\n";
  text += std::string(1 << 20, 'x');
  // Once the box shows, its frame is kept and the quit routine closes it.
  std::optional<GdkRectangle> shown;
  std::function<gboolean()> watch = [&]() -> gboolean {
    g_autoptr(GList) toplevels = gtk_window_list_toplevels();
    for (GList* item = toplevels; item; item = item->next) {
      GtkWidget* box = GTK_WIDGET(item->data);
      if (!GTK_IS_MESSAGE_DIALOG(box) || !gtk_widget_get_mapped(box)) continue;
      gdk_window_get_frame_extents(gtk_widget_get_window(box), &shown.emplace());
      desktop.DismissMessages();
      return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
  };
  g_timeout_add(
      20, [](gpointer f) { return (*static_cast<decltype(watch)*>(f))(); }, &watch);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(
      desktop.ShowMessage(nullptr, text, "title", MessageButtons::YesNo, MessageIcon::Question),
      MessageAnswer::Dismissed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  ASSERT_TRUE(shown.has_value()) << "the box was shown";
  EXPECT_LE(shown->width, desktop.WorkArea().width);
  EXPECT_LE(shown->height, desktop.WorkArea().height);
}

TEST(DesktopTest, StartsAProgramInItsDirectoryWithoutAShellOrWaiting) {
  GtkPlatform platform;
  test::TempDir dir;
  // A name a shell would split and run as two commands.
  std::filesystem::path program = dir / "up date;touch shell-ran";
  // It waits up to 5 s for the file "go", which the test makes only once the call returned.
  std::ofstream(program)
      << "#!/bin/sh\nfor i in $(seq 100); do [ -e go ] && break; sleep 0.05; done\n"
         "env > environment; pwd > started\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  EXPECT_TRUE(platform.GetDesktop().StartProcess(program.string()));
  EXPECT_FALSE(dir.Exists("started")) << "returned without waiting";
  dir.Write("go", "");
  ASSERT_TRUE(PumpUntil([&] { return dir.Read("started") == dir.Path().string() + "\n"; }));
  EXPECT_FALSE(dir.Exists("shell-ran"));
  // The user's environment, without what this process set for itself.
  ASSERT_FALSE(OwnEnvironmentVariables().empty());
  std::string environment = "\n";
  environment += dir.Read("environment");
  for (std::string name : OwnEnvironmentVariables()) {
    EXPECT_EQ(environment.find("\n" + name + "="), environment.npos) << name;
  }

  std::filesystem::permissions(program, std::filesystem::perms::owner_read);
  EXPECT_FALSE(platform.GetDesktop().StartProcess(program.string()));
}

}  // namespace
}  // namespace lumora::gtk
