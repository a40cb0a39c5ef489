#include "shell/StatusStrip.h"

#include "core/Product.h"
#include "shell/Theme.h"

namespace lumora {

StatusStrip::StatusStrip(Platform& platform, TopWindow& window, ContentServer server)
    : platform_(platform), window_(window), server_(std::move(server)) {
  CreateLabel(window);
  panel_ = &window.AddPicture();
  panel_->onMouseMove = [this](const MouseEvent& event) { PointAtPanel(event); };
  AddItem().SetForeColor(kTickerText);
  timer_ = platform.CreateTimer();
  timer_->onTick = [this] { Step(); };
}

void StatusStrip::CreateLabel(TopWindow& window) {
  productLabel_ = &window.AddLabel();
  productLabel_->SetFont({kSongTypeface, 9, true, false});
  productLabel_->SetForeColor(kProductLabelGrey);
  productLabel_->SetAutoSize(true);
  productLabel_->SetCaption(std::string(kProductName) + " " + std::string(kAppVersion));
}

void StatusStrip::Layout(Size client) {
  productLabel_->Move({12, client.height - 25});
  panel_->SetGeometry({client.width - 310, client.height - 33, 300, 30});
  items_.front()->Move({0, 8});
}

void StatusStrip::SetVisible(bool visible) {
  if (visible)
    productLabel_->SetCaption(std::string(kProductName) + " " + std::string(kAppVersion));
  productLabel_->SetVisible(visible);
  panel_->SetVisible(visible && tickerEnabled_);
}

}  // namespace lumora
