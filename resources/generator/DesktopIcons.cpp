#include "resources/generator/DesktopIcons.h"

#include <iostream>
#include <string>

#include "resources/generator/Sheets.h"

namespace lumora::skin {

void DrawDesktopIcons(const std::filesystem::path& folder) {
  // The sizes of the hicolor theme that desktops look up for an application's icon.
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    std::string name = std::to_string(size) + "x" + std::to_string(size);
    std::filesystem::path apps = folder / "hicolor" / name / "apps";
    std::filesystem::create_directories(apps);
    Canvas canvas({size, size}, 1);
    DrawIcon(canvas);
    canvas.WritePng(apps / "lumora.png");
    std::cout << (apps / "lumora.png").string() << '\n';
  }
}

}  // namespace lumora::skin
