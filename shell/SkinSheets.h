#pragma once

#include <array>
#include <string>

#include "platform/Bitmap.h"

namespace lumora {

// The sheets of a skin that the main window and the settings dialog paint from (the picture
// array ppt of the main window).
enum class SkinSheet {
  kFrame = 0,
  kButtons = 1,
  kButtonsHover = 2,
  kRestore = 5,
  kOnTop = 6,
  kSelectedPageTabs = 7,
  kPageTabs = 8,
  kListTabs = 9,
  kListHeader = 10,
  kSideBarHandles = 11,
};

class SkinSheets {
 public:
  // Takes the sheets of a skin at the screen's scale; a sheet the skin lacks keeps the one before.
  void Load(int skin, int screenScale);
  const Bitmap& operator[](SkinSheet sheet) const { return sheets_[static_cast<int>(sheet)]; }

 private:
  std::array<Bitmap, 21> sheets_;
};

// A picture of the resources; a screen scaled by two or more gets it at double size where there
// is one: the same logical size, twice the detail.
Bitmap ScaledPicture(const std::string& name, int screenScale);

}  // namespace lumora
