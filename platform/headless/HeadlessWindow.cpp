#include "platform/headless/HeadlessWindow.h"

#include <utility>

namespace lumora::headless {

HeadlessWindow::HeadlessWindow(const Desktop& desktop, WindowList& windows)
    : desktop_(desktop), windows_(windows) {
  windows_.push_back(this);
}

HeadlessWindow::~HeadlessWindow() {
  std::erase(windows_, this);
}

void HeadlessWindow::SetBounds(Rect bounds) {
  if (state_ != WindowState::Normal) {
    normalBounds_ = bounds;
  } else if (Place(bounds)) {
    Raise(onResize);
  }
}

void HeadlessWindow::SetState(WindowState state) {
  if (state == state_) return;
  if (state_ == WindowState::Normal) normalBounds_ = bounds_;
  state_ = state;
  if (state == WindowState::Maximized) Place(MaximizedBounds());
  if (state == WindowState::Normal) Place(normalBounds_);
  Raise(onResize);
}

Rect HeadlessWindow::MaximizedBounds() const {
  return maximizedBounds_.value_or(desktop_.WorkArea());
}

bool HeadlessWindow::Place(Rect bounds) {
  bool resized = bounds.Extent() != bounds_.Extent();
  bounds_ = bounds;
  surface_.Resize(bounds.Extent());
  return resized;
}

void HeadlessWindow::Show() {
  bool wasShown = std::exchange(shown_, true);
  if (!std::exchange(everShown_, true)) Raise(onResize);
  if (!wasShown) Raise(onMapped);
}

void HeadlessWindow::Present() {
  ++presents_;
  Show();
}

void HeadlessWindow::BeginSystemSize(HitCode edge) {
  lastSystemSize_ = edge;
}

HeadlessWindow& AsHeadless(TopWindow& window) {
  return dynamic_cast<HeadlessWindow&>(window);
}

}  // namespace lumora::headless
