#include "shell/FrameSizing.h"

#include <utility>

#include "core/Settings.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

constexpr int kBand = 3;

}  // namespace

FrameZone ZoneAt(Point at, Size client) {
  bool left = at.x <= kBand;
  bool right = at.x >= client.width - kBand;
  bool top = at.y <= kBand;
  bool bottom = at.y >= client.height - kBand;
  if (right) return top ? FrameZone::TopRight : bottom ? FrameZone::BottomRight : FrameZone::Right;
  if (!left) return top ? FrameZone::Top : bottom ? FrameZone::Bottom : FrameZone::Interior;
  return top ? FrameZone::TopLeft : bottom ? FrameZone::BottomLeft : FrameZone::Left;
}

PointerShape PointerFor(FrameZone zone) {
  switch (zone) {
    case FrameZone::TopLeft:
    case FrameZone::BottomRight:
      return PointerShape::SizeNwSe;
    case FrameZone::BottomLeft:
    case FrameZone::TopRight:
      return PointerShape::SizeNeSw;
    case FrameZone::Left:
    case FrameZone::Right:
      return PointerShape::SizeWestEast;
    case FrameZone::Top:
    case FrameZone::Bottom:
      return PointerShape::SizeNorthSouth;
    case FrameZone::Interior:
      break;
  }
  return PointerShape::Arrow;
}

HitCode HitCodeFor(FrameZone zone) {
  switch (zone) {
    case FrameZone::TopLeft:
      return HitCode::TopLeft;
    case FrameZone::Left:
      return HitCode::Left;
    case FrameZone::BottomLeft:
      return HitCode::BottomLeft;
    case FrameZone::Top:
      return HitCode::Top;
    case FrameZone::Bottom:
      return HitCode::Bottom;
    case FrameZone::TopRight:
      return HitCode::TopRight;
    case FrameZone::Right:
      return HitCode::Right;
    case FrameZone::BottomRight:
      return HitCode::BottomRight;
    case FrameZone::Interior:
      break;
  }
  return HitCode::Caption;
}

FrameSizing::FrameSizing(Platform& platform, TopWindow& window, ChromeClicks& clicks,
                         std::filesystem::path configPath)
    : platform_(platform),
      window_(window),
      clicks_(clicks),
      configPath_(std::move(configPath)),
      sizeSaveTimer_(platform.CreateTimer()) {
  sizeSaveTimer_->SetInterval(kSizeSaveDelay);
  sizeSaveTimer_->onTick = [this] { StoreWindowSize(); };
  window_.onMouseDown = [this](const MouseEvent& e) { OnSurfaceDown(e); };
  window_.onMouseMove = [this](const MouseEvent& e) { OnSurfaceMove(e); };
  window_.onMouseUp = [this](const MouseEvent& e) { OnSurfaceUp(e); };
  window_.onSystemSizeEnd = [this] { OnSystemSizeEnd(); };
}

void FrameSizing::InstallMinMaxHook(Size maximum) {
  Size screen = platform_.GetDesktop().ScreenSize();
  window_.SetMaximizedBounds({0, 0, maximum.width != 0 ? maximum.width : screen.width,
                              maximum.height != 0 ? maximum.height : screen.height});
}

void FrameSizing::EdgeMouse(int mode, Point at) {
  window_.SetPointer(PointerShape::Arrow);
  if (mode == 2) {
    if (resizeStarted_ && !pointerInInterior_) resizeStarted_ = false;
    return;
  }
  FrameZone zone = ZoneAt(at, window_.ClientSize());
  window_.SetPointer(PointerFor(zone));
  if (mode == 1 && zone != FrameZone::Interior) {
    resizeStarted_ = true;
    window_.BeginSystemSize(HitCodeFor(zone));
  }
}

void FrameSizing::OnSurfaceDown(const MouseEvent& event) {
  resizeStarted_ = false;
  clicks_.Press(event);
  if (event.button != MouseButton::Left) return;
  if (window_.State() == WindowState::Maximized) return;
  if (ZoneAt({event.x, event.y}, window_.ClientSize()) == FrameZone::Interior) return;
  EdgeMouse(1, {event.x, event.y});
  pointerInInterior_ = false;
}

void FrameSizing::OnSurfaceMove(const MouseEvent& event) {
  if (onSurfaceMove) onSurfaceMove();
  Size client = window_.ClientSize();
  bool outside = event.x < 0 || event.y < 0 || event.x > client.width || event.y > client.height;
  bool interior = ZoneAt({event.x, event.y}, client) == FrameZone::Interior;
  if (event.leftHeld || interior || outside) {
    window_.SetPointer(PointerShape::Arrow);
    pointerInInterior_ = true;
    bool draggable = event.y > kBand && event.x > kBand && event.x < client.width - kBand;
    if (window_.State() != WindowState::Maximized && event.leftHeld && draggable) {
      window_.BeginSystemMove();
    }
    return;
  }
  EdgeMouse(0, {event.x, event.y});
  pointerInInterior_ = false;
}

void FrameSizing::OnSurfaceUp(const MouseEvent& event) {
  clicks_.Release(event);
  EdgeMouse(2, {event.x, event.y});
  pointerInInterior_ = false;
}

// A border resize in normal mode is remembered as the size to open with. The system's size loop
// runs on after the press and ends with a release the window manager takes; the size is stored
// once the loop has ended and the last size reports have come in. Size changes made any other
// way (maximise, restore, the window manager, compact mode) are not stored.
void FrameSizing::OnSystemSizeEnd() {
  if (!std::exchange(resizeStarted_, false)) return;
  sizeSaveTimer_->SetEnabled(false);
  sizeSaveTimer_->SetEnabled(true);
}

void FrameSizing::StoreWindowSize() {
  sizeSaveTimer_->SetEnabled(false);
  if ((holdsSize && holdsSize()) || window_.State() != WindowState::Normal) return;
  Size size = window_.ClientSize();
  IniWrite(configPath_, "S_q", "h_w", std::to_string(PixelsToTwips(size.width)));
  IniWrite(configPath_, "S_q", "h_h", std::to_string(PixelsToTwips(size.height)));
}

void FrameSizing::OnLayout() {
  if (sizeSaveTimer_->Enabled()) {
    sizeSaveTimer_->SetEnabled(false);
    sizeSaveTimer_->SetEnabled(true);
  }
}

}  // namespace lumora
