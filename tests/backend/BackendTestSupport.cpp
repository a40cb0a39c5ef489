#include "tests/backend/BackendTestSupport.h"

#include <glib.h>
#include <sys/wait.h>

namespace lumora::testing {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return done();
    // Wakes the iteration up now and then, so the deadline is seen.
    GSource* wake = g_timeout_source_new(10);
    g_source_set_callback(
        wake, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
    g_source_attach(wake, nullptr);
    g_main_context_iteration(nullptr, TRUE);
    g_source_destroy(wake);
    g_source_unref(wake);
  }
  return true;
}

void PumpFor(std::chrono::milliseconds duration) {
  auto deadline = std::chrono::steady_clock::now() + duration;
  PumpUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, duration + 1s);
}

std::uint32_t ScreenPixel(int x, int y) {
  gdk_display_sync(gdk_display_get_default());
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  if (!pixbuf) return 0xFFFFFFFFu;
  const guchar* pixel = gdk_pixbuf_read_pixels(pixbuf);
  std::uint32_t rgb = (pixel[0] << 16) | (pixel[1] << 8) | pixel[2];
  g_object_unref(pixbuf);
  return rgb;
}

namespace {

// xdotool runs while the main loop goes on, so the program sees the input as it comes.
void RunXdotool(const std::string& arguments) {
  std::string command = "xdotool " + arguments;
  g_auto(GStrv) argv = nullptr;
  GPid pid = 0;
  if (!g_shell_parse_argv(command.c_str(), nullptr, &argv, nullptr) ||
      !g_spawn_async(nullptr, argv, nullptr,
                     GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), nullptr, nullptr,
                     &pid, nullptr)) {
    return;
  }
  bool done = false;
  g_child_watch_add(
      pid,
      [](GPid pid, gint, gpointer done) {
        *static_cast<bool*>(done) = true;
        g_spawn_close_pid(pid);
      },
      &done);
  PumpUntil([&] { return done; }, 10s);
}

std::string MoveTo(int x, int y) {
  return "mousemove " + std::to_string(x) + " " + std::to_string(y);
}

}  // namespace

void PointAtScreen(int x, int y) {
  RunXdotool(MoveTo(x, y));
}

void ClickOnScreen(int x, int y, int button, int count) {
  RunXdotool(MoveTo(x, y) + " click --repeat " + std::to_string(count) + " --delay 60 " +
             std::to_string(button));
}

void DragOnScreen(int fromX, int fromY, int toX, int toY) {
  RunXdotool(MoveTo(fromX, fromY) + " mousedown 1 " + MoveTo(fromX + 5, fromY + 5) + " sleep 0.3 " +
             MoveTo(toX, toY) + " sleep 0.3 mouseup 1");
}

std::shared_ptr<HelperExit> StartHelper(const std::string& role,
                                        const std::vector<std::string>& environment) {
  char** envp = g_environ_setenv(g_get_environ(), "LUMORA_TEST_ROLE", role.c_str(), TRUE);
  for (const std::string& change : environment) {
    std::string::size_type equals = change.find('=');
    if (change[0] == '-') {
      envp = g_environ_unsetenv(envp, change.c_str() + 1);
    } else {
      envp = g_environ_setenv(envp, change.substr(0, equals).c_str(),
                              change.substr(equals + 1).c_str(), TRUE);
    }
  }
  const char* argv[] = {"/proc/self/exe", "--gtest_also_run_disabled_tests",
                        "--gtest_filter=ChildProcess.DISABLED_Role", nullptr};
  auto exit = std::make_shared<HelperExit>();
  GPid pid = 0;
  bool started = g_spawn_async(nullptr, const_cast<char**>(argv), envp,
                               GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL),
                               nullptr, nullptr, &pid, nullptr);
  g_strfreev(envp);
  if (!started) {
    exit->done = true;
    return exit;
  }
  g_child_watch_add(
      pid,
      [](GPid pid, gint status, gpointer data) {
        std::unique_ptr<std::shared_ptr<HelperExit>> exit(
            static_cast<std::shared_ptr<HelperExit>*>(data));
        (*exit)->code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        (*exit)->done = true;
        g_spawn_close_pid(pid);
      },
      new std::shared_ptr<HelperExit>(exit));
  return exit;
}

int WaitForHelper(const HelperExit& helper, std::chrono::milliseconds timeout) {
  PumpUntil([&] { return helper.done; }, timeout);
  return helper.done ? helper.code : -1;
}

std::filesystem::path SiteDir() {
  return LUMORA_TEST_SITE_DIR;
}

}  // namespace lumora::testing
