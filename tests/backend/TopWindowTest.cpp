#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkTopWindow.h"
#include "platform/gtk/PictureControl.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kFrame = 0x3366CC;

class TopWindowTest : public ::testing::Test {
 protected:
  // A shown window at a free place of the screen, its surface in one colour.
  TopWindow& OpenWindow(Rect bounds, std::uint32_t color) {
    window_ = platform_.CreateWindow();
    window_->SetBounds(bounds);
    window_->Surface().Fill(Color{color});
    bounds_ = bounds;
    return *window_;
  }
  bool ShowsAt(int x, int y, std::uint32_t color) {
    return PumpUntil([&] { return ScreenPixel(bounds_.x + x, bounds_.y + y) == color; });
  }
  std::uint32_t PixelAt(int x, int y) { return ScreenPixel(bounds_.x + x, bounds_.y + y); }
  void Click(int x, int y) { ClickOnScreen(bounds_.x + x, bounds_.y + y); }
  void PointAt(int x, int y) { PointAtScreen(bounds_.x + x, bounds_.y + y); }

  GtkPlatform platform_;
  std::unique_ptr<TopWindow> window_;
  Rect bounds_;
};

TEST_F(TopWindowTest, PaintsItsSurfaceUnderPicturesAndLabels) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Picture& picture = window.AddPicture();
  picture.SetGeometry({10, 10, 60, 40});
  picture.Surface().Fill(Color{kGreen});
  Label& label = window.AddLabel();
  label.SetGeometry({100, 10, 50, 20});
  label.SetBackColor(Color{kRed});
  Label& transparent = window.AddLabel();
  transparent.SetGeometry({150, 100, 30, 20});
  window.Show();

  EXPECT_TRUE(ShowsAt(30, 30, kGreen));
  EXPECT_EQ(PixelAt(160, 110), kBlue) << "a label without a back colour";
  EXPECT_EQ(PixelAt(5, 5), kBlue);
  EXPECT_EQ(PixelAt(69, 49), kGreen);
  EXPECT_EQ(PixelAt(70, 50), kBlue);
  EXPECT_EQ(PixelAt(120, 15), kRed);

  picture.Surface().Fill(Color{kRed});
  picture.Refresh();
  EXPECT_TRUE(ShowsAt(30, 30, kRed));
}

TEST_F(TopWindowTest, LaterControlsStayOnTopAfterBeingShownAgain) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Picture& lower = window.AddPicture();
  lower.SetGeometry({10, 10, 60, 60});
  lower.SetBackColor(Color{kRed});
  Picture& upper = window.AddPicture();
  upper.SetGeometry({40, 40, 60, 60});
  upper.SetBackColor(Color{kGreen});
  window.Show();
  ASSERT_TRUE(ShowsAt(50, 50, kGreen));

  lower.SetVisible(false);
  EXPECT_TRUE(ShowsAt(20, 20, kBlue));
  lower.SetVisible(true);
  EXPECT_TRUE(ShowsAt(20, 20, kRed));
  EXPECT_EQ(PixelAt(50, 50), kGreen);
}

TEST_F(TopWindowTest, ChildrenAreClippedByTheirPicture) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Picture& frame = window.AddPicture();
  frame.SetGeometry({20, 20, 50, 50});
  Picture& inner = frame.AddPicture();
  inner.SetGeometry({-2, -2, 54, 54});
  inner.SetBackColor(Color{kRed});
  window.Show();

  ASSERT_TRUE(ShowsAt(20, 20, kRed));
  EXPECT_EQ(PixelAt(69, 69), kRed);
  EXPECT_EQ(PixelAt(19, 40), kBlue);
  EXPECT_EQ(PixelAt(40, 19), kBlue);
  EXPECT_EQ(PixelAt(70, 40), kBlue);
  EXPECT_EQ(PixelAt(40, 70), kBlue);
}

// The web engine raises "realize" again on the ancestors of a view it realizes late.
TEST_F(TopWindowTest, PageRealizedTwiceStillShowsItsChildrenInPlace) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Picture& page = window.AddPicture();
  page.SetGeometry({10, 10, 180, 130});
  page.SetBackColor(Color{kRed});
  page.SetVisible(false);
  Picture& child = page.AddPicture();
  child.SetGeometry({100, 60, 40, 30});
  child.SetBackColor(Color{kGreen});
  window.Show();
  ASSERT_TRUE(ShowsAt(20, 20, kBlue));

  g_signal_emit_by_name(dynamic_cast<PictureControl&>(page).Widget(), "realize");
  page.SetVisible(true);
  EXPECT_TRUE(ShowsAt(120, 80, kGreen));
  EXPECT_EQ(PixelAt(20, 20), kRed);
}

TEST_F(TopWindowTest, RoundedRegionCutsOneCornerPixel) {
  TopWindow& window = OpenWindow({300, 40, 120, 90}, kFrame);
  window.SetRegion({{121, 91}, 4});
  window.Show();

  ASSERT_TRUE(ShowsAt(1, 0, kFrame));
  EXPECT_EQ(PixelAt(0, 1), kFrame);
  EXPECT_EQ(PixelAt(118, 89), kFrame);
  EXPECT_EQ(PixelAt(119, 88), kFrame);
  EXPECT_NE(PixelAt(0, 0), kFrame);
  EXPECT_NE(PixelAt(119, 0), kFrame);
  EXPECT_NE(PixelAt(0, 89), kFrame);
  EXPECT_NE(PixelAt(119, 89), kFrame);
  EXPECT_EQ(window.Region(), (RoundedRegion{{121, 91}, 4}));
}

TEST_F(TopWindowTest, SetBoundsResizesAtOnceAndRaisesResize) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  int resizes = 0;
  window.onResize = [&] { ++resizes; };

  window.Show();
  EXPECT_EQ(resizes, 1) << "the first show";
  window.SetBounds({40, 40, 260, 180});
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(window.ClientSize(), (Size{260, 180}));
  EXPECT_EQ(window.Surface().Extent(), (Size{260, 180}));
  window.SetBounds({50, 40, 260, 180});
  EXPECT_EQ(resizes, 2) << "a move alone";

  window.SetBounds({50, 40, 240, 170});
  window.SetBounds({50, 40, 230, 160});
  EXPECT_EQ(resizes, 4);
  PumpFor(300ms);
  EXPECT_EQ(resizes, 4) << "the window system's own reports of these sizes";
  EXPECT_EQ(window.Bounds(), (Rect{50, 40, 230, 160}));
}

TEST_F(TopWindowTest, ControlsRaiseMouseEventsAndTheSurfaceOnlyItsOwn) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Label& label = window.AddLabel();
  label.SetGeometry({20, 30, 60, 20});
  label.SetBackColor(Color{kRed});
  std::vector<MouseEvent> labelDowns;
  std::vector<MouseEvent> labelUps;
  std::vector<MouseEvent> surfaceDowns;
  int clicks = 0;
  label.onMouseDown = [&](const MouseEvent& event) { labelDowns.push_back(event); };
  label.onMouseUp = [&](const MouseEvent& event) { labelUps.push_back(event); };
  label.onClick = [&] { ++clicks; };
  window.onMouseDown = [&](const MouseEvent& event) { surfaceDowns.push_back(event); };
  int surfaceUps = 0;
  window.onMouseUp = [&](const MouseEvent&) { ++surfaceUps; };
  window.Show();
  ASSERT_TRUE(ShowsAt(30, 35, kRed));

  Click(25, 37);
  ASSERT_TRUE(PumpUntil([&] { return clicks == 1; }));
  ASSERT_EQ(labelDowns.size(), 1u);
  EXPECT_EQ(labelDowns[0].x, 5);
  EXPECT_EQ(labelDowns[0].y, 7);
  EXPECT_EQ(labelDowns[0].button, MouseButton::Left);
  ASSERT_EQ(labelUps.size(), 1u);
  EXPECT_TRUE(surfaceDowns.empty());

  Click(150, 100);
  ASSERT_TRUE(PumpUntil([&] { return surfaceUps == 1; }));
  ASSERT_EQ(surfaceDowns.size(), 1u);
  EXPECT_EQ(surfaceDowns[0].x, 150);
  EXPECT_EQ(surfaceDowns[0].y, 100);
  EXPECT_EQ(clicks, 1);
}

TEST_F(TopWindowTest, DoubleClickOnTheSurfaceIsRaised) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  int doubleClicks = 0;
  int presses = 0;
  window.onDoubleClick = [&] { ++doubleClicks; };
  window.onMouseDown = [&](const MouseEvent&) { ++presses; };
  window.Show();
  ASSERT_TRUE(ShowsAt(100, 100, kBlue));

  ClickOnScreen(bounds_.x + 100, bounds_.y + 100, 1, 2);
  EXPECT_TRUE(PumpUntil([&] { return doubleClicks == 1; }));
  EXPECT_EQ(presses, 2) << "each press is raised as well";
}

TEST_F(TopWindowTest, LeavingAControlRaisesAMoveOutsideIt) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Picture& picture = window.AddPicture();
  picture.SetGeometry({20, 20, 40, 40});
  picture.SetBackColor(Color{kGreen});
  std::vector<MouseEvent> moves;
  picture.onMouseMove = [&](const MouseEvent& event) { moves.push_back(event); };
  window.Show();
  ASSERT_TRUE(ShowsAt(30, 30, kGreen));

  PointAt(30, 35);
  ASSERT_TRUE(PumpUntil([&] { return !moves.empty(); }));
  EXPECT_EQ(moves.back().x, 10);
  EXPECT_EQ(moves.back().y, 15);
  PointAt(32, 38);
  ASSERT_TRUE(PumpUntil([&] { return moves.back().x == 12; }));
  EXPECT_EQ(moves.back().y, 18);
  PointAt(150, 120);
  ASSERT_TRUE(PumpUntil([&] { return moves.back().x < 0; }));
  EXPECT_EQ(moves.back().y, -1);
}

TEST_F(TopWindowTest, PictureWithBackColourIsClearedWhenResized) {
  TopWindow& window = OpenWindow({40, 40, 200, 150}, kBlue);
  Picture& picture = window.AddPicture();
  picture.SetGeometry({0, 0, 20, 20});
  picture.Surface().Fill(Color{kGreen});
  picture.SetGeometry({0, 0, 30, 20});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFF00FF00u) << "kept without a back colour";
  EXPECT_EQ(picture.Surface().PixelAt({25, 5}), 0u);

  picture.SetBackColor(Color{kRed});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFFFF0000u);
  picture.Surface().Fill(Color{kGreen});
  picture.SetGeometry({10, 10, 30, 20});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFF00FF00u) << "a move alone keeps it";
  picture.SetGeometry({10, 10, 40, 20});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFFFF0000u);
  EXPECT_EQ(picture.Surface().Extent(), (Size{40, 20}));
}

}  // namespace
}  // namespace lumora::gtk
