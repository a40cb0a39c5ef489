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

constexpr Rect kBounds{40, 40, 200, 150};

Point At(const MouseEvent& event) {
  return {event.x, event.y};
}

// A window at a free place of the screen, its surface blue; tests show it.
class TopWindowTest : public ::testing::Test {
 protected:
  TopWindowTest() {
    window_->SetBounds(kBounds);
    window_->Surface().Fill(Color{kBlue});
  }
  bool ShowsAt(int x, int y, std::uint32_t color) {
    return PumpUntil([&] { return PixelAt(x, y) == color; });
  }
  std::uint32_t PixelAt(int x, int y) { return ScreenPixel(kBounds.x + x, kBounds.y + y); }
  Picture& AddPicture(Rect geometry, std::uint32_t backColor) {
    Picture& picture = window_->AddPicture();
    picture.SetGeometry(geometry);
    picture.SetBackColor(Color{backColor});
    return picture;
  }

  GtkPlatform platform_;
  std::unique_ptr<TopWindow> window_ = platform_.CreateWindow();
};

TEST_F(TopWindowTest, PaintsControlsInOrderClippedByTheirPictureAndTheRegion) {
  TopWindow& window = *window_;
  window.SetRegion({{201, 151}, 4});
  Picture& picture = window.AddPicture();
  picture.SetGeometry({10, 10, 60, 40});
  picture.Surface().Fill(Color{kGreen});
  Label& label = window.AddLabel();
  label.SetGeometry({100, 10, 50, 20});
  label.SetBackColor(Color{kRed});
  window.AddLabel().SetGeometry({150, 100, 30, 20});
  Picture& lower = AddPicture({10, 60, 40, 40}, kRed);
  AddPicture({30, 80, 40, 40}, kGreen);
  Picture& frame = window.AddPicture();
  frame.SetGeometry({100, 40, 40, 40});
  Picture& inner = frame.AddPicture();
  inner.SetGeometry({-2, -2, 44, 44});
  inner.SetBackColor(Color{kRed});
  window.Show();

  EXPECT_TRUE(ShowsAt(30, 30, kGreen));
  // The rounded region cuts one pixel of each corner.
  for (Point kept : {Point{1, 0}, Point{0, 1}, Point{198, 149}, Point{199, 148}}) {
    EXPECT_EQ(PixelAt(kept.x, kept.y), kBlue) << kept.x << "," << kept.y;
  }
  for (Point corner : {Point{0, 0}, Point{199, 0}, Point{0, 149}, Point{199, 149}}) {
    EXPECT_NE(PixelAt(corner.x, corner.y), kBlue) << corner.x << "," << corner.y;
  }
  EXPECT_EQ(PixelAt(160, 110), kBlue) << "a label without a back colour";
  EXPECT_EQ(PixelAt(5, 5), kBlue);
  EXPECT_EQ(PixelAt(69, 49), kGreen);
  EXPECT_EQ(PixelAt(70, 50), kBlue);
  EXPECT_EQ(PixelAt(120, 15), kRed);
  picture.Surface().Fill(Color{kRed});
  picture.Refresh();
  EXPECT_TRUE(ShowsAt(30, 30, kRed));

  EXPECT_EQ(PixelAt(40, 90), kGreen) << "the later control is on top";
  lower.SetVisible(false);
  EXPECT_TRUE(ShowsAt(15, 65, kBlue));
  lower.SetVisible(true);
  EXPECT_TRUE(ShowsAt(15, 65, kRed));
  EXPECT_EQ(PixelAt(40, 90), kGreen) << "and stays on top after the other is shown again";

  EXPECT_EQ(PixelAt(100, 40), kRed);
  EXPECT_EQ(PixelAt(139, 79), kRed);
  for (Point outside : {Point{99, 60}, Point{120, 39}, Point{140, 60}, Point{120, 80}}) {
    EXPECT_EQ(PixelAt(outside.x, outside.y), kBlue)
        << "clipped at " << outside.x << "," << outside.y;
  }
}

// The web engine raises "realize" again on the ancestors of a view it realizes late.
TEST_F(TopWindowTest, PageRealizedTwiceStillShowsItsChildrenInPlace) {
  TopWindow& window = *window_;
  Picture& page = AddPicture({10, 10, 180, 130}, kRed);
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

TEST_F(TopWindowTest, SetBoundsResizesAtOnceAndRaisesResize) {
  TopWindow& window = *window_;
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

TEST_F(TopWindowTest, MouseEventsGoToTheControlUnderThePointerAndLeavingItIsAMoveOutside) {
  TopWindow& window = *window_;
  Label& label = window.AddLabel();
  label.SetGeometry({20, 30, 60, 20});
  label.SetBackColor(Color{kRed});
  Picture& picture = AddPicture({100, 20, 40, 40}, kGreen);
  std::vector<MouseEvent> labelDowns, surfaceDowns, moves;
  int labelUps = 0, clicks = 0, doubleClicks = 0;
  label.onMouseDown = [&](const MouseEvent& event) { labelDowns.push_back(event); };
  label.onMouseUp = [&](const MouseEvent&) { ++labelUps; };
  label.onClick = [&] { ++clicks; };
  window.onMouseDown = [&](const MouseEvent& event) { surfaceDowns.push_back(event); };
  window.onDoubleClick = [&] { ++doubleClicks; };
  picture.onMouseMove = [&](const MouseEvent& event) { moves.push_back(event); };
  window.Show();
  ASSERT_TRUE(ShowsAt(30, 35, kRed));
  ASSERT_TRUE(ShowsAt(110, 30, kGreen));

  ClickOnScreen(kBounds.x + 25, kBounds.y + 37);
  ASSERT_TRUE(PumpUntil([&] { return clicks == 1; }));
  ASSERT_EQ(labelDowns.size(), 1u);
  EXPECT_EQ(At(labelDowns[0]), (Point{5, 7}));
  EXPECT_EQ(labelDowns[0].button, MouseButton::Left);
  EXPECT_EQ(labelUps, 1);
  EXPECT_TRUE(surfaceDowns.empty());

  ClickOnScreen(kBounds.x + 150, kBounds.y + 100, 1, 2);
  EXPECT_TRUE(PumpUntil([&] { return doubleClicks == 1; }));
  ASSERT_EQ(surfaceDowns.size(), 2u) << "each press of a double click is raised as well";
  EXPECT_EQ(At(surfaceDowns[0]), (Point{150, 100}));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(labelDowns.size(), 1u);

  PointAtScreen(kBounds.x + 110, kBounds.y + 35);
  ASSERT_TRUE(PumpUntil([&] { return !moves.empty(); }));
  EXPECT_EQ(At(moves.back()), (Point{10, 15}));
  PointAtScreen(kBounds.x + 112, kBounds.y + 38);
  ASSERT_TRUE(PumpUntil([&] { return moves.back().x == 12; }));
  EXPECT_EQ(moves.back().y, 18);
  PointAtScreen(kBounds.x + 150, kBounds.y + 120);
  ASSERT_TRUE(PumpUntil([&] { return moves.back().x < 0; }));
  EXPECT_EQ(moves.back().y, -1);
}

TEST_F(TopWindowTest, PictureWithBackColourIsClearedWhenResized) {
  Picture& picture = window_->AddPicture();
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
