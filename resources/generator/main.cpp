// Draws every picture of the program into resources/images. The pictures are committed; run this
// (target lumora-skin-images) after changing the artwork.

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

#include "resources/generator/DesktopIcons.h"
#include "resources/generator/Sheets.h"

namespace lumora::skin {
namespace {

namespace fs = std::filesystem;

struct Picture {
  const char* name;
  Size size;
  void (*draw)(Canvas&);
  // Also drawn at double size into 2x/ for screens scaled by two.
  bool doubled;
};

constexpr Picture kPictures[] = {
    {"101.png", {80, 100}, DrawFrame, true},
    {"102.png", {140, 21}, [](Canvas& c) { DrawWindowButtons(c, Look::kNormal); }, true},
    {"103.png", {140, 21}, [](Canvas& c) { DrawWindowButtons(c, Look::kHover); }, true},
    {"104.png", {1, 43}, DrawPlainChrome, true},
    {"105.png", {10, 10}, DrawPlainPage, true},
    {"106.png", {40, 21}, DrawRestoreButton, true},
    {"107.png", {80, 21}, DrawTopmostButton, true},
    {"108.png", {272, 28}, [](Canvas& c) { DrawPageTabs(c, true); }, true},
    {"109.png", {272, 28}, [](Canvas& c) { DrawPageTabs(c, false); }, true},
    {"110.png", {180, 42}, DrawListTabs, true},
    {"111.png", {2, 28}, DrawSideBarHeader, true},
    {"112.png", {14, 40}, DrawSideBarHandle, true},
    {"icon.png", {64, 64}, DrawIcon, false},
    {"icon32.png", {32, 32}, DrawIcon, false},
    {"icon16.png", {16, 16}, DrawIcon, false},
    {"wait.png", {200, 120}, DrawWaiting, true},
    {"error.png", {200, 120}, DrawLoadError, true},
    {"exitclose.png", {51, 21}, DrawExitAdClose, true},
    {"popclose.png", {40, 14}, DrawPopupClose, true},
};

void WritePicture(const Picture& picture, const fs::path& file, int scale) {
  Canvas canvas(picture.size, scale);
  picture.draw(canvas);
  canvas.WritePng(file);
  std::cout << file.string() << '\n';
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
  std::cout << file.string() << '\n';
}

void DrawEverything(const fs::path& folder) {
  fs::create_directories(folder / "2x");
  for (const Picture& picture : kPictures) {
    WritePicture(picture, folder / picture.name, 1);
    if (picture.doubled) WritePicture(picture, folder / "2x" / picture.name, 2);
  }
  WriteBytes(folder / "i.gif", EncodeGif(MakeDeleteIcon()));
}

}  // namespace
}  // namespace lumora::skin

int main(int argc, char** argv) {
  bool icons = argc == 3 && std::string(argv[1]) == "--desktop-icons";
  if (argc != 2 && !icons) {
    std::cerr << "usage: " << argv[0] << " OUTPUT_FOLDER | --desktop-icons OUTPUT_FOLDER\n";
    return 2;
  }
  try {
    if (icons) {
      lumora::skin::DrawDesktopIcons(argv[2]);
    } else {
      lumora::skin::DrawEverything(argv[1]);
    }
  } catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << '\n';
    return 1;
  }
  return 0;
}
