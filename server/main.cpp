// Serves the demo site so the client has a content server out of the box.

#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "core/Product.h"
#include "server/DemoServer.h"

namespace {

// The installed site beside the executable's bin/ folder, else the site the build made.
std::filesystem::path DefaultSiteDir() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  std::filesystem::path installed =
      (executable.parent_path() / LUMORA_DEMO_INSTALLED_SITE).lexically_normal();
  if (!error && std::filesystem::is_directory(installed, error)) return installed;
  return LUMORA_DEMO_SITE_DIR;
}

struct Options {
  std::filesystem::path siteDir = DefaultSiteDir();
  int port = LUMORA_DEMO_PORT;
  std::string offeredVersion;
  bool showVersion = false;
};

// Fills options from the command line; false (with the reason on stderr) when it is unusable.
bool ParseOptions(int& argc, char**& argv, Options& options) {
  g_autofree gchar* site = nullptr;
  g_autofree gchar* version = nullptr;
  gboolean showVersion = FALSE;
  GOptionEntry entries[] = {
      {"site", 0, 0, G_OPTION_ARG_FILENAME, &site, "Site directory to serve", "DIR"},
      {"port", 0, 0, G_OPTION_ARG_INT, &options.port, "Port on 127.0.0.1 (0: any free port)", "N"},
      {"offer-version", 0, 0, G_OPTION_ARG_STRING, &version,
       "Name VERSION as the latest in lib/wen.txt, so the client offers an update", "VERSION"},
      {"version", 0, 0, G_OPTION_ARG_NONE, &showVersion, "Show the version and end", nullptr},
      {nullptr, 0, 0, G_OPTION_ARG_NONE, nullptr, nullptr, nullptr}};
  g_autoptr(GOptionContext) context = g_option_context_new("- serve the Lumora demo site");
  g_option_context_add_main_entries(context, entries, nullptr);
  g_autoptr(GError) error = nullptr;
  if (!g_option_context_parse(context, &argc, &argv, &error)) {
    std::cerr << "lumora-demo-server: " << error->message << "\n";
    return false;
  }
  if (options.port < 0 || options.port > 65535 || argc > 1) {
    std::cerr << "lumora-demo-server: expected only --site DIR, --port 0..65535 and "
                 "--offer-version VERSION\n";
    return false;
  }
  options.showVersion = showVersion;
  if (site) options.siteDir = site;
  if (version) options.offeredVersion = version;
  return true;
}

gboolean QuitLoop(gpointer loop) {
  g_main_loop_quit(static_cast<GMainLoop*>(loop));
  return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  if (options.showVersion) {
    std::cout << "lumora-demo-server " << lumora::kAppVersion << "\n";
    return EXIT_SUCCESS;
  }
  try {
    g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
    lumora::DemoServer server(options.siteDir, &std::cout);
    server.OfferVersion(options.offeredVersion);
    server.Start(static_cast<std::uint16_t>(options.port));
    std::cout << "lumora-demo-server: serving " << server.BaseUrl() << " from "
              << options.siteDir.string() << std::endl;
    g_unix_signal_add(SIGINT, QuitLoop, loop);
    g_unix_signal_add(SIGTERM, QuitLoop, loop);
    g_main_loop_run(loop);
  } catch (const std::exception& error) {
    std::cerr << "lumora-demo-server: " << error.what() << "\n";
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
