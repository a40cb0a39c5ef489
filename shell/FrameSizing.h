#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "platform/Platform.h"
#include "shell/ChromeClicks.h"

namespace lumora {

// Pointer zones of the 3-pixel sizing band around the window, with the system's hit codes.
enum class FrameZone {
  Interior,
  TopLeft,
  Left,
  BottomLeft,
  Top,
  Bottom,
  TopRight,
  Right,
  BottomRight
};

FrameZone ZoneAt(Point at, Size client);
PointerShape PointerFor(FrameZone zone);
HitCode HitCodeFor(FrameZone zone);

// Dragging the window by its own surface and sizing it by the band around its edge; a border
// resize in normal mode is stored as the size to open with.
class FrameSizing {
 public:
  FrameSizing(Platform& platform, TopWindow& window, ChromeClicks& clicks,
              std::filesystem::path configPath);

  // The size-limit hook: the window is never maximised beyond this size (zero: the screen's).
  void InstallMinMaxHook(Size maximum);
  // A new layout while a stored size waits delays storing it.
  void OnLayout();

  // The pointer moved over the window's own surface.
  std::function<void()> onSurfaceMove;
  // Sizes are not stored while this says so (compact mode).
  std::function<bool()> holdsSize;

 private:
  void EdgeMouse(int mode, Point at);
  void OnSurfaceDown(const MouseEvent& event);
  void OnSurfaceMove(const MouseEvent& event);
  void OnSurfaceUp(const MouseEvent& event);
  void OnSystemSizeEnd();
  void StoreWindowSize();

  Platform& platform_;
  TopWindow& window_;
  ChromeClicks& clicks_;
  std::filesystem::path configPath_;
  std::unique_ptr<Timer> sizeSaveTimer_;
  bool resizeStarted_ = false;
  bool pointerInInterior_ = false;
};

}  // namespace lumora
