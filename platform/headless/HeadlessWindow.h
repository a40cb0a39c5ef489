#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Window.h"
#include "platform/headless/HeadlessControls.h"

namespace lumora::headless {

class HeadlessWindow;
// The windows of one platform that are alive, in the order they were created.
using WindowList = std::vector<HeadlessWindow*>;

// A top-level window in memory. Minimising keeps the bounds; maximising covers the maximised
// bounds (the desktop's work area until SetMaximizedBounds); restoring brings back the bounds
// the window had before. While the window is not in the normal state, SetBounds changes the
// bounds restoring brings back. The system move and size loops are only recorded.
class HeadlessWindow final : public HeadlessContainer<TopWindow>, public Lifetime {
 public:
  // Enters the window in the platform's list for its life; both must outlive it.
  HeadlessWindow(const Desktop& desktop, WindowList& windows);
  ~HeadlessWindow() override;
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  void SetTitle(const std::string& title) override { title_ = title; }
  // The title the window list and assistive technology show.
  const std::string& Title() const { return title_; }
  void SetIcon(const Bitmap&) override {}
  void SetBounds(Rect bounds) override;
  Rect Bounds() const override { return bounds_; }
  Size ClientSize() const override { return bounds_.Extent(); }
  void SetState(WindowState state) override;
  WindowState State() const override { return state_; }
  void Show() override;
  void Hide() override { shown_ = false; }
  bool IsShown() const override { return shown_; }
  void Present() override;
  void SetAlwaysOnTop(bool onTop) override { alwaysOnTop_ = onTop; }
  bool AlwaysOnTop() const override { return alwaysOnTop_; }
  void SetOwner(TopWindow& owner) override { owner_ = &owner; }
  TopWindow* Owner() const { return owner_; }
  void SetPassive(bool passive) override { passive_ = passive; }
  bool Passive() const override { return passive_; }
  void SetKind(WindowKind kind) override { kind_ = kind; }
  WindowKind Kind() const override { return kind_; }
  void SetFocusRingColor(Color color) override { focusRing_ = color; }
  std::optional<Color> FocusRingColor() const { return focusRing_; }
  void SetRegion(const RoundedRegion& region) override { region_ = region; }
  std::optional<RoundedRegion> Region() const override { return region_; }
  void SetPointer(PointerShape shape) override { pointer_ = shape; }
  PointerShape Pointer() const override { return pointer_; }
  void BeginSystemMove() override { ++systemMoves_; }
  void BeginSystemSize(HitCode edge) override;
  void SetMaximizedBounds(Rect bounds) override { maximizedBounds_ = bounds; }
  Bitmap& Surface() override { return surface_; }
  void Refresh() override {}

  int SystemMoveCount() const { return systemMoves_; }
  int PresentCount() const { return presents_; }
  // The edge the last system size loop started from; none before the first.
  std::optional<HitCode> LastSystemSize() const { return lastSystemSize_; }
  // The user releases the button that holds the system size loop.
  void EndSystemSize() { Raise(onSystemSizeEnd); }

 private:
  Rect MaximizedBounds() const;
  // Takes new bounds with the surface at their size; true when the size changed.
  bool Place(Rect bounds);

  const Desktop& desktop_;
  WindowList& windows_;
  Rect bounds_;
  // The bounds of the normal state, kept while the window is minimised or maximised.
  Rect normalBounds_;
  std::optional<Rect> maximizedBounds_;
  WindowState state_ = WindowState::Normal;
  std::string title_;
  std::optional<Color> focusRing_;
  bool shown_ = false;
  bool everShown_ = false;
  bool alwaysOnTop_ = false;
  bool passive_ = false;
  WindowKind kind_ = WindowKind::Normal;
  std::optional<RoundedRegion> region_;
  PointerShape pointer_ = PointerShape::Arrow;
  TopWindow* owner_ = nullptr;
  Bitmap surface_{Size{}};
  int systemMoves_ = 0;
  int presents_ = 0;
  std::optional<HitCode> lastSystemSize_;
};

// The headless window behind a window of the headless platform.
HeadlessWindow& AsHeadless(TopWindow& window);

}  // namespace lumora::headless
