#pragma once

#include "platform/Bitmap.h"
#include "platform/Controls.h"
#include "platform/Window.h"

namespace lumora {

// Window sizes in twips and pixels.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// Gives a window its rounded region: its size plus one, corner ellipse 4 x 4.
void RoundWindow(TopWindow& window);
// Stretches the edges and corners of the frame skin sheet around a surface of this size.
void PaintSkinFrame(Bitmap& surface, const Bitmap& frame, Size client);
// Centres the window on the screen at its present size.
void CenterOnScreen(TopWindow& window, Size screen);
// A web view sits 2 pixels outside its frame on every side, so its own border is clipped.
void PlaceViewInFrame(WebView& view, Size frame);

}  // namespace lumora
