#include "auxwin/BA3.h"

#include "auxwin/BA3Settings.h"
#include "core/Product.h"
#include "core/WebAddress.h"

namespace lumora {
namespace {

constexpr Color kTabBack{0xDADADA};
constexpr Color kTabText{0x000000};
constexpr Color kSelectedTabBack{0xFAAF41};
constexpr Color kSelectedTabText{0xFFFFFF};
constexpr Color kLinkColor{0x0000FF};
constexpr Color kLinkHoverColor{0xFF0000};
constexpr BA3::Page kPages[] = {BA3::Page::kAbout, BA3::Page::kSettings};

std::string TabTitle(BA3::Page page) {
  return page == BA3::Page::kAbout ? "关于软件" : "软件设置";
}

bool Inside(const MouseEvent& event, const Control& control) {
  Rect geometry = control.Geometry();
  return event.x >= 0 && event.y >= 0 && event.x <= geometry.width && event.y <= geometry.height;
}

void SetLinkLook(Label& link, bool highlighted, Color color) {
  Font font = link.GetFont();
  link.SetFont({font.family, font.points, false, highlighted});
  link.SetForeColor(color);
}

}  // namespace

BA3::BA3(Platform& platform, TopWindow& owner, const SkinSheets& skin, std::string siteUrl,
         std::filesystem::path appDir)
    : platform_(platform),
      owner_(owner),
      skin_(skin),
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
  window_->onKeyDown = nullptr;
  closed_ = std::move(window_);
}

void BA3::Load() {
  configPath_ = appDir_ / kSettingsFile;
  window_ = platform_.CreateWindow();
  window_->SetTitle("软件设置");
  window_->SetFocusRingColor(kTabText);
  window_->SetOwner(owner_);
  Size screen = platform_.GetDesktop().ScreenSize();
  window_->SetBounds({(screen.width - kClientSize.width) / 2,
                      (screen.height - kClientSize.height) / 2, kClientSize.width,
                      kClientSize.height});
  texts_.clear();
  CreateBody();
  CreateSettingsPage();
  CreateAboutPage();
  CreateButtons();
  WireEvents();
  OnResize();
  // The tab texts stand on the labels' second line.
  for (Page page : kPages) TabOf(page)->SetCaption("\r\n" + TabTitle(page));
  ShowPage(Page::kSettings);
  LoadBoxes();
  linkJustClicked_ = false;
}

void BA3::LoadBoxes() {
  hideToTrayBox_->SetChecked(SettingOn(configPath_, ba3_keys::kHideToTray));
  saveSizeBox_->SetChecked(SettingOn(configPath_, ba3_keys::kSaveSize));
  trayBalloonsBox_->SetChecked(SettingOn(configPath_, ba3_keys::kTrayBalloons));
}

void BA3::WireEvents() {
  window_->onResize = [this] { OnResize(); };
  window_->onMouseMove = [this](const MouseEvent& e) { OnSurfaceMove(e); };
  window_->onCloseRequest = [this] { Unload(); };
  // Escape, as the cancel button.
  window_->onKeyDown = [this](const KeyEvent& key) {
    if (key.key != Key::Escape) return false;
    Unload();
    return true;
  };
  title_->onMouseMove = [this](const MouseEvent& e) { OnSurfaceMove(e); };
  closeButton_->onMouseMove = [this](const MouseEvent& e) { OnCloseButtonMove(e); };
  closeButton_->onClick = [this] { Unload(); };
  closeButton_->SetAccessible({AccessibleRole::PushButton, "关闭"});
  for (Page page : kPages) {
    TabOf(page)->onClick = [this, page] { ShowPage(page); };
    PageOf(page)->onMouseMove = [this](const MouseEvent&) {
      linkJustClicked_ = false;
      ShowLinkNormal();
    };
  }
  for (Label* text : texts_) text->onClick = [this] { ShowLinkNormal(); };
  siteLink_->onClick = [this] { OnLinkClick(); };
  siteLink_->onMouseMove = [this](const MouseEvent& e) { OnLinkMove(e); };
  applyButton_->onClick = [this] { Apply(); };
  okButton_->onClick = [this] { ApplyAndClose(); };
  cancelButton_->onClick = [this] { Unload(); };
}

void BA3::ShowPage(Page page) {
  for (Page each : kPages) {
    Label& tab = *TabOf(each);
    tab.SetBackColor(each == page ? kSelectedTabBack : kTabBack);
    tab.SetForeColor(each == page ? kSelectedTabText : kTabText);
    tab.SetAccessible({AccessibleRole::PageTab, TabTitle(each), each == page});
  }
  for (Picture* shown : pages_) shown->SetVisible(false);
  PageOf(page)->SetVisible(true);
}

void BA3::Apply() {
  WriteSetting(configPath_, ba3_keys::kHideToTray, hideToTrayBox_->Checked());
  WriteSetting(configPath_, ba3_keys::kSaveSize, saveSizeBox_->Checked());
  WriteSetting(configPath_, ba3_keys::kTrayBalloons, trayBalloonsBox_->Checked());
}

void BA3::ApplyAndClose() {
  Apply();
  Unload();
}

void BA3::OnCloseButtonMove(const MouseEvent& event) {
  PaintCloseButton(Inside(event, *closeButton_));
  closeButton_->Refresh();
}

// The title band and the thin border, which the body does not cover, drag the dialog.
void BA3::OnSurfaceMove(const MouseEvent& event) {
  if (event.leftHeld && window_) window_->BeginSystemMove();
}

void BA3::OnLinkMove(const MouseEvent& event) {
  if (linkJustClicked_ || !Inside(event, *siteLink_)) return;
  SetLinkLook(*siteLink_, true, kLinkHoverColor);
}

void BA3::OnLinkClick() {
  OpenWebAddress(platform_.GetDesktop(), siteUrl_);
  linkJustClicked_ = true;
  ShowLinkNormal();
}

void BA3::ShowLinkNormal() {
  SetLinkLook(*siteLink_, false, kLinkColor);
}

}  // namespace lumora
