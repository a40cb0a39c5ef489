#include <cmath>

#include "shell/BA1.h"
#include "shell/Theme.h"

namespace lumora {
namespace {

// A web view sits 2 pixels outside its frame on every side, so its own border is clipped.
void PlaceViewInFrame(WebView& view, Size frame) {
  view.SetGeometry({-2, -2, frame.width + 4, frame.height + 4});
}

Size ExtentOf(const Control& control) {
  return control.Geometry().Extent();
}

}  // namespace

int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

int PixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}

void RoundWindow(TopWindow& window) {
  Size size = window.ClientSize();
  window.SetRegion({{size.width + 1, size.height + 1}, 4});
}

void PaintSkinFrame(Bitmap& surface, const Bitmap& frame, Size client) {
  int sw = client.width;
  int sh = client.height;
  surface.StretchBlit({0, 50, 35, sh - 50}, frame, {0, 50, 35, 10});
  surface.StretchBlit({sw - 35, 50, 35, sh - 50}, frame, {45, 50, 35, 10});
  surface.StretchBlit({35, sh - 40, sw - 70, 40}, frame, {35, 60, 10, 40});
  surface.StretchBlit({0, sh - 40, 35, 40}, frame, {0, 60, 35, 40});
  surface.StretchBlit({sw - 35, sh - 40, 35, 40}, frame, {45, 60, 35, 40});
  surface.StretchBlit({40, 0, sw - 70, 50}, frame, {40, 0, 10, 50});
  surface.StretchBlit({0, 0, 40, 50}, frame, {0, 0, 40, 50});
  surface.StretchBlit({sw - 30, 0, 30, 50}, frame, {50, 0, 30, 50});
}

void BA1::PaintFrame() {
  Bitmap& surface = window_->Surface();
  surface.Fill(kPageBack);
  PaintSkinFrame(surface, skin_[SkinSheet::kFrame], window_->ClientSize());
  window_->Refresh();
  RoundWindow(*window_);
}

void BA1::LayoutCaptionAndPages() {
  Size client = window_->ClientSize();
  struct ButtonPlace {
    int element;
    int step;
    Size size;
  };
  static constexpr ButtonPlace kButtons[] = {{kClose, 0, {20, 21}},     {kMaximize, 22, {20, 21}},
                                             {kMinimize, 22, {20, 21}}, {kOnTop, 24, {20, 21}},
                                             {kMenu, 60, {60, 20}},     {kCompact, 22, {20, 21}}};
  int left = client.width - 32;
  for (const ButtonPlace& button : kButtons) {
    left -= button.step;
    npc[button.element]->SetGeometry({left, 7, button.size.width, button.size.height});
  }
  int tabLeft = 20;
  for (int tab : {kPortalTab, kPlayerTab, kTvTab, kShoppingTab}) {
    npc[tab]->SetGeometry({tabLeft, 8, 68, 28});
    tabLeft += 68;
  }

  Rect page{7, 41, client.width - 14, client.height - 77};
  for (Picture* each : {zz, zzp, tv, ying}) each->SetGeometry(page);
  Pic1->SetGeometry({0, 0, page.width, page.height});
  wait->SetGeometry({0, 0, page.width, page.height});
  Size cover = ExtentOf(*jia);
  jia->Move({(page.width - cover.width) / 2, (page.height - cover.height) / 2 - 20});
  PlaceViewInFrame(*Web1, page.Extent());
  PlaceViewInFrame(*Web9, page.Extent());
}

void BA1::LayoutStatusStrip() {
  Size client = window_->ClientSize();
  ni_name->Move({12, client.height - 25});
  gunp->SetGeometry({client.width - 310, client.height - 33, 300, 30});
  La0->Move({0, 8});
}

void BA1::OnResize() {
  // Until the skin is applied there is nothing to lay out; applying it lays the window out.
  if (SkinApplied == 0 || window_->State() == WindowState::Minimized) return;
  if (CompactMode != 0) return LayoutCompact();
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
  LayoutCaptionAndPages();
  LayoutMainPage();
  LayoutTvPage();
  LayoutStatusStrip();
  // A size report still coming in after a border resize ended delays storing it.
  if (sizeSaveTimer_->Enabled()) {
    sizeSaveTimer_->SetEnabled(false);
    sizeSaveTimer_->SetEnabled(true);
  }
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
  jbi->Move({client.width - jbi->Geometry().width - 10, 2});
  Rect player{2, 20, client.width - 4, client.height - 23};
  if (CompactMode == 1) {
    zz->SetGeometry(player);
    L1->SetGeometry({0, 0, player.width, player.height});
    Pic2->SetGeometry({0, 0, player.width, player.height});
    PlaceViewInFrame(*Web2, player.Extent());
  } else {
    tv->SetGeometry(player);
    tvleft->SetGeometry({0, 0, player.width, player.height});
    PlaceViewInFrame(*Web10, player.Extent());
  }
}

// A page split into a left area and a side bar, whose handle sits on the side bar's left edge
// while it is open and at the page's right edge while it is closed.
Size BA1::LayoutSplitPage(Picture& page, Picture& sideBar, Picture& handle, Picture& left) {
  Size extent = ExtentOf(page);
  sideBar.SetGeometry({extent.width - kSideBarWidth, 0, kSideBarWidth, extent.height});
  bool open = handle.Tooltip() == "关闭侧栏";
  int handleLeft = extent.width - (open ? kSideBarWidth : kHandleSize.width);
  handle.SetGeometry({handleLeft, (extent.height - kHandleSize.height) / 2, kHandleSize.width,
                      kHandleSize.height});
  handle.Surface().Blit({0, 0}, skin_[SkinSheet::kSideBarHandles], {open ? 0 : 7, 0, 7, 40});
  handle.Refresh();
  left.SetGeometry({0, 0, open ? handleLeft : extent.width, extent.height});
  return ExtentOf(left);
}

void BA1::LayoutMainPage() {
  Size left = LayoutSplitPage(*zz, *l2, *npc[kMainSideBarHandle], *L1);

  npc[kListHeader]->SetGeometry({0, 0, kSideBarWidth, 28});
  npc[kNowPlayingTab]->SetGeometry({25, 4, 60, 21});
  npc[kHistoryTab]->SetGeometry({105, 4, 60, 21});

  Pic2->SetGeometry({0, 0, left.width, left.height});
  ggx->Move({left.width - ExtentOf(*ggx).width, ggx->Geometry().y});

  Size bar = ExtentOf(*l2);
  shan->SetGeometry({0, bar.height - 25, bar.width, 25});
  qk->Move({bar.width - 80, 6});
  int header = npc[kListHeader]->Geometry().y + npc[kListHeader]->Geometry().height;
  int listHeight = bar.height - npc[kListHeader]->Geometry().height - 25;
  Pic3->SetGeometry({0, header, bar.width, listHeight});
  Pic5->SetGeometry({0, header, bar.width, listHeight});

  PlaceViewInFrame(*Web2, ExtentOf(*Pic2));
  PlaceViewInFrame(*Web3, ExtentOf(*Pic3));
  PlaceViewInFrame(*Web5, ExtentOf(*Pic5));

  m_ad->SetGeometry({0, 0, left.width, left.height});
  Size ad = ExtentOf(*adp);
  adp->Move({(left.width - ad.width) / 2, (left.height - ad.height - 30) / 2 - 25});
  bo_pad->SetGeometry({(left.width - 468) / 2, adp->Geometry().y + ad.height + 40, 468, 60});
  PlaceViewInFrame(*Web8, ExtentOf(*bo_pad));
}

void BA1::LayoutTvPage() {
  Size left = LayoutSplitPage(*tv, *tvright, *npc[kTvSideBarHandle], *tvleft);
  gtv->Move({left.width - ExtentOf(*gtv).width, gtv->Geometry().y});
  PlaceViewInFrame(*Web11, ExtentOf(*tvright));
  PlaceViewInFrame(*Web10, ExtentOf(*tvleft));
}

}  // namespace lumora
