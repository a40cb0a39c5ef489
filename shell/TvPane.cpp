#include "shell/TvPane.h"

#include <chrono>

#include "shell/Glyphs.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {

TvPane::TvPane(Platform& platform, Picture& playerArea, Picture& channelBar, ContentServer server)
    : platform_(platform),
      server_(std::move(server)),
      playerView_(&playerArea.AddWebView()),
      closeButton_(&playerArea.AddPicture()),
      channelView_(&channelBar.AddWebView()),
      playerStart_(*playerView_, platform_.GetClock(), server_.TvStartPage()),
      channelStart_(*channelView_, platform_.GetClock(), server_.TvChannelList()) {
  closeButton_->SetGeometry({0, 0, kCloseButtonSize, kCloseButtonSize});
  closeButton_->SetVisible(false);
  closeButton_->SetPointer(PointerShape::Hand);
  closeButton_->SetAccessible({AccessibleRole::PushButton, "关闭电视"});
  closeButton_->onClick = [this] {
    if (onCloseClicked) onCloseClicked();
  };
}

void TvPane::LoadPictures() {
  PaintCloseGlyph(closeButton_->Surface());
}

void TvPane::Layout(Size playerArea, Size channelBar) {
  closeButton_->Move({playerArea.width - kCloseButtonSize, closeButton_->Geometry().y});
  PlaceViewInFrame(*channelView_, channelBar);
  PlaceViewInFrame(*playerView_, playerArea);
}

void TvPane::LayoutCompact(Size playerArea) {
  PlaceViewInFrame(*playerView_, playerArea);
}

void TvPane::Start() {
  channelStart_.Start();
  playerStart_.Start();
}

void TvPane::OnShown() {
  channelStart_.OnShown();
  playerStart_.OnShown();
}

void TvPane::SetCloseButtonVisible(bool visible) {
  closeButton_->SetVisible(visible);
}

void TvPane::ClosePlayer() {
  closeButton_->SetVisible(false);
  platform_.GetEventLoop().ProcessEvents(std::chrono::milliseconds(0));
  playerStart_.Start();
}

}  // namespace lumora
