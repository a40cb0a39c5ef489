#include "auxwin/tip.h"

#include "shell/BA1.h"

namespace lumora {

tip::tip(Platform& platform, BA1& window, ContentServer server)
    : platform_(platform),
      window_(window),
      server_(std::move(server)),
      myMenu_(platform.CreateMenu()),
      r_m_(platform.CreateMenu()) {
  BuildPortalMenu();
  BuildProgramMenu();
}

void tip::BuildPortalMenu() {
  WebView& portal = *window_.Web1;
  myMenu_->AddItem("后退", [&portal] { portal.GoBack(); });
  myMenu_->AddItem("前进", [&portal] { portal.GoForward(); });
  myMenu_->AddItem("刷新", [&portal] { portal.Refresh(); });
  myMenu_->AddSeparator();
  myMenu_->AddItem("复制", [&portal] { portal.CopySelection(); });
  myMenu_->AddItem("粘贴", [&portal] { portal.Paste(); });
  myMenu_->AddItem("主页", [this, &portal] { portal.Navigate(server_.Portal()); });
}

void tip::BuildProgramMenu() {
  // The settings dialog is not part of the program yet; its items are in place and do nothing
  // until it is.
  r_m_->AddItem("软件设置", [] {});
  r_m_->AddItem("关于我们", [] {});
  r_m_->AddSeparator();
  r_m_->AddItem("官方主页", [this] { platform_.GetDesktop().OpenAddress(server_.SiteUrl()); });
  r_m_->AddItem("升级检测", [this] {
    if (onUpdateCheck) onUpdateCheck();
  });
  r_m_->AddItem("退出软件", [this] { window_.ttt_v(); });
}

}  // namespace lumora
