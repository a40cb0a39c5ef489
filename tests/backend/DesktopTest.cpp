#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>

#include "platform/gtk/GtkPlatform.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

// Answers the next message dialog with a response, noting its title.
void AnswerNextDialog(gint response, std::string* title) {
  struct Answer {
    gint response;
    std::string* title;
  };
  g_timeout_add_full(
      G_PRIORITY_DEFAULT, 20,
      [](gpointer data) -> gboolean {
        auto* answer = static_cast<Answer*>(data);
        GList* toplevels = gtk_window_list_toplevels();
        GtkWidget* dialog = nullptr;
        for (GList* item = toplevels; item; item = item->next) {
          if (GTK_IS_MESSAGE_DIALOG(item->data) && gtk_widget_get_visible(GTK_WIDGET(item->data))) {
            dialog = GTK_WIDGET(item->data);
          }
        }
        g_list_free(toplevels);
        if (!dialog) return G_SOURCE_CONTINUE;
        *answer->title = gtk_window_get_title(GTK_WINDOW(dialog));
        gtk_dialog_response(GTK_DIALOG(dialog), answer->response);
        return G_SOURCE_REMOVE;
      },
      new Answer{response, title}, [](gpointer data) { delete static_cast<Answer*>(data); });
}

TEST(DesktopTest, MessageBoxReturnsTheAnswerAndClosingIsNoAnswer) {
  GtkPlatform platform;
  std::unique_ptr<TopWindow> owner = platform.CreateWindow();
  owner->SetBounds({100, 100, 200, 100});
  owner->Show();
  std::string title;

  AnswerNextDialog(GTK_RESPONSE_YES, &title);
  EXPECT_EQ(platform.GetDesktop().ShowMessage(owner.get(), "Update now?", "Lumora",
                                              MessageButtons::YesNo, MessageIcon::Question),
            MessageAnswer::Yes);
  EXPECT_EQ(title, "Lumora");

  AnswerNextDialog(GTK_RESPONSE_DELETE_EVENT, &title);
  EXPECT_EQ(platform.GetDesktop().ShowMessage(nullptr, "Update now?", "Update",
                                              MessageButtons::YesNo, MessageIcon::Warning),
            MessageAnswer::Dismissed);
  EXPECT_EQ(title, "Update");

  AnswerNextDialog(GTK_RESPONSE_DELETE_EVENT, &title);
  EXPECT_EQ(platform.GetDesktop().ShowMessage(nullptr, "Done.", "Lumora", MessageButtons::Ok,
                                              MessageIcon::Information),
            MessageAnswer::Ok);
}

}  // namespace
}  // namespace lumora::gtk
