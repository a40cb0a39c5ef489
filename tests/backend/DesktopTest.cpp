#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>

#include "platform/gtk/GtkPlatform.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/support/TempDir.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

// Boxes answered by the keyboard are the GUI tests' part: Enter is Yes, Escape no answer.
TEST(DesktopTest, OkBoxWithoutAnOwnerClosedIsOk) {
  GtkPlatform platform;
  std::string title;
  g_timeout_add(
      20,
      [](gpointer title) -> gboolean {
        g_autoptr(GList) toplevels = gtk_window_list_toplevels();
        for (GList* item = toplevels; item; item = item->next) {
          if (GTK_IS_MESSAGE_DIALOG(item->data) && gtk_widget_get_visible(GTK_WIDGET(item->data))) {
            *static_cast<std::string*>(title) = gtk_window_get_title(GTK_WINDOW(item->data));
            gtk_dialog_response(GTK_DIALOG(item->data), GTK_RESPONSE_DELETE_EVENT);
            return G_SOURCE_REMOVE;
          }
        }
        return G_SOURCE_CONTINUE;
      },
      &title);
  EXPECT_EQ(platform.GetDesktop().ShowMessage(nullptr, "Done.", "Lumora", MessageButtons::Ok,
                                              MessageIcon::Information),
            MessageAnswer::Ok);
  EXPECT_EQ(title, "Lumora");
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
