#include "auxwin/BA3.h"

#include "auxwin/BA3Settings.h"
#include "core/Product.h"
#include "core/WebAddress.h"
#include "shell/BA1.h"

namespace lumora {
namespace {

constexpr Color kTabBack{0xDADADA};
constexpr Color kTabText{0x000000};
constexpr Color kSelectedTabBack{0xFAAF41};
constexpr Color kSelectedTabText{0xFFFFFF};
constexpr Color kLinkColor{0x0000FF};
constexpr Color kLinkHoverColor{0xFF0000};

bool Inside(const MouseEvent& event, const Control& control) {
  Rect geometry = control.Geometry();
  return event.x >= 0 && event.y >= 0 && event.x <= geometry.width && event.y <= geometry.height;
}

}  // namespace

BA3::BA3(Platform& platform, BA1& owner, std::string siteUrl, std::filesystem::path appDir)
    : platform_(platform),
      owner_(owner),
      siteUrl_(std::move(siteUrl)),
      appDir_(std::move(appDir)) {}

BA3::~BA3() = default;

void BA3::Show() {
  if (!window_) Load();
  window_->Show();
}

void BA3::Focus() {
  if (window_) window_->Present();
}

void BA3::Unload() {
  if (!window_) return;
  window_->Hide();
  // The hidden window may still get events (the pointer leaving it as it hides). Its parts stay
  // until the next load, so those act on them; what would act on the open dialog is let go.
  window_->onResize = nullptr;
  window_->onMouseMove = nullptr;
  window_->onCloseRequest = nullptr;
  closed_ = std::move(window_);
}

void BA3::Load() {
  ConfigPath = appDir_ / kSettingsFile;
  window_ = platform_.CreateWindow();
  window_->SetTitle("软件设置");
  window_->SetOwner(owner_.Window());
  Size screen = platform_.GetDesktop().ScreenSize();
  window_->SetBounds({(screen.width - kClientSize.width) / 2,
                      (screen.height - kClientSize.height) / 2, kClientSize.width,
                      kClientSize.height});
  CreateBody();
  CreateSettingsPage();
  CreateAboutPage();
  CreateButtons();
  WireEvents();
  OnResize();
  // The tab texts stand on the labels' second line.
  d_z[kAboutPage]->SetCaption("\r\n关于软件");
  d_z[kSettingsPage]->SetCaption("\r\n软件设置");
  d_z_Click(kSettingsPage);
  LoadBoxes();
  LinkClicked = false;
}

void BA3::LoadBoxes() {
  Check1[kHideToTrayBox]->SetChecked(SettingOn(ConfigPath, ba3_keys::kHideToTray));
  Check1[kSaveSizeBox]->SetChecked(SettingOn(ConfigPath, ba3_keys::kSaveSize));
  Check1[kTrayBalloonsBox]->SetChecked(SettingOn(ConfigPath, ba3_keys::kTrayBalloons));
}

void BA3::WireEvents() {
  window_->onResize = [this] { OnResize(); };
  window_->onMouseMove = [this](const MouseEvent& e) { OnSurfaceMove(e); };
  window_->onCloseRequest = [this] { Unload(); };
  ni_name->onMouseMove = [this](const MouseEvent& e) { OnSurfaceMove(e); };
  guan->onMouseMove = [this](const MouseEvent& e) { OnCloseButtonMove(e); };
  guan->onClick = [this] { Unload(); };
  for (int page : {kAboutPage, kSettingsPage}) {
    d_z[page]->onClick = [this, page] { d_z_Click(page); };
    pz[page]->onMouseMove = [this](const MouseEvent&) {
      LinkClicked = false;
      ShowLinkNormal();
    };
  }
  for (int index = 0; index < static_cast<int>(L1.size()); ++index) {
    if (L1[index]) L1[index]->onClick = [this, index] { OnTextClick(index); };
  }
  L1[0]->onMouseMove = [this](const MouseEvent& e) { OnLinkMove(e); };
  cmdApply->onClick = [this] { cmdApply_Click(); };
  cmdOK->onClick = [this] { cmdOK_Click(); };
  cmdCancel->onClick = [this] { Unload(); };
}

void BA3::d_z_Click(int index) {
  for (Label* tab : d_z) {
    tab->SetBackColor(kTabBack);
    tab->SetForeColor(kTabText);
  }
  d_z[index]->SetBackColor(kSelectedTabBack);
  d_z[index]->SetForeColor(kSelectedTabText);
  for (Picture* page : pz) page->SetVisible(false);
  pz[index]->SetVisible(true);
}

void BA3::cmdApply_Click() {
  WriteSetting(ConfigPath, ba3_keys::kHideToTray, Check1[kHideToTrayBox]->Checked());
  WriteSetting(ConfigPath, ba3_keys::kSaveSize, Check1[kSaveSizeBox]->Checked());
  WriteSetting(ConfigPath, ba3_keys::kTrayBalloons, Check1[kTrayBalloonsBox]->Checked());
}

void BA3::cmdOK_Click() {
  cmdApply_Click();
  Unload();
}

void BA3::OnCloseButtonMove(const MouseEvent& event) {
  PaintCloseButton(Inside(event, *guan));
  guan->Refresh();
}

// The title band and the thin border, which the body does not cover, drag the dialog.
void BA3::OnSurfaceMove(const MouseEvent& event) {
  if (event.leftHeld && window_) window_->BeginSystemMove();
}

void BA3::OnLinkMove(const MouseEvent& event) {
  if (LinkClicked || !Inside(event, *L1[0])) return;
  L1[0]->SetFont({L1[0]->GetFont().family, L1[0]->GetFont().points, false, true});
  L1[0]->SetForeColor(kLinkHoverColor);
}

void BA3::OnTextClick(int index) {
  if (index == 0) {
    OpenWebAddress(platform_.GetDesktop(), siteUrl_);
    LinkClicked = true;
  }
  ShowLinkNormal();
}

void BA3::ShowLinkNormal() {
  L1[0]->SetFont({L1[0]->GetFont().family, L1[0]->GetFont().points, false, false});
  L1[0]->SetForeColor(kLinkColor);
}

}  // namespace lumora
