#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gtk/AddressKey.h"
#include "platform/gtk/SizeReports.h"
#include "platform/gtk/WindowRegion.h"

namespace lumora::gtk {
namespace {

// The region's rows as text, '#' for a kept pixel.
std::vector<std::string> Rows(const RoundedRegion& region, int width, int height) {
  RegionPtr pixels = RoundedRegionPixels(region);
  std::vector<std::string> rows;
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      row += cairo_region_contains_point(pixels.get(), x, y) ? '#' : '.';
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(WindowRegionTest, EllipsesCutTheCornerPixelsAlike) {
  EXPECT_EQ(Rows({{7, 6}, 4}, 7, 6), (std::vector<std::string>{".####..", "######.", "######.",
                                                               "######.", ".####..", "......."}));
  EXPECT_EQ(Rows({{4, 3}, 0}, 4, 3), (std::vector<std::string>{"###.", "###.", "...."}));
  EXPECT_EQ(Rows({{1, 1}, 4}, 2, 2), (std::vector<std::string>{"..", ".."}));

  std::vector<std::string> rows = Rows({{21, 21}, 10}, 20, 20);
  EXPECT_EQ(std::vector(rows.begin(), rows.begin() + 4),
            (std::vector<std::string>{"...##############...", "..################..",
                                      ".##################.", "####################"}));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(rows[19 - row], rows[row]);
}

// The web view test loads an upper-case scheme, a query with a space and UTF-8, and a root
// without its slash.
TEST(AddressKeyTest, MatchesWhatTheEngineMakesOfAnAddressAndNoOther) {
  EXPECT_EQ(AddressKey("HTTP://Example.COM:80"), AddressKey("http://example.com/"));
  EXPECT_EQ(AddressKey("kavovod://12-a-b-%u4E2D/"), AddressKey("KAVOVOD://12-a-b-%u4E2D/"));
  EXPECT_EQ(AddressKey("file:///tmp/c d.htm"), AddressKey("file:///tmp/c%20d.htm"));

  EXPECT_NE(AddressKey("http://h/box/a.htm"), AddressKey("http://h/box/b.htm"));
  EXPECT_NE(AddressKey("http://h/box/a.htm?x=1"), AddressKey("http://h/box/a.htm?x=2"));
  EXPECT_NE(AddressKey("http://h:8080/"), AddressKey("http://h/"));
  EXPECT_NE(AddressKey("katvs://1"), AddressKey("katvs://2"));
}

// Size reports of the window system come late: one of an older request is no news, nor a repeat
// while a newer request is on its way; the size last asked for is, and so is the window system's
// own choice while a request is on its way (a size too large for the screen). The contract and
// window manager tests show the rest on the screen.
TEST(SizeReportsTest, OlderSizesReportedLateAreNoNewsTheWindowSystemsOwnAre) {
  SizeReports reports;
  reports.Asked({200, 150});
  reports.Asked({260, 180});
  reports.Asked({230, 160});
  EXPECT_FALSE(reports.IsNews({200, 150}));
  EXPECT_FALSE(reports.IsNews({200, 150}));
  EXPECT_TRUE(reports.IsNews({230, 160}));
  reports.Asked({3000, 2000});
  EXPECT_TRUE(reports.IsNews({1600, 1000}));
}

}  // namespace
}  // namespace lumora::gtk
