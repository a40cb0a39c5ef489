#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumora::skin {

// A colour with components from 0 to 1.
struct Rgb {
  double r = 0;
  double g = 0;
  double b = 0;
};

constexpr Rgb Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// 0xRRGGBB, each component rounded to the nearest step.
inline std::uint32_t Packed(Rgb colour) {
  auto step = [](double value) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
  };
  return step(colour.r) << 16 | step(colour.g) << 8 | step(colour.b);
}

constexpr Rgb Mix(Rgb from, Rgb to, double amount) {
  return {from.r + (to.r - from.r) * amount, from.g + (to.g - from.g) * amount,
          from.b + (to.b - from.b) * amount};
}

// The look of the whole program: dark chrome around pages of #212121 with light text, orange
// for what is selected, blue-grey for what is not.
namespace colour {
inline constexpr Rgb kPage = Hex(0x212121);
inline constexpr Rgb kPageText = Hex(0xDBDBDB);
inline constexpr Rgb kWindowBorder = Hex(0x62666C);
inline constexpr Rgb kCaptionHighlight = Hex(0x4E5258);
inline constexpr Rgb kCaptionTop = Hex(0x3D4046);
inline constexpr Rgb kChrome = Hex(0x2A2C30);
inline constexpr Rgb kPageRim = Hex(0x151618);
inline constexpr Rgb kGlyph = Hex(0xAEB3BA);
inline constexpr Rgb kGlyphHover = Hex(0xFFFFFF);
inline constexpr Rgb kCloseHover = Hex(0xD8453B);
inline constexpr Rgb kAccentLight = Hex(0xF7A94B);
inline constexpr Rgb kAccent = Hex(0xEE8526);
inline constexpr Rgb kAccentDark = Hex(0xD96E17);
inline constexpr Rgb kIdleTabLight = Hex(0x5B6B7B);
inline constexpr Rgb kIdleTabDark = Hex(0x414D59);
inline constexpr Rgb kIdleTabText = Hex(0xD3DBE3);
inline constexpr Rgb kHeaderTop = Hex(0x3A3D42);
inline constexpr Rgb kHeaderBottom = Hex(0x2D2F33);
inline constexpr Rgb kHeaderLine = Hex(0x1A1B1D);
inline constexpr Rgb kListTabPlate = Hex(0x4A4E55);
inline constexpr Rgb kListTabIdleText = Hex(0x8F959C);
inline constexpr Rgb kHandle = Hex(0x2F3237);
inline constexpr Rgb kHandleEdge = Hex(0x474B51);
inline constexpr Rgb kError = Hex(0xE4573B);
}  // namespace colour

// Where the window places its parts, in window pixels: pages cover everything inside the rim.
namespace place {
inline constexpr int kPageLeft = 7;
inline constexpr int kPageTop = 41;
inline constexpr int kPageRight = 7;
inline constexpr int kPageBottom = 36;
inline constexpr int kButtonTop = 7;
inline constexpr int kPageTabTop = 8;
inline constexpr int kListTabTop = 4;
inline constexpr int kHeaderHeight = 28;
}  // namespace place

// The caption band at window row y: a highlight line under the border, then a gradient that
// ends in the colour of the side and bottom chrome where the pages begin.
inline Rgb CaptionShade(double y) {
  if (y < 2) return colour::kCaptionHighlight;
  double amount = std::clamp((y - 2) / (place::kPageTop - 2), 0.0, 1.0);
  return Mix(colour::kCaptionTop, colour::kChrome, amount);
}

// The side-bar header at its row y: a highlight line, a gradient and a dark line at the bottom.
inline Rgb HeaderShade(double y) {
  if (y < 1) return colour::kCaptionHighlight;
  if (y >= place::kHeaderHeight - 1) return colour::kHeaderLine;
  double amount = std::clamp((y - 1) / (place::kHeaderHeight - 2), 0.0, 1.0);
  return Mix(colour::kHeaderTop, colour::kHeaderBottom, amount);
}

}  // namespace lumora::skin
