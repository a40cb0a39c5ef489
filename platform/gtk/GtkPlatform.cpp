#include "platform/gtk/GtkPlatform.h"

#include <utility>

#include "platform/gtk/GlibTimer.h"
#include "platform/gtk/GtkInit.h"
#include "platform/gtk/GtkTopWindow.h"
#include "platform/gtk/PopupMenu.h"
#include "platform/gtk/SessionBus.h"
#include "platform/gtk/WebEngine.h"

namespace lumora::gtk {
namespace {

// The name the desktop shows for the program: the media controls name the player after it. GLib
// allows it to be set once per process.
void NameTheProgram() {
  static const bool named = [] {
    g_set_application_name("Lumora");
    return true;
  }();
  static_cast<void>(named);
}

}  // namespace

// The bus is asked about before anything uses it, above all before the web engine starts.
GtkPlatform::GtkPlatform() {
  KeepGlDriversOut();
  NameTheProgram();
  SessionBusReachable();
}

void GtkPlatform::UseWebDataFolders(std::filesystem::path data, std::filesystem::path cache) {
  gtk::UseWebDataFolders(std::move(data), std::move(cache));
}

std::unique_ptr<TopWindow> GtkPlatform::CreateWindow() {
  RequireGtk();
  return std::make_unique<GtkTopWindow>();
}

std::unique_ptr<Timer> GtkPlatform::CreateTimer() {
  return std::make_unique<GlibTimer>();
}

std::unique_ptr<Menu> GtkPlatform::CreateMenu() {
  RequireGtk();
  return std::make_unique<PopupMenu>();
}

void GtkPlatform::RunMainLoop() {
  if (std::exchange(quitAsked_, false)) return;
  GMainLoop* outer = std::exchange(mainLoop_, g_main_loop_new(nullptr, FALSE));
  g_main_loop_run(mainLoop_);
  g_main_loop_unref(std::exchange(mainLoop_, outer));
}

void GtkPlatform::QuitMainLoop() {
  if (mainLoop_) {
    g_main_loop_quit(mainLoop_);
  } else {
    quitAsked_ = true;
  }
}

}  // namespace lumora::gtk
