#include <exception>
#include <iostream>

#include "app/CommandLine.h"
#include "app/DataFolder.h"
#include "app/EngineFolders.h"
#include "app/LumoraApp.h"
#include "platform/gtk/GtkPlatform.h"

int main(int argc, char** argv) {
  lumora::ForgetRelativeXdgFolders();
  std::vector<std::string> commandLine(argv, argv + argc);
  if (std::optional<std::string> information = lumora::InformationAskedFor(commandLine)) {
    std::cout << *information;
    return 0;
  }
  try {
    lumora::gtk::GtkPlatform platform;
    std::optional<std::filesystem::path> appDir =
        lumora::OpenDataFolder(platform.GetDesktop(), lumora::CurrentDataFolderInputs());
    if (!appDir) return 1;
    lumora::EngineFolders engine =
        lumora::ChooseEngineFolders(lumora::CurrentEngineFolderInputs(*appDir));
    platform.UseWebDataFolders(engine.data, engine.cache);
    lumora::LumoraApp app(platform, lumora::ContentServer::Configured(), *appDir);
    if (!app.Start(commandLine)) return 0;
    platform.RunMainLoop();
    return 0;
  } catch (const std::exception& error) {
    // Only the system can fail this way, e.g. no display to open the window on.
    std::cerr << "lumora: " << error.what() << '\n';
    return 1;
  }
}
