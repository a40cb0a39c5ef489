#include "app/LumoraApp.h"

#include "app/Startup.h"

namespace lumora {

LumoraApp::LumoraApp(Platform& platform, ContentServer server, std::filesystem::path appDir)
    : platform_(platform),
      server_(std::move(server)),
      appDir_(std::move(appDir)),
      fetch_(platform.GetHttpClient(), platform.GetEventLoop(), platform.GetClock()) {}

bool LumoraApp::Start(const std::vector<std::string>& commandLine) {
  RunStartup(appDir_, platform_.GetNetworkAdapters(), platform_.GetClock());
  SingleInstance& instance = platform_.GetSingleInstance();
  if (!instance.Claim(kInstanceId, commandLine)) return false;
  mainWindow_ = std::make_unique<BA1>(platform_, server_, appDir_);
  instance.onHandOver = [this](const std::vector<std::string>&) { mainWindow_->OnHandOver(); };
  mainWindow_->onUnloaded = [this] { platform_.QuitMainLoop(); };
  router_ = std::make_unique<LinkRouter>(*mainWindow_, fetch_, server_,
                                         [](const std::string&) {});
  router_->Attach();
  mainWindow_->Load();
  return true;
}

}  // namespace lumora
