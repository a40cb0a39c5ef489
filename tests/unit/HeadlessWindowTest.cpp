#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace lumora::headless {
namespace {

class HeadlessWindowTest : public ::testing::Test {
 protected:
  HeadlessWindowTest() {
    window_->onResize = [this] { sizes_.push_back(window_->ClientSize()); };
  }

  HeadlessWindow& Window() { return AsHeadless(*window_); }

  HeadlessPlatform platform_;
  std::unique_ptr<TopWindow> window_ = platform_.CreateWindow();
  std::vector<Size> sizes_;
};

TEST_F(HeadlessWindowTest, ResizesWhenTheSizeChangesAndOnTheFirstShow) {
  window_->SetBounds({10, 20, 300, 200});
  window_->SetBounds({50, 60, 300, 200});
  window_->SetBounds({50, 60, 320, 200});
  EXPECT_EQ(sizes_, (std::vector<Size>{{300, 200}, {320, 200}}));
  EXPECT_EQ(window_->Bounds(), (Rect{50, 60, 320, 200}));
  EXPECT_EQ(window_->Surface().Extent(), (Size{320, 200}));

  sizes_.clear();
  window_->Show();
  window_->Hide();
  window_->Present();
  EXPECT_EQ(sizes_.size(), 1u);
  EXPECT_TRUE(window_->IsShown());
  EXPECT_EQ(Window().PresentCount(), 1);
}

TEST_F(HeadlessWindowTest, MaximisingCoversTheWorkAreaAndRestoringBringsBackTheBounds) {
  platform_.Desktop().SetWorkArea({0, 30, 1280, 770});
  window_->SetBounds({100, 100, 800, 600});
  sizes_.clear();
  window_->SetState(WindowState::Maximized);
  EXPECT_EQ(window_->Bounds(), (Rect{0, 30, 1280, 770}));
  EXPECT_EQ(window_->Surface().Extent(), (Size{1280, 770}));
  window_->SetState(WindowState::Maximized);
  window_->SetState(WindowState::Normal);
  EXPECT_EQ(window_->Bounds(), (Rect{100, 100, 800, 600}));
  EXPECT_EQ(sizes_, (std::vector<Size>{{1280, 770}, {800, 600}}));

  window_->SetMaximizedBounds({0, 0, 1024, 700});
  window_->SetState(WindowState::Maximized);
  EXPECT_EQ(window_->Bounds(), (Rect{0, 0, 1024, 700})) << "maximised bounds win when set";
}

TEST_F(HeadlessWindowTest, MinimisingKeepsTheBoundsAndStillReportsTheChange) {
  window_->SetBounds({100, 100, 800, 600});
  sizes_.clear();
  window_->SetState(WindowState::Minimized);
  EXPECT_EQ(window_->Bounds(), (Rect{100, 100, 800, 600}));
  window_->SetState(WindowState::Maximized);
  window_->SetState(WindowState::Normal);
  EXPECT_EQ(window_->Bounds(), (Rect{100, 100, 800, 600}));
  EXPECT_EQ(sizes_.size(), 3u);
}

TEST_F(HeadlessWindowTest, BoundsSetWhileMaximisedApplyOnRestore) {
  window_->SetBounds({100, 100, 800, 600});
  window_->SetState(WindowState::Maximized);
  sizes_.clear();
  window_->SetBounds({10, 10, 900, 500});
  EXPECT_EQ(window_->Bounds(), (Rect{0, 0, 1600, 960}));
  EXPECT_TRUE(sizes_.empty());
  window_->SetState(WindowState::Normal);
  EXPECT_EQ(window_->Bounds(), (Rect{10, 10, 900, 500}));
}

TEST_F(HeadlessWindowTest, PictureSurfaceFollowsTheGeometryAndItsBackColour) {
  Picture& picture = window_->AddPicture();
  picture.SetGeometry({5, 5, 40, 30});
  picture.Surface().Fill({0x123456});
  picture.SetGeometry({9, 9, 40, 30});
  EXPECT_EQ(picture.Surface().PixelAt({39, 29}), 0xFF123456u) << "moving keeps the pixels";
  picture.SetBackColor({0x00FF00});
  EXPECT_EQ(picture.Surface().PixelAt({0, 0}), 0xFF00FF00u);
  picture.Surface().Fill({0x123456});
  picture.SetGeometry({9, 9, 50, 35});
  EXPECT_EQ(picture.Surface().Extent(), (Size{50, 35}));
  EXPECT_EQ(picture.Surface().PixelAt({0, 0}), 0xFF00FF00u) << "resizing clears to the colour";
}

TEST_F(HeadlessWindowTest, AutoSizedControlsTakeTheSizeOfTheirContent) {
  Label& label = window_->AddLabel();
  label.SetGeometry({3, 4, 100, 100});
  label.SetCaption("播放");
  label.SetAutoSize(true);
  EXPECT_EQ(label.Geometry(), (Rect{3, 4, 24, 14}));
  label.SetFont({"Sans", 12});
  label.SetGeometry({7, 8, 100, 100});
  EXPECT_EQ(label.Geometry(), (Rect{7, 8, 32, 18}));

  ImageBox& image = window_->AddImage();
  image.SetGeometry({1, 2, 100, 100});
  image.SetImage(Bitmap(Size{40, 14}));
  EXPECT_EQ(image.Geometry(), (Rect{1, 2, 40, 14}));
}

}  // namespace
}  // namespace lumora::headless
