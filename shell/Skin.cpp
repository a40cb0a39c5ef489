#include <string>

#include "core/Settings.h"
#include "resources/Resources.h"
#include "shell/BA1.h"

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

void BA1::ApplySkin(int skin) {
  skin_.Load(skin, platform_.GetDesktop().ScaleFactor());
  if (skinApplied_) {
    PaintFrame();
    IniWrite(ConfigPath(), "Skin", "Num", std::to_string(skin));
  } else {
    LayoutAll();
    skinApplied_ = true;
  }
  captionBar_.Paint();
  pageTabs_.Paint();
  listSideBar_.Paint();
}

void BA1::LoadPictures() {
  int scale = platform_.GetDesktop().ScaleFactor();
  portal_.LoadPictures(scale);
  window_->SetIcon(Bitmap::FromPng(ResourceBytes("icon.png")));
  player_.LoadPictures();
  tvPane_.LoadPictures();
}

}  // namespace lumora
