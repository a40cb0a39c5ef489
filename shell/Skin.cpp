#include <string>

#include "core/Product.h"
#include "core/Settings.h"
#include "resources/Resources.h"
#include "shell/BA1.h"
#include "shell/Glyphs.h"

namespace lumora {
namespace {

// Skin sheet i of skin n is the bitmap resource 101 + 100 n + i; missing ones stay empty.
Bitmap SheetPicture(int skin, int index, int screenScale) {
  return ScaledPicture(std::to_string(101 + 100 * skin + index) + ".png", screenScale);
}

}  // namespace

Bitmap ScaledPicture(const std::string& name, int screenScale) {
  if (screenScale >= 2) {
    Bitmap doubled = Bitmap::FromPng(ResourceBytes("2x/" + name), 2);
    if (!doubled.Empty()) return doubled;
  }
  return Bitmap::FromPng(ResourceBytes(name));
}

void SkinSheets::Load(int skin, int screenScale) {
  for (int index = 0; index < static_cast<int>(sheets_.size()); ++index) {
    Bitmap sheet = SheetPicture(skin, index, screenScale);
    if (!sheet.Empty()) sheets_[index] = sheet;
  }
}

void BA1::p_p(int skin) {
  skin_.Load(skin, platform_.GetDesktop().ScaleFactor());
  if (SkinApplied == 1) {
    PaintFrame();
    IniWrite(ConfigPath(), "Skin", "Num", std::to_string(skin));
  } else {
    LayoutCaptionAndPages();
    LayoutMainPage();
    LayoutTvPage();
    SkinApplied = 1;
  }
  PaintCaptionButtons();
  SelectListTab(CurrentListTab, true);
}

void BA1::LoadPictures() {
  int scale = platform_.GetDesktop().ScaleFactor();
  jia->SetImage(ScaledPicture("wait.png", scale));
  w3 = ScaledPicture("error.png", scale);
  window_->SetIcon(Bitmap::FromPng(ResourceBytes("icon.png")));
  PaintCloseGlyph(ggx->Surface());
  PaintCloseGlyph(gtv->Surface());
  Bitmap mark = Bitmap::FromPng(ResourceBytes("icon.png"));
  Size area = adp->Geometry().Extent();
  adp->Surface().Blit(
      {(area.width - mark.Extent().width) / 2, (area.height - mark.Extent().height) / 2}, mark,
      {0, 0, mark.Extent().width, mark.Extent().height});
}

}  // namespace lumora
