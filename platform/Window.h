#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Controls.h"

namespace lumora {

enum class WindowState { Normal, Minimized, Maximized };

// Where a press on the frame starts a system size, or the caption for a system move.
enum class HitCode {
  Caption = 2,
  Left = 10,
  Right = 11,
  Top = 12,
  TopLeft = 13,
  TopRight = 14,
  Bottom = 15,
  BottomLeft = 16,
  BottomRight = 17,
};

// What the window is to the window manager, which places, decorates and stacks it accordingly.
enum class WindowKind { Normal, Notification };

// The keys the program's own shortcuts use; every other key is Other.
enum class Key { Other, Digit1, Digit2, Digit3, Digit4, F5, F10, Menu, Q, Escape };

struct KeyEvent {
  Key key = Key::Other;
  bool control = false;
  bool shift = false;
  bool alt = false;
};

struct RoundedRegion {
  Size size;  // the region spans (0, 0) to this corner
  int ellipse = 0;
  bool operator==(const RoundedRegion&) const = default;
};

// A frameless top-level window: its client area is its whole area, so its outer size is its
// client size. It paints its own surface and holds absolutely placed controls.
class TopWindow : public Container {
 public:
  virtual ~TopWindow() = default;

  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetIcon(const Bitmap& icon) = 0;

  // Position on the screen and size, in pixels.
  virtual void SetBounds(Rect bounds) = 0;
  virtual Rect Bounds() const = 0;
  virtual Size ClientSize() const = 0;

  virtual void SetState(WindowState state) = 0;
  virtual WindowState State() const = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool IsShown() const = 0;
  // Shows the window, raises it above others and gives it the focus.
  virtual void Present() = 0;
  virtual void SetAlwaysOnTop(bool onTop) = 0;
  virtual bool AlwaysOnTop() const = 0;
  // An owned window stays above its owner and leaves the taskbar to it.
  virtual void SetOwner(TopWindow& owner) = 0;
  // A passive window (a popup beside the user's work) has no taskbar or switcher entry, and
  // showing or clicking it leaves the focus where it was. Set before the first show.
  virtual void SetPassive(bool passive) = 0;
  virtual bool Passive() const = 0;
  // Set before the first show.
  virtual void SetKind(WindowKind kind) = 0;
  virtual WindowKind Kind() const = 0;

  // Clips the window to a rounded rectangle; kept until replaced.
  virtual void SetRegion(const RoundedRegion& region) = 0;
  virtual std::optional<RoundedRegion> Region() const = 0;
  virtual void SetPointer(PointerShape shape) = 0;
  virtual PointerShape Pointer() const = 0;
  // Hands the pointer to the system's move or size loop, started from the last press. The
  // window manager takes the button's release, so the window sees none: a size loop's end is
  // raised as onSystemSizeEnd instead.
  virtual void BeginSystemMove() = 0;
  virtual void BeginSystemSize(HitCode edge) = 0;
  // The maximised window covers this rectangle, in screen pixels.
  virtual void SetMaximizedBounds(Rect bounds) = 0;

  // The colour of the ring around the focused painted control, shown once the keyboard is used.
  virtual void SetFocusRingColor(Color color) = 0;

  // The window's own surface, behind every control.
  virtual Bitmap& Surface() = 0;
  virtual void Refresh() = 0;

  MouseHandler onMouseDown;
  MouseHandler onMouseMove;
  MouseHandler onMouseUp;
  std::function<void()> onDoubleClick;
  // After every change of size or state, including the first show.
  std::function<void()> onResize;
  // The window is on the screen with its content drawn: the window system has mapped it and it
  // has painted, after Show or after it was hidden or minimised.
  std::function<void()> onMapped;
  // The system asks to close the window (a window manager's close command).
  std::function<void()> onCloseRequest;
  // The size loop that BeginSystemSize started has ended: its button was released.
  std::function<void()> onSystemSizeEnd;
  // A key pressed in the window that the focused control did not take (a web page's text field
  // keeps the keys it handles); returns whether it used the key.
  std::function<bool(const KeyEvent&)> onKeyDown;
};

}  // namespace lumora
