#pragma once

#include <cstdint>

namespace lumora {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
  Point Origin() const { return {x, y}; }
  Size Extent() const { return {width, height}; }
};

// A 24-bit colour written 0xRRGGBB.
struct Color {
  std::uint32_t rgb = 0;
  bool operator==(const Color&) const = default;
  // Colours stored the other way round, 0xBBGGRR.
  static constexpr Color FromBgr(std::uint32_t bgr) {
    return {((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF)};
  }
};

// Outer window sizes are kept in twips: 15 to the pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

}  // namespace lumora
