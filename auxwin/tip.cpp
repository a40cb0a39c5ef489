#include "auxwin/tip.h"

#include "auxwin/BA3.h"
#include "shell/BA1.h"

namespace lumora {

tip::tip(Platform& platform, BA1& window, ContentServer server, BA3& settings)
    : platform_(platform),
      window_(window),
      server_(std::move(server)),
      settings_(settings),
      myMenu_(platform.CreateMenu()),
      r_m_(platform.CreateMenu()) {
  BuildPortalMenu();
  BuildProgramMenu();
}

void tip::BuildPortalMenu() {
  WebView& portal = window_.PortalView();
  myMenu_->AddItem("后退", [&portal] { portal.GoBack(); });
  myMenu_->AddItem("前进", [&portal] { portal.GoForward(); });
  myMenu_->AddItem("刷新", [&portal] { portal.Refresh(); });
  myMenu_->AddSeparator();
  myMenu_->AddItem("复制", [&portal] { portal.CopySelection(); });
  myMenu_->AddItem("粘贴", [&portal] { portal.Paste(); });
  myMenu_->AddItem("主页", [this, &portal] { portal.Navigate(server_.Portal()); });
}

void tip::BuildProgramMenu() {
  r_m_->AddItem("软件设置", [this] { ShowSettingsDialog(false); });
  r_m_->AddItem("关于我们", [this] { ShowSettingsDialog(true); });
  r_m_->AddSeparator();
  r_m_->AddItem("官方主页", [this] { platform_.GetDesktop().OpenAddress(server_.SiteUrl()); });
  r_m_->AddItem("升级检测", [this] {
    if (onUpdateCheck) onUpdateCheck();
  });
  r_m_->AddItem("退出软件", [this] { window_.ttt_v(); });
}

// An always-on-top main window would cover the dialog while it comes up, so it lets go of the
// top for that moment.
void tip::ShowSettingsDialog(bool aboutPage) {
  TopWindow& main = window_.Window();
  bool wasOnTop = main.AlwaysOnTop();
  if (wasOnTop) main.SetAlwaysOnTop(false);
  if (!main.IsShown()) main.Show();
  if (main.State() == WindowState::Minimized) main.SetState(WindowState::Normal);
  settings_.Show();
  if (wasOnTop) main.SetAlwaysOnTop(true);
  if (aboutPage) settings_.d_z_Click(BA3::kAboutPage);
  settings_.Focus();
}

}  // namespace lumora
