#pragma once

#include "platform/Bitmap.h"

namespace lumora {

// The cross of the players' close buttons, drawn over a dark square.
void PaintCloseGlyph(Bitmap& surface);

}  // namespace lumora
