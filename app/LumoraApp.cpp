#include "app/LumoraApp.h"

#include "app/Startup.h"
#include "content/PlayListFormat.h"
#include "core/FileIo.h"

namespace lumora {

LumoraApp::LumoraApp(Platform& platform, ContentServer server, std::filesystem::path appDir)
    : platform_(platform),
      server_(std::move(server)),
      appDir_(std::move(appDir)),
      fetch_(platform.GetHttpClient(), platform.GetEventLoop(), platform.GetClock()) {}

bool LumoraApp::Start(const std::vector<std::string>& commandLine) {
  std::string settingsFailure =
      RunStartup(appDir_, platform_.GetNetworkAdapters(), platform_.GetClock());
  if (!settingsFailure.empty()) {
    // The program must not run on with settings it cannot keep.
    platform_.GetDesktop().ShowMessage(
        nullptr, "无法使用设置文件 " + (appDir_ / kSettingsFile).string() + "：" + settingsFailure,
        "提示：", MessageButtons::Ok, MessageIcon::Warning);
    return false;
  }
  SingleInstance& instance = platform_.GetSingleInstance();
  if (!instance.Claim(kInstanceId, commandLine)) return false;
  RemoveLeftoverTemporaries(appDir_,
                            {kSettingsFile, kPlayListFile, kHistoryPageFile, kDeleteIconFile});
  mainWindow_ = std::make_unique<BA1>(platform_, server_, appDir_);
  writeFailureNotice_ =
      std::make_unique<WriteFailureNotice>(platform_, [this] { return &mainWindow_->Window(); });
  BA1& window = *mainWindow_;
  settings_ =
      std::make_unique<BA3>(platform_, window.Window(), window.Skin(), server_.SiteUrl(), appDir_);
  menus_ =
      std::make_unique<tip>(platform_, window.Window(), window.PortalView(), server_, *settings_);
  menus_->onQuit = [&window] { window.ttt_v(); };
  tray_ = std::make_unique<Tray>(platform_.GetTrayIcon(), window.Window(), appDir_ / kSettingsFile);
  router_ = std::make_unique<LinkRouter>(
      window, fetch_, server_, [this](const std::string& text) { tray_->TrayShowBalloon(text); });
  router_->Attach();
  updateCheck_ =
      std::make_unique<UpdateCheck>(platform_, window, fetch_, server_, ExecutableDirectory());
  updateCheck_->onShowPopupAd = [this] { ShowPopupAd(); };
  updateCheck_->onStartTicker = [&window] { window.LoadTicker(); };
  menus_->onUpdateCheck = [this] { updateCheck_->shengji(); };
  instance.onHandOver = [this](const std::vector<std::string>&) { OnHandOver(); };
  window.onMenuRequested = [this, &window](Point at) {
    menus_->ProgramMenu().PopupAt(window.Window(), at);
  };
  window.onPortalMenuRequested = [this, &window] {
    menus_->PortalMenu().PopupAtPointer(window.Window());
  };
  window.onQuit = [this] { Quit(); };
  window.onUnloaded = [this] {
    tray_->TrayRemove();
    platform_.QuitMainLoop();
  };
  window.Load();
  tray_->TrayAdd(menus_->ProgramMenu(), std::string(kProductName));
  return true;
}

void LumoraApp::ShowPopupAd() {
  if (!popupAd_ || !popupAd_->Loaded()) {
    popupAd_ = std::make_unique<tankou>(platform_, server_);
    popupAd_->Load();
  }
  popupAd_->Hide();
}

void LumoraApp::Quit() {
  updateCheck_->Stop();
  settings_->Unload();
  if (popupAd_) popupAd_->Unload();
  if (updateCheck_->ExitAdWanted()) {
    mainWindow_->Window().Hide();
    if (!exitAd_) {
      exitAd_ = std::make_unique<ba4>(platform_, server_);
      exitAd_->onEnd = [this] { mainWindow_->Unload(); };
    }
    exitAd_->Show();
    return;
  }
  mainWindow_->Unload();
  if (exitAd_) exitAd_->Unload();
}

void LumoraApp::OnHandOver() {
  if (exitAd_) exitAd_->Unload();
  mainWindow_->OnHandOver();
}

}  // namespace lumora
