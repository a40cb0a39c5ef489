#include "tests/backend/BackendTestSupport.h"

#include <glib.h>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::testing {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    // Wakes the iteration up now and then, so the deadline is seen.
    gtk::SourcePtr wake(g_timeout_source_new(10));
    g_source_set_callback(
        wake.get(), [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
    g_source_attach(wake.get(), nullptr);
    g_main_context_iteration(nullptr, TRUE);
  }
  return true;
}

bool Settle(GtkWidget* toplevel, std::chrono::milliseconds timeout) {
  if (gtk_widget_get_mapped(toplevel)) {
    bool painted = false;
    GdkFrameClock* clock = gtk_widget_get_frame_clock(toplevel);
    gulong watch = g_signal_connect(
        clock, "after-paint",
        G_CALLBACK(+[](GdkFrameClock*, gpointer flag) { *static_cast<bool*>(flag) = true; }),
        &painted);
    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_PAINT);
    bool framed = PumpUntil([&] { return painted; }, timeout);
    g_signal_handler_disconnect(clock, watch);
    if (!framed) return false;
  }
  gdk_display_sync(gtk_widget_get_display(toplevel));
  return PumpUntil([] { return !g_main_context_pending(nullptr); }, timeout);
}

std::string Shell(const std::string& command) {
  g_autofree char* out = nullptr;
  g_spawn_command_line_sync(command.c_str(), &out, nullptr, nullptr, nullptr);
  return out ? out : "";
}

std::uint32_t ScreenPixel(int x, int y) {
  gdk_display_sync(gdk_display_get_default());
  g_autoptr(GdkPixbuf) shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  if (!shot) return 0xFFFFFFFFu;
  const guchar* pixel = gdk_pixbuf_read_pixels(shot);
  return (pixel[0] << 16) | (pixel[1] << 8) | pixel[2];
}

namespace {

// Pumps until the process has ended; false on time-out.
bool PumpUntilEnded(GSubprocess* process) {
  return process && PumpUntil([&] { return !g_subprocess_get_identifier(process); }, 10s);
}

// xdotool runs while the main loop goes on, so the program sees the input as it comes.
void RunXdotool(const std::string& arguments) {
  g_auto(GStrv) argv = nullptr;
  if (!g_shell_parse_argv(("xdotool " + arguments).c_str(), nullptr, &argv, nullptr)) return;
  g_autoptr(GSubprocess) xdotool = g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_NONE, nullptr);
  PumpUntilEnded(xdotool);
}

std::string MoveTo(int x, int y) {
  return "mousemove " + std::to_string(x) + " " + std::to_string(y);
}

}  // namespace

GSubprocess* StartTestAgain(GSubprocessLauncher* launcher, const std::string& test) {
  std::string filter = "--gtest_filter=" + test;
  return g_subprocess_launcher_spawn(launcher, nullptr, "/proc/self/exe",
                                     "--gtest_also_run_disabled_tests", filter.c_str(), nullptr);
}

int ExitCode(GSubprocess* process) {
  if (!PumpUntilEnded(process) || !g_subprocess_wait(process, nullptr, nullptr)) return -1;
  return g_subprocess_get_if_exited(process) ? g_subprocess_get_exit_status(process) : -1;
}

void PointAtScreen(int x, int y) {
  RunXdotool(MoveTo(x, y));
}

void ClickOnScreen(int x, int y, int button, int count) {
  RunXdotool(MoveTo(x, y) + " click --repeat " + std::to_string(count) + " --delay 60 " +
             std::to_string(button));
}

void TypeOnScreen(const std::string& keys) {
  RunXdotool("key --delay 60 " + keys);
}

void DragOnScreen(int fromX, int fromY, int toX, int toY) {
  RunXdotool(MoveTo(fromX, fromY) + " mousedown 1 " + MoveTo(fromX + 5, fromY + 5) + " sleep 0.3 " +
             MoveTo(toX, toY) + " sleep 0.3 mouseup 1");
}

}  // namespace lumora::testing
