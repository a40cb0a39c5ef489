#include "shell/WindowFrame.h"

#include <cmath>

#include "shell/Theme.h"

namespace lumora {

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

void CenterOnScreen(TopWindow& window, Size screen) {
  Rect bounds = window.Bounds();
  window.SetBounds({(screen.width - bounds.width) / 2, (screen.height - bounds.height) / 2,
                    bounds.width, bounds.height});
}

void PlaceViewInFrame(WebView& view, Size frame) {
  view.SetGeometry({-2, -2, frame.width + 4, frame.height + 4});
}

}  // namespace lumora
