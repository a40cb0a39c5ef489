#include "auxwin/tip.h"

#include "auxwin/BA3.h"
#include "core/WebAddress.h"

namespace lumora {

tip::tip(Platform& platform, TopWindow& mainWindow, WebView& portal, ContentServer server,
         BA3& settings)
    : platform_(platform),
      mainWindow_(mainWindow),
      portal_(portal),
      server_(std::move(server)),
      settings_(settings),
      portalMenu_(platform.CreateMenu()),
      programMenu_(platform.CreateMenu()) {
  BuildPortalMenu();
  BuildProgramMenu();
}

void tip::BuildPortalMenu() {
  portalMenu_->AddItem("后退", [this] { portal_.GoBack(); });
  portalMenu_->AddItem("前进", [this] { portal_.GoForward(); });
  portalMenu_->AddItem("刷新", [this] { portal_.Refresh(); });
  portalMenu_->AddSeparator();
  portalMenu_->AddItem("复制", [this] { portal_.CopySelection(); });
  portalMenu_->AddItem("粘贴", [this] { portal_.Paste(); });
  portalMenu_->AddItem("主页", [this] { portal_.Navigate(server_.Portal()); });
}

void tip::BuildProgramMenu() {
  programMenu_->AddItem("软件设置", [this] { ShowSettingsDialog(false); });
  programMenu_->AddItem("关于我们", [this] { ShowSettingsDialog(true); });
  programMenu_->AddSeparator();
  programMenu_->AddItem("官方主页",
                        [this] { OpenWebAddress(platform_.GetDesktop(), server_.SiteUrl()); });
  programMenu_->AddItem("升级检测", [this] {
    if (onUpdateCheck) onUpdateCheck();
  });
  programMenu_->AddItem("退出软件", [this] {
    if (onQuit) onQuit();
  });
}

// An always-on-top main window would cover the dialog while it comes up, so it lets go of the
// top for that moment.
void tip::ShowSettingsDialog(bool aboutPage) {
  bool wasOnTop = mainWindow_.AlwaysOnTop();
  if (wasOnTop) mainWindow_.SetAlwaysOnTop(false);
  if (!mainWindow_.IsShown()) mainWindow_.Show();
  if (mainWindow_.State() == WindowState::Minimized) mainWindow_.SetState(WindowState::Normal);
  settings_.Show();
  if (wasOnTop) mainWindow_.SetAlwaysOnTop(true);
  if (aboutPage) settings_.ShowPage(BA3::Page::kAbout);
  settings_.Focus();
}

}  // namespace lumora
