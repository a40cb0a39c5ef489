#include <exception>
#include <iostream>

#include "app/LumoraApp.h"
#include "app/Startup.h"
#include "platform/gtk/GtkPlatform.h"

int main(int argc, char** argv) {
  try {
    lumora::gtk::GtkPlatform platform;
    lumora::LumoraApp app(platform, lumora::ContentServer::Configured(),
                          lumora::ExecutableDirectory());
    if (!app.Start(std::vector<std::string>(argv, argv + argc))) return 0;
    platform.RunMainLoop();
    return 0;
  } catch (const std::exception& error) {
    // Only the system can fail this way, e.g. no display to open the window on.
    std::cerr << "lumora: " << error.what() << '\n';
    return 1;
  }
}
