#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
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
  Picture& AddPicture(Rect geometry, std::optional<std::uint32_t> backColor = {},
                      Picture* parent = nullptr) {
    Picture& picture = parent ? parent->AddPicture() : window_->AddPicture();
    picture.SetGeometry(geometry);
    if (backColor) picture.SetBackColor(Color{*backColor});
    return picture;
  }

  GtkPlatform platform_;
  std::unique_ptr<TopWindow> window_ = platform_.CreateWindow();
};

TEST_F(TopWindowTest, PaintsControlsInOrderClippedByTheirPicture) {
  Picture& picture = AddPicture({10, 10, 60, 40});
  picture.Surface().Fill(Color{kGreen});
  Label& label = window_->AddLabel();
  label.SetGeometry({100, 10, 50, 20});
  label.SetBackColor(Color{kRed});
  window_->AddLabel().SetGeometry({150, 100, 30, 20});
  Picture& lower = AddPicture({10, 60, 40, 40}, kRed);
  AddPicture({30, 80, 40, 40}, kGreen);
  AddPicture({-2, -2, 44, 44}, kRed, &AddPicture({100, 40, 40, 40}));
  window_->Show();

  EXPECT_TRUE(ShowsAt(30, 30, kGreen));
  // A label without a back colour shows the window; a later control is on top; a picture clips
  // its children. The window's rounded region is left to the region and GUI tests.
  const std::tuple<int, int, std::uint32_t> kPixels[] = {
      {160, 110, kBlue}, {5, 5, kBlue},    {69, 49, kGreen}, {70, 50, kBlue},
      {120, 15, kRed},   {40, 90, kGreen}, {100, 40, kRed},  {139, 79, kRed},
      {99, 60, kBlue},   {120, 39, kBlue}, {140, 60, kBlue}, {120, 80, kBlue}};
  for (auto [x, y, color] : kPixels) EXPECT_EQ(PixelAt(x, y), color) << x << "," << y;
  picture.Surface().Fill(Color{kRed});
  picture.Refresh();
  EXPECT_TRUE(ShowsAt(30, 30, kRed));
  lower.SetVisible(false);
  EXPECT_TRUE(ShowsAt(15, 65, kBlue));
  lower.SetVisible(true);
  EXPECT_TRUE(ShowsAt(15, 65, kRed));
  EXPECT_EQ(PixelAt(40, 90), kGreen) << "the later control stays on top when the other shows again";
}

// The web engine raises "realize" again on the ancestors of a view it realizes late.
TEST_F(TopWindowTest, PageRealizedTwiceStillShowsItsChildrenInPlace) {
  Picture& page = AddPicture({10, 10, 180, 130}, kRed);
  page.SetVisible(false);
  AddPicture({100, 60, 40, 30}, kGreen, &page);
  window_->Show();
  ASSERT_TRUE(ShowsAt(20, 20, kBlue));

  g_signal_emit_by_name(dynamic_cast<PictureControl&>(page).Widget(), "realize");
  page.SetVisible(true);
  EXPECT_TRUE(ShowsAt(120, 80, kGreen));
  EXPECT_EQ(PixelAt(20, 20), kRed);
}

// Which control a press goes to, and where, is the platform contract's; the GTK backend also
// raises each press of a double click, and a move outside when the pointer leaves a control.
TEST_F(TopWindowTest, DoubleClickRaisesBothPressesAndLeavingAControlIsAMoveOutside) {
  Picture& picture = AddPicture({100, 20, 40, 40}, kGreen);
  std::vector<std::string> events;
  window_->onMouseDown = [&](const MouseEvent& event) {
    events.push_back("down " + std::to_string(event.x) + "," + std::to_string(event.y));
  };
  window_->onDoubleClick = [&] { events.push_back("double click"); };
  std::vector<MouseEvent> moves;
  picture.onMouseMove = [&](const MouseEvent& event) { moves.push_back(event); };
  window_->Show();
  ASSERT_TRUE(ShowsAt(110, 30, kGreen));

  ClickOnScreen(kBounds.x + 150, kBounds.y + 100, 1, 2);
  PointAtScreen(kBounds.x + 110, kBounds.y + 35);
  ASSERT_TRUE(PumpUntil([&] { return !moves.empty(); })) << "the pointer came onto the picture";
  EXPECT_EQ(events, (std::vector<std::string>{"down 150,100", "down 150,100", "double click"}));
  EXPECT_EQ((Point{moves.back().x, moves.back().y}), (Point{10, 15}));
  PointAtScreen(kBounds.x + 150, kBounds.y + 120);
  ASSERT_TRUE(PumpUntil([&] { return moves.back().x < 0; })) << "the pointer left the picture";
  EXPECT_EQ(moves.back().y, -1);
}

}  // namespace
}  // namespace lumora::gtk
