#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::skin {

// A picture of palette indices, row by row.
struct IndexedImage {
  int width = 0;
  int height = 0;
  // 0xRRGGBB entries; a power of two from 4 to 256 of them.
  std::vector<std::uint32_t> palette;
  // The index drawn transparent, or -1 for none.
  int transparent = -1;
  std::vector<std::uint8_t> pixels;
};

// A GIF89a file of one frame. The image data holds only single-pixel codes with a clear code
// before the code table would grow, so every code keeps the same width: simple and valid for
// every decoder, at the cost of compression the tiny icons do not need.
std::string EncodeGif(const IndexedImage& image);

}  // namespace lumora::skin
