#include <algorithm>

#include "shell/BA1.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {

void BA1::PaintFrame() {
  Bitmap& surface = window_->Surface();
  surface.Fill(kPageBack);
  PaintSkinFrame(surface, skin_[SkinSheet::kFrame], window_->ClientSize());
  window_->Refresh();
  RoundWindow(*window_);
}

void BA1::OnResize() {
  // Until the skin is applied there is nothing to lay out; applying it lays the window out.
  if (!skinApplied_ || window_->State() == WindowState::Minimized) return;
  captionBar_.ShowWindowState();
  if (captionBar_.Compact() != CompactMode::Off) return LayoutCompact();
  Rect bounds = window_->Bounds();
  if (window_->State() != WindowState::Maximized) {
    Size minimum{TwipsToPixels(kMinimumTwips.width), TwipsToPixels(kMinimumTwips.height)};
    if (bounds.width < minimum.width || bounds.height < minimum.height) {
      // The nested resize this causes lays the window out at its new size.
      return window_->SetBounds({bounds.x, bounds.y, std::max(bounds.width, minimum.width),
                                 std::max(bounds.height, minimum.height)});
    }
  }
  PaintFrame();
  LayoutAll();
  frameSizing_.OnLayout();
}

void BA1::LayoutAll() {
  Size client = window_->ClientSize();
  captionBar_.Layout(client);
  pageTabs_.Layout(client);
  Size page = pageTabs_.Area(Page::Portal).Geometry().Extent();
  portal_.Layout(page);
  PlaceViewInFrame(*shoppingView_, page);
  LayoutPlayerPage();
  LayoutTvPage();
  statusStrip_.Layout(client);
}

void BA1::LayoutPlayerPage() {
  player_.Layout(playerPage_.Layout());
  listSideBar_.Layout(playerPage_.SideBar().Geometry().Extent());
}

void BA1::LayoutTvPage() {
  Size left = tvPage_.Layout();
  tvPane_.Layout(left, tvPage_.SideBar().Geometry().Extent());
}

void BA1::LayoutCompact() {
  Rect bounds = window_->Bounds();
  Size minimum{TwipsToPixels(kCompactMinimumTwips.width),
               TwipsToPixels(kCompactMinimumTwips.height)};
  if (bounds.width < minimum.width || bounds.height < minimum.height) {
    return window_->SetBounds({bounds.x, bounds.y, std::max(bounds.width, minimum.width),
                               std::max(bounds.height, minimum.height)});
  }
  PaintFrame();
  Size client = window_->ClientSize();
  captionBar_.LayoutCompact(client);
  Rect player{2, 20, client.width - 4, client.height - 23};
  if (captionBar_.Compact() == CompactMode::Player) {
    playerPage_.LayoutLeftOnly(player);
    player_.LayoutCompact(player.Extent());
  } else {
    tvPage_.LayoutLeftOnly(player);
    tvPane_.LayoutCompact(player.Extent());
  }
}

}  // namespace lumora
