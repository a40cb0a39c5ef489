#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "resources/Resources.h"

namespace lumora {
namespace {

// ---- Reading pixels

std::uint32_t Rgb(std::uint32_t pixel) {
  return pixel & 0xFFFFFF;
}
int Red(std::uint32_t pixel) {
  return (pixel >> 16) & 0xFF;
}
int Green(std::uint32_t pixel) {
  return (pixel >> 8) & 0xFF;
}
int Blue(std::uint32_t pixel) {
  return pixel & 0xFF;
}
int Alpha(std::uint32_t pixel) {
  return pixel >> 24;
}
int Luminance(std::uint32_t pixel) {
  return (Red(pixel) * 3 + Green(pixel) * 6 + Blue(pixel)) / 10;
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

struct Mean {
  double red = 0;
  double green = 0;
  double blue = 0;
};

Mean MeanColour(const Bitmap& bitmap, Rect area) {
  Mean mean;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      std::uint32_t pixel = bitmap.PixelAt({x, y});
      mean.red += Red(pixel);
      mean.green += Green(pixel);
      mean.blue += Blue(pixel);
    }
  }
  double count = area.width * area.height;
  return {mean.red / count, mean.green / count, mean.blue / count};
}

int Brightest(const Bitmap& bitmap, Rect area) {
  int brightest = 0;
  for (int y = area.y; y < area.y + area.height; ++y) {
    for (int x = area.x; x < area.x + area.width; ++x) {
      brightest = std::max(brightest, Luminance(bitmap.PixelAt({x, y})));
    }
  }
  return brightest;
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

  // The window's frame the way the window paints it from the frame sheet.
  Bitmap PaintedFrame(Size window) const {
    Bitmap frame = Sheet("101.png");
    Bitmap painted({S(window.width), S(window.height)});
    int w = window.width;
    int h = window.height;
    auto piece = [&](Rect to, Rect from) {
      painted.StretchBlit(R(to.x, to.y, to.width, to.height), frame,
                          R(from.x, from.y, from.width, from.height));
    };
    piece({0, 50, 35, h - 50}, {0, 50, 35, 10});
    piece({w - 35, 50, 35, h - 50}, {45, 50, 35, 10});
    piece({35, h - 40, w - 70, 40}, {35, 60, 10, 40});
    piece({0, h - 40, 35, 40}, {0, 60, 35, 40});
    piece({w - 35, h - 40, 35, 40}, {45, 60, 35, 40});
    piece({40, 0, w - 70, 50}, {40, 0, 10, 50});
    piece({0, 0, 40, 50}, {0, 0, 40, 50});
    piece({w - 30, 0, 30, 50}, {50, 0, 30, 50});
    return painted;
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

TEST_P(SheetTest, PaintedFrameHasNoSeamsAndALighterOutline) {
  const int w = 300;
  const int h = 200;
  Bitmap window = PaintedFrame({w, h});
  EXPECT_TRUE(Uniform(window, {S(1), S(1), S(w - 2), S(39)}, true)) << "caption band";
  EXPECT_TRUE(Uniform(window, {S(1), S(h - 35), S(w - 2), S(34)}, true)) << "status strip";
  EXPECT_TRUE(Uniform(window, {S(1), S(41), S(5), S(h - 77)}, false)) << "left side";
  EXPECT_TRUE(Uniform(window, {S(w - 6), S(41), S(5), S(h - 77)}, false)) << "right side";

  std::uint32_t outline = window.PixelAt({0, 0});
  for (Rect edge : {R(0, 0, w, 1), R(0, h - 1, w, 1), R(0, 0, 1, h), R(w - 1, 0, 1, h)}) {
    EXPECT_TRUE(Uniform(window, edge, true) && Uniform(window, edge, false));
    EXPECT_EQ(Rgb(window.PixelAt(edge.Origin())), Rgb(outline));
  }
  EXPECT_GT(Luminance(outline), Luminance(window.PixelAt(P(3, 20))) + 20);
  EXPECT_GT(Luminance(outline), Luminance(window.PixelAt(P(3, h - 20))) + 20);
  // The rim around the pages is darker than the chrome beside it.
  EXPECT_LT(Luminance(window.PixelAt(P(6, 100))), Luminance(window.PixelAt(P(3, 100))));
}

TEST_P(SheetTest, ButtonsAndTabsSitOnTheCaptionBandWithoutAnEdge) {
  ExpectOnCaption("102.png", {0, 60, 80, 100, 120}, 7);
  ExpectOnCaption("103.png", {0, 60, 80, 100, 120}, 7);
  ExpectOnCaption("106.png", {0, 20}, 7);
  ExpectOnCaption("107.png", {0, 20, 40, 60}, 7);
  ExpectOnCaption("108.png", {0, 68, 136, 204}, 8);
  ExpectOnCaption("109.png", {0, 68, 136, 204}, 8);
}

TEST_P(SheetTest, HoverCellsDifferFromNormalCells) {
  Bitmap normal = Sheet("102.png");
  Bitmap hover = Sheet("103.png");
  for (Rect cell : {R(0, 0, 60, 21), R(60, 0, 20, 21), R(80, 0, 20, 21), R(100, 0, 20, 21),
                    R(120, 0, 20, 21)}) {
    EXPECT_GT(Differences(normal, cell, hover, cell.Origin()), S(S(40))) << cell.x;
  }
  Bitmap restore = Sheet("106.png");
  EXPECT_GT(Differences(restore, R(0, 0, 20, 21), restore, P(20, 0)), S(S(40)));
  Bitmap topmost = Sheet("107.png");
  EXPECT_GT(Differences(topmost, R(0, 0, 20, 21), topmost, P(20, 0)), S(S(40)));
  EXPECT_GT(Differences(topmost, R(40, 0, 20, 21), topmost, P(60, 0)), S(S(40)));
}

TEST_P(SheetTest, CloseTurnsRedOnHover) {
  std::uint32_t plate = Sheet("103.png").PixelAt(P(103, 3));
  EXPECT_GT(Red(plate), 180);
  EXPECT_LT(Green(plate), 100);
  EXPECT_LT(Red(Sheet("102.png").PixelAt(P(103, 3))), 100);
}

TEST_P(SheetTest, AlwaysOnTopIsOrangeOnlyWhenOn) {
  Bitmap topmost = Sheet("107.png");
  auto orangePixels = [&](int cell) {
    int count = 0;
    for (int y = 0; y < S(21); ++y) {
      for (int x = S(cell); x < S(cell + 20); ++x) {
        std::uint32_t pixel = topmost.PixelAt({x, y});
        count += Red(pixel) > 200 && Green(pixel) > 100 && Green(pixel) < 190 && Blue(pixel) < 100;
      }
    }
    return count;
  };
  EXPECT_EQ(orangePixels(0), 0);
  EXPECT_EQ(orangePixels(20), 0);
  EXPECT_GT(orangePixels(40), S(S(10)));
  EXPECT_GT(orangePixels(60), S(S(10)));
}

TEST_P(SheetTest, SelectedPageTabsAreOrangeAndTheOthersBlueGrey) {
  Bitmap selected = Sheet("108.png");
  Bitmap idle = Sheet("109.png");
  for (int cell : {0, 68, 136, 204}) {
    // A piece of the tab's body left of its title.
    Mean orange = MeanColour(selected, R(cell + 4, 6, 8, 16));
    Mean blueGrey = MeanColour(idle, R(cell + 4, 6, 8, 16));
    EXPECT_GT(orange.red, orange.blue + 80) << cell;
    EXPECT_GT(blueGrey.blue, blueGrey.red + 15) << cell;
    EXPECT_LT(blueGrey.red, orange.red - 60) << cell;
  }
}

TEST_P(SheetTest, EachTabCarriesItsOwnTitle) {
  for (const char* name : {"108.png", "109.png"}) {
    Bitmap tabs = Sheet(name);
    for (int first : {0, 68, 136}) {
      for (int second = first + 68; second <= 204; second += 68) {
        EXPECT_GT(Differences(tabs, R(first, 0, 68, 28), tabs, P(second, 0)), S(S(30)))
            << name << " cells " << first << " and " << second;
      }
    }
  }
  Bitmap lists = Sheet("110.png");
  EXPECT_GT(Differences(lists, R(0, 0, 60, 21), lists, P(60, 0)), S(S(30)));
  EXPECT_GT(Differences(lists, R(60, 0, 60, 21), lists, P(120, 0)), S(S(30)));
}

TEST_P(SheetTest, ListTabsSelectedInWhiteOthersInGreyOnTheHeader) {
  Bitmap lists = Sheet("110.png");
  for (int cell : {0, 60, 120}) {
    EXPECT_GT(Brightest(lists, R(cell, 0, 60, 21)), 240) << cell;
    int idle = Brightest(lists, R(cell, 21, 60, 21));
    EXPECT_GT(idle, 110) << cell;
    EXPECT_LT(idle, 190) << cell;
  }
  // Placed 4 pixels down the header, both rows continue the header's rows at their left end.
  Bitmap header = Sheet("111.png");
  EXPECT_EQ(Differences(lists, R(0, 0, 1, 21), header, P(0, 4)), 0);
  EXPECT_EQ(Differences(lists, R(0, 21, 1, 21), header, P(0, 4)), 0);
  EXPECT_TRUE(Uniform(header, R(0, 0, 2, 28), true)) << "the header is stretched sideways";
}

TEST_P(SheetTest, HandleArrowsPointOppositeWays) {
  Bitmap handle = Sheet("112.png");
  const int width = S(7);
  for (int y = 0; y < S(40); ++y) {
    for (int x = 0; x < width; ++x) {
      ASSERT_EQ(Rgb(handle.PixelAt({x, y})), Rgb(handle.PixelAt({2 * width - 1 - x, y})))
          << "the opening arrow mirrors the closing one at " << x << "," << y;
    }
  }
  // The closing arrow points right: its strokes spread wide at the left and meet at the right.
  auto brightSpread = [&](int x) {
    int top = S(40);
    int bottom = -1;
    for (int y = 0; y < S(40); ++y) {
      if (Luminance(handle.PixelAt({x, y})) <= 150) continue;
      top = std::min(top, y);
      bottom = y;
    }
    return bottom - top;
  };
  int left = 0;
  while (left < width && brightSpread(left) < 0) ++left;
  int right = width - 1;
  while (right > left && brightSpread(right) < 0) --right;
  ASSERT_LT(left, right);
  EXPECT_GT(brightSpread(left), brightSpread(right) + S(3));
}

TEST_P(SheetTest, CoverPicturesAreMarksOnATransparentGround) {
  Bitmap waiting = Sheet("wait.png");
  Bitmap error = Sheet("error.png");
  for (const Bitmap* picture : {&waiting, &error}) {
    EXPECT_EQ(Alpha(picture->PixelAt({0, 0})), 0);
    EXPECT_EQ(Alpha(picture->PixelAt(P(199, 119))), 0);
    EXPECT_GT(Brightest(*picture, R(0, 78, 200, 24)), 180) << "a light caption";
  }
  EXPECT_GT(Differences(waiting, R(0, 0, 200, 120), error, {0, 0}), S(S(500)));
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

// A GIF reader as small as the file it reads: one image, global palette, LZW of any code width.
struct Gif {
  int width = 0;
  int height = 0;
  int transparent = -1;
  std::vector<std::uint32_t> palette;
  std::string pixels;
};

class GifReader {
 public:
  explicit GifReader(std::string_view bytes) : bytes_(bytes) {}

  Gif Read() {
    if (Take(6) != "GIF89a") throw std::runtime_error("not a GIF89a file");
    Gif gif;
    gif.width = Word();
    gif.height = Word();
    unsigned flags = Byte();
    Take(2);
    if (flags & 0x80) gif.palette = Palette(2u << (flags & 7));
    for (unsigned block = Byte(); block != 0x3B; block = Byte()) {
      if (block == 0x21) {
        unsigned label = Byte();
        std::string data = SubBlocks();
        if (label == 0xF9 && data.size() == 4 && (data[0] & 1)) {
          gif.transparent = static_cast<unsigned char>(data[3]);
        }
      } else if (block == 0x2C) {
        Take(8);
        if (Byte() & 0x80) throw std::runtime_error("unexpected local palette");
        int codeSize = static_cast<int>(Byte());
        gif.pixels = Lzw(SubBlocks(), codeSize);
      } else {
        throw std::runtime_error("unknown block");
      }
    }
    return gif;
  }

 private:
  unsigned Byte() {
    if (at_ >= bytes_.size()) throw std::runtime_error("the file ends early");
    return static_cast<unsigned char>(bytes_[at_++]);
  }
  unsigned Word() {
    unsigned low = Byte();
    return low | Byte() << 8;
  }
  std::string Take(std::size_t count) {
    std::string taken;
    for (std::size_t i = 0; i < count; ++i) taken.push_back(static_cast<char>(Byte()));
    return taken;
  }
  std::vector<std::uint32_t> Palette(unsigned entries) {
    std::vector<std::uint32_t> palette;
    for (unsigned i = 0; i < entries; ++i) {
      std::string rgb = Take(3);
      palette.push_back(static_cast<unsigned char>(rgb[0]) << 16 |
                        static_cast<unsigned char>(rgb[1]) << 8 |
                        static_cast<unsigned char>(rgb[2]));
    }
    return palette;
  }
  std::string SubBlocks() {
    std::string data;
    for (unsigned size = Byte(); size != 0; size = Byte()) data += Take(size);
    return data;
  }

  static std::string Lzw(const std::string& data, int minimumCodeSize) {
    const unsigned clear = 1u << minimumCodeSize;
    std::vector<std::string> table;
    int width = 0;
    auto reset = [&] {
      table.clear();
      for (unsigned code = 0; code < clear + 2; ++code) table.emplace_back(1, char(code));
      width = minimumCodeSize + 1;
    };
    reset();
    std::string out;
    std::optional<std::string> previous;
    for (std::size_t bit = 0; bit + width <= data.size() * 8;) {
      unsigned code = 0;
      for (int i = 0; i < width; ++i, ++bit) {
        code |= ((static_cast<unsigned char>(data[bit / 8]) >> (bit % 8)) & 1u) << i;
      }
      if (code == clear) {
        reset();
        previous.reset();
        continue;
      }
      if (code == clear + 1) return out;
      std::string entry;
      if (code < table.size()) {
        entry = table[code];
      } else if (code == table.size() && previous) {
        entry = *previous + previous->front();
      } else {
        throw std::runtime_error("a code before its table entry");
      }
      out += entry;
      if (previous && table.size() < 4096) {
        table.push_back(*previous + entry.front());
        if (table.size() == (1u << width) && width < 12) ++width;
      }
      previous = entry;
    }
    throw std::runtime_error("no end code");
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
};

TEST(ResourcesTest, DeleteIconIsASmallLightCrossGif) {
  std::string_view bytes = ResourceBytes("i.gif");
  ASSERT_TRUE(bytes.starts_with("GIF89a"));
  Gif gif;
  ASSERT_NO_THROW(gif = GifReader(bytes).Read());
  ASSERT_EQ(gif.width, 11);
  ASSERT_EQ(gif.height, 11);
  ASSERT_EQ(gif.pixels.size(), 121u);
  ASSERT_GE(gif.transparent, 0);

  auto index = [&](int x, int y) { return static_cast<unsigned char>(gif.pixels[y * 11 + x]); };
  auto opaque = [&](int x, int y) { return index(x, y) != gif.transparent; };
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 11; ++x) {
      ASSERT_LT(index(x, y), gif.palette.size());
      EXPECT_EQ(opaque(x, y), opaque(10 - x, y)) << x << "," << y;
      EXPECT_EQ(opaque(x, y), opaque(x, 10 - y)) << x << "," << y;
    }
  }
  // Both strokes cross in the middle and reach towards the corners; the border stays clear.
  EXPECT_TRUE(opaque(5, 5));
  EXPECT_TRUE(opaque(3, 3));
  EXPECT_FALSE(opaque(5, 2));
  EXPECT_FALSE(opaque(0, 0));
  EXPECT_GT(Luminance(gif.palette[index(5, 5)]), 150);
}

}  // namespace
}  // namespace lumora
