#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Bitmap.h"
#include "resources/Resources.h"

namespace lumora {
namespace {

// ---- Reading pixels

std::uint32_t Rgb(std::uint32_t pixel) {
  return pixel & 0xFFFFFF;
}
int Alpha(std::uint32_t pixel) {
  return pixel >> 24;
}

// Pixels of `area` in `a` whose colour differs from the same-sized area at `at` in `b`.
int Differences(const Bitmap& a, Rect area, const Bitmap& b, Point at) {
  int count = 0;
  for (int y = 0; y < area.height; ++y) {
    for (int x = 0; x < area.width; ++x) {
      count += Rgb(a.PixelAt({area.x + x, area.y + y})) != Rgb(b.PixelAt({at.x + x, at.y + y}));
    }
  }
  return count;
}

// True when every row of `area` is one colour (`alongRows`), or every column.
bool Uniform(const Bitmap& bitmap, Rect area, bool alongRows) {
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      Point first = alongRows ? Point{area.x, y} : Point{x, area.y};
      if (Rgb(bitmap.PixelAt({x, y})) != Rgb(bitmap.PixelAt(first))) return false;
    }
  }
  return true;
}

// ---- The sheets at normal and at double size

struct SheetSize {
  const char* name;
  Size size;
};

constexpr SheetSize kSheets[] = {
    {"101.png", {80, 100}},   {"102.png", {140, 21}},    {"103.png", {140, 21}},
    {"104.png", {1, 43}},     {"105.png", {10, 10}},     {"106.png", {40, 21}},
    {"107.png", {80, 21}},    {"108.png", {272, 28}},    {"109.png", {272, 28}},
    {"110.png", {180, 42}},   {"111.png", {2, 28}},      {"112.png", {14, 40}},
    {"wait.png", {200, 120}}, {"error.png", {200, 120}},
};

// Each test runs on the normal sheets (scale 1) and on the double-size ones in 2x/ (scale 2),
// with positions given in normal-size pixels.
class SheetTest : public testing::TestWithParam<int> {
 protected:
  int S(int logical) const { return logical * GetParam(); }
  Rect R(int x, int y, int width, int height) const { return {S(x), S(y), S(width), S(height)}; }
  Point P(int x, int y) const { return {S(x), S(y)}; }
  Bitmap Sheet(const std::string& name) const {
    return Bitmap::FromPng(ResourceBytes((GetParam() == 2 ? "2x/" : "") + name));
  }

  // Expects the first column of each cell to be the window's caption band at the rows where the
  // window places the sheet, so that the sheet shows no edge against the band.
  void ExpectOnCaption(const std::string& name, std::vector<int> cells, int top) const {
    Bitmap sheet = Sheet(name);
    Bitmap frame = Sheet("101.png");
    for (int cell : cells) {
      Rect column{S(cell), 0, 1, sheet.Extent().height};
      EXPECT_EQ(Differences(sheet, column, frame, P(45, top)), 0) << name << " cell " << cell;
    }
  }
};

INSTANTIATE_TEST_SUITE_P(Scales, SheetTest, testing::Values(1, 2));

TEST_P(SheetTest, EverySheetDecodesAtItsSize) {
  for (const SheetSize& sheet : kSheets) {
    EXPECT_EQ(Sheet(sheet.name).Extent(), (Size{S(sheet.size.width), S(sheet.size.height)}))
        << sheet.name;
  }
}

TEST_P(SheetTest, FramePiecesStretchWithoutChange) {
  Bitmap frame = Sheet("101.png");
  EXPECT_TRUE(Uniform(frame, R(40, 0, 10, 50), true)) << "top edge";
  EXPECT_TRUE(Uniform(frame, R(0, 50, 35, 10), false)) << "left edge";
  EXPECT_TRUE(Uniform(frame, R(45, 50, 35, 10), false)) << "right edge";
  EXPECT_TRUE(Uniform(frame, R(35, 60, 10, 40), true)) << "bottom edge";
}

TEST_P(SheetTest, ButtonsAndTabsSitOnTheCaptionBandWithoutAnEdge) {
  ExpectOnCaption("102.png", {0, 60, 80, 100, 120}, 7);
  ExpectOnCaption("103.png", {0, 60, 80, 100, 120}, 7);
  ExpectOnCaption("106.png", {0, 20}, 7);
  ExpectOnCaption("107.png", {0, 20, 40, 60}, 7);
  ExpectOnCaption("108.png", {0, 68, 136, 204}, 8);
  ExpectOnCaption("109.png", {0, 68, 136, 204}, 8);
}

// ---- Icons and the delete icon, at one size only

TEST(ResourcesTest, IconsAreOpaqueMarksWithTransparentCorners) {
  for (auto [name, size] : {std::pair{"icon.png", 64}, {"icon32.png", 32}, {"icon16.png", 16}}) {
    Bitmap icon = Bitmap::FromPng(ResourceBytes(name));
    ASSERT_EQ(icon.Extent(), (Size{size, size})) << name;
    EXPECT_EQ(Alpha(icon.PixelAt({0, 0})), 0) << name;
    EXPECT_EQ(Alpha(icon.PixelAt({size / 2, size / 2})), 255) << name;
  }
}

TEST(ResourcesTest, UnknownNamesHaveNoBytes) {
  for (const char* name : {"", "101", "101.PNG", "images/101.png", "2x/i.gif", "113.png"}) {
    EXPECT_TRUE(ResourceBytes(name).empty()) << name;
  }
  EXPECT_FALSE(ResourceBytes("101.png").empty());
}

TEST(ResourcesTest, DeleteIconIsAnElevenPixelSquareGif) {
  std::string_view bytes = ResourceBytes("i.gif");
  ASSERT_GE(bytes.size(), 10u);
  EXPECT_TRUE(bytes.starts_with("GIF89a"));
  auto word = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  EXPECT_EQ(word(6), 11) << "width";
  EXPECT_EQ(word(8), 11) << "height";
}

}  // namespace
}  // namespace lumora
