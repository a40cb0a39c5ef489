#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"
#include "resources/Resources.h"

namespace lumora {
namespace {

// Each test runs on the normal sheets (scale 1) and on the double-size ones in 2x/ (scale 2),
// with positions given in normal-size pixels.
class SheetTest : public testing::TestWithParam<int> {
 protected:
  static std::uint32_t Rgb(const Bitmap& bitmap, Point at) { return bitmap.PixelAt(at) & 0xFFFFFF; }
  int S(int logical) const { return logical * GetParam(); }
  Bitmap Sheet(const std::string& name) const {
    return Bitmap::FromPng(ResourceBytes((GetParam() == 2 ? "2x/" : "") + name));
  }
};

INSTANTIATE_TEST_SUITE_P(Scales, SheetTest, testing::Values(1, 2));

// The frame's edge pieces the window stretches: the top and bottom ones are one colour along each
// row, the left and right ones along each column.
TEST_P(SheetTest, SheetsHaveTheirSizesFramePiecesStretchAndCellsSitOnTheCaptionBandUnseen) {
  Bitmap frame = Sheet("101.png");
  const std::pair<Rect, bool> pieces[] = {{{40, 0, 10, 50}, true},
                                          {{0, 50, 35, 10}, false},
                                          {{45, 50, 35, 10}, false},
                                          {{35, 60, 10, 40}, true}};
  for (auto [piece, alongRows] : pieces) {
    int differences = 0;
    for (int y = S(piece.y); y < S(piece.y + piece.height); ++y) {
      for (int x = S(piece.x); x < S(piece.x + piece.width); ++x) {
        Point first = alongRows ? Point{S(piece.x), y} : Point{x, S(piece.y)};
        differences += Rgb(frame, {x, y}) != Rgb(frame, first);
      }
    }
    EXPECT_EQ(differences, 0) << piece.x << "," << piece.y;
  }

  // The frame and the sheets whose cells the window places on its caption band decode at their
  // size; the first column of each cell is the band at the row where the window places the sheet,
  // so that the sheet shows no edge against the band.
  const std::tuple<const char*, Size, std::vector<int>, int> sheets[] = {
      {"101.png", {80, 100}, {}, 0},
      {"102.png", {140, 21}, {0, 60, 80, 100, 120}, 7},
      {"103.png", {140, 21}, {0, 60, 80, 100, 120}, 7},
      {"106.png", {40, 21}, {0, 20}, 7},
      {"107.png", {80, 21}, {0, 20, 40, 60}, 7},
      {"108.png", {272, 28}, {0, 68, 136, 204}, 8},
      {"109.png", {272, 28}, {0, 68, 136, 204}, 8},
  };
  for (const auto& [name, size, cells, top] : sheets) {
    Bitmap sheet = Sheet(name);
    EXPECT_EQ(sheet.Extent(), (Size{S(size.width), S(size.height)})) << name;
    for (int cell : cells) {
      int differences = 0;
      for (int y = 0; y < sheet.Extent().height; ++y) {
        differences += Rgb(sheet, {S(cell), y}) != Rgb(frame, {S(45), S(top) + y});
      }
      EXPECT_EQ(differences, 0) << name << " cell " << cell;
    }
  }
}

// Icons, the delete icon and unknown names, at one size only.
TEST(ResourcesTest, IconsHaveTransparentCornersTheDeleteIconIsAnElevenPixelGifUnknownNamesNothing) {
  for (auto [name, size] : {std::pair{"icon.png", 64}, {"icon32.png", 32}, {"icon16.png", 16}}) {
    Bitmap icon = Bitmap::FromPng(ResourceBytes(name));
    ASSERT_EQ(icon.Extent(), (Size{size, size})) << name;
    EXPECT_EQ(icon.PixelAt({0, 0}) >> 24, 0u) << name;
    EXPECT_EQ(icon.PixelAt({size / 2, size / 2}) >> 24, 255u) << name;
  }
  // A GIF89a header, then width and height as 16-bit little-endian numbers.
  EXPECT_EQ(ResourceBytes("i.gif").substr(0, 10), std::string_view("GIF89a\x0B\0\x0B\0", 10));
  for (const char* name : {"", "101", "101.PNG", "images/101.png", "2x/i.gif", "113.png"}) {
    EXPECT_TRUE(ResourceBytes(name).empty()) << name;
  }
}

}  // namespace
}  // namespace lumora
