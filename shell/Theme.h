#pragma once

#include <chrono>

#include "platform/Geometry.h"

namespace lumora {

// Colours of the window's labels, kept in the order the settings of old skins used (0xBBGGRR).
inline constexpr Color kDarkRed = Color::FromBgr(128);
inline constexpr Color kBrightRed = Color::FromBgr(255);
inline constexpr Color kClearListGrey = Color::FromBgr(5921370);
inline constexpr Color kProductLabelGrey{0x7D7D7D};
inline constexpr Color kPageBack{0x212121};
inline constexpr Color kStripBack{0x1A1A1A};
inline constexpr Color kTooltipBack{0x2B2B2B};
inline constexpr Color kTooltipText{0xDBDBDB};
inline constexpr Color kTickerText{0xB4B4B4};
// The skin's highlight, around the control that has the keyboard focus.
inline constexpr Color kFocusRing{0xFAAF41};

inline constexpr const char* kSongTypeface = "SimSun, WenQuanYi Zen Hei, Sans";
inline constexpr const char* kExitCompactGlyph = "×";

inline constexpr int kCloseButtonSize = 18;
inline constexpr Size kAdPictureSize{240, 90};
inline constexpr int kSideBarWidth = 202;
inline constexpr Size kHandleSize{7, 40};

// Normal and compact minimum sizes and the compact size, in twips.
inline constexpr Size kMinimumTwips{13500, 7000};
inline constexpr Size kCompactMinimumTwips{4100, 3000};
inline constexpr Size kCompactTwips{5900, 4800};
inline constexpr Size kDefaultTwips{14850, 9830};

// A border resize is stored once the size has stayed put this long.
inline constexpr std::chrono::milliseconds kSizeSaveDelay{300};

}  // namespace lumora
