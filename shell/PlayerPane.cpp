#include "shell/PlayerPane.h"

#include <chrono>

#include "resources/Resources.h"
#include "shell/Glyphs.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {

PlayerPane::PlayerPane(Platform& platform, TopWindow& window, Picture& area) : platform_(platform) {
  CreatePlayer(area);
  CreateAdPanel(area);
  adPanel_->onMouseMove = [&window](const MouseEvent&) { window.SetPointer(PointerShape::Arrow); };
}

void PlayerPane::CreatePlayer(Picture& area) {
  playerFrame_ = &area.AddPicture();
  playerFrame_->SetBackColor(kPageBack);
  playerFrame_->SetVisible(false);
  playerView_ = &playerFrame_->AddWebView();
  closeButton_ = &playerFrame_->AddPicture();
  closeButton_->SetGeometry({0, 0, kCloseButtonSize, kCloseButtonSize});
  closeButton_->SetPointer(PointerShape::Hand);
  closeButton_->SetAccessible({AccessibleRole::PushButton, "关闭播放器"});
  closeButton_->onClick = [this] {
    if (onCloseClicked) onCloseClicked();
  };
}

void PlayerPane::CreateAdPanel(Picture& area) {
  adPanel_ = &area.AddPicture();
  adPanel_->SetBackColor(kPageBack);
  adPicture_ = &adPanel_->AddPicture();
  adPicture_->SetBackColor(kPageBack);
  adPicture_->SetGeometry({0, 0, kAdPictureSize.width, kAdPictureSize.height});
  bannerFrame_ = &adPanel_->AddPicture();
  bannerFrame_->SetBackColor(kPageBack);
  bannerFrame_->SetVisible(false);  // until the control file asks for the ad panel
  bannerView_ = &bannerFrame_->AddWebView();
  bannerView_->onNavigateError = [this](const std::string&) {
    bannerFrame_->SetVisible(false);
    bannerFailed_ = true;
  };
}

void PlayerPane::LoadPictures() {
  PaintCloseGlyph(closeButton_->Surface());
  Bitmap mark = Bitmap::FromPng(ResourceBytes("icon.png"));
  Size area = adPicture_->Geometry().Extent();
  Size size = mark.Extent();
  adPicture_->Surface().Blit({(area.width - size.width) / 2, (area.height - size.height) / 2}, mark,
                             {0, 0, size.width, size.height});
}

void PlayerPane::Layout(Size area) {
  playerFrame_->SetGeometry({0, 0, area.width, area.height});
  closeButton_->Move({area.width - kCloseButtonSize, closeButton_->Geometry().y});
  PlaceViewInFrame(*playerView_, area);
  adPanel_->SetGeometry({0, 0, area.width, area.height});
  Size ad = adPicture_->Geometry().Extent();
  adPicture_->Move({(area.width - ad.width) / 2, (area.height - ad.height - 30) / 2 - 25});
  bannerFrame_->SetGeometry(
      {(area.width - 468) / 2, adPicture_->Geometry().y + ad.height + 40, 468, 60});
  PlaceViewInFrame(*bannerView_, bannerFrame_->Geometry().Extent());
}

void PlayerPane::LayoutCompact(Size area) {
  playerFrame_->SetGeometry({0, 0, area.width, area.height});
  PlaceViewInFrame(*playerView_, area);
}

void PlayerPane::ShowPlayer() {
  adPanel_->SetVisible(false);
  playerFrame_->SetVisible(true);
}

void PlayerPane::HidePlayer() {
  playerFrame_->SetVisible(false);
}

// The ad panel shows before the player view empties, so the user sees the close at once.
void PlayerPane::ClosePlayer() {
  playerFrame_->SetVisible(false);
  adPanel_->SetVisible(true);
  platform_.GetEventLoop().ProcessEvents(std::chrono::milliseconds(0));
  playerView_->Navigate("about:blank");
}

void PlayerPane::SetCloseButtonVisible(bool visible) {
  closeButton_->SetVisible(visible);
}

void PlayerPane::ShowBanner() {
  if (!bannerFailed_) bannerFrame_->SetVisible(true);
}

}  // namespace lumora
