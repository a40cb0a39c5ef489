#include "app/LumoraApp.h"
#include "app/Startup.h"
#include "platform/gtk/GtkPlatform.h"

int main(int argc, char** argv) {
  lumora::gtk::GtkPlatform platform;
  lumora::LumoraApp app(platform, lumora::ContentServer::Configured(),
                        lumora::ExecutableDirectory());
  if (!app.Start(std::vector<std::string>(argv, argv + argc))) return 0;
  platform.RunMainLoop();
  return 0;
}
