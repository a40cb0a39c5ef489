#pragma once

#include <functional>
#include <string>

#include "platform/Bitmap.h"
#include "platform/Geometry.h"

namespace lumora {

enum class MouseButton { Left, Right, Middle };

enum class PointerShape { Arrow, SizeWestEast, SizeNorthSouth, SizeNwSe, SizeNeSw, Hand };

// A mouse event on a control or a window surface; x and y are pixels from its top-left corner.
struct MouseEvent {
  MouseButton button = MouseButton::Left;  // the button pressed or released
  bool leftHeld = false;                   // on moves: whether the left button is down
  int x = 0;
  int y = 0;
};

using MouseHandler = std::function<void(const MouseEvent&)>;

// What assistive technology is told a control is. None leaves it an anonymous panel that the
// keyboard passes by; a page tab list only groups the page tabs it holds; a label is text to read.
enum class AccessibleRole { None, PushButton, ToggleButton, PageTab, Link, PageTabList, Label };

// Whether a control of this role takes the keyboard focus and is pressed by its action; a
// grouping role or text is neither.
inline bool IsPressable(AccessibleRole role) {
  return role != AccessibleRole::None && role != AccessibleRole::PageTabList &&
         role != AccessibleRole::Label;
}

struct AccessibleInfo {
  AccessibleRole role = AccessibleRole::None;
  std::string name;
  bool on = false;  // a toggle button pressed, a page tab selected
  bool operator==(const AccessibleInfo&) const = default;
};

// Something placed absolutely inside a window or a picture. Positions are pixels from the
// parent's top-left corner; children may reach outside their parent and are clipped by it.
class Control {
 public:
  virtual ~Control() = default;

  virtual void SetGeometry(Rect geometry) = 0;
  virtual Rect Geometry() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // The text a part keeps as its tooltip; several parts keep their on/off state in it.
  virtual void SetTooltip(const std::string& text) = 0;
  virtual std::string Tooltip() const = 0;

  // The pointer shape while over this control (the window's own shape elsewhere).
  virtual void SetPointer(PointerShape shape) = 0;

  // A painted control with a pressable role takes the keyboard focus; Enter or Space while it has
  // it, and the activate action of assistive technology, raise onClick as a click does.
  virtual void SetAccessible(const AccessibleInfo& info) = 0;
  virtual AccessibleInfo Accessible() const = 0;

  void Move(Point to) { SetGeometry({to.x, to.y, Geometry().width, Geometry().height}); }

  MouseHandler onMouseDown;
  // Also raised once when the pointer leaves the control, with a position outside it, so a
  // hover look can be undone without capturing the mouse.
  MouseHandler onMouseMove;
  MouseHandler onMouseUp;
  std::function<void()> onClick;  // a press and release of the left button over the control
};

class Label;
class Picture;
class ImageBox;
class WebView;
class CheckBox;
class Button;

// What controls can be placed in: a window or a picture. Controls added later lie above
// those added earlier. The container owns what it creates.
class Container {
 public:
  virtual ~Container() = default;
  virtual Picture& AddPicture() = 0;
  virtual Label& AddLabel() = 0;
  virtual ImageBox& AddImage() = 0;
  virtual WebView& AddWebView() = 0;
  virtual CheckBox& AddCheckBox() = 0;
  virtual Button& AddButton() = 0;
};

// A picture box: a surface of its own (kept at the control's size) that shows through wherever
// no child covers it, and a container for child controls.
class Picture : public Control, public Container {
 public:
  // Without a back colour the picture is transparent where nothing is painted. With one, the
  // surface is cleared to it whenever the control's size changes.
  virtual void SetBackColor(Color color) = 0;
  virtual Bitmap& Surface() = 0;
  // Repaints the control from its surface.
  virtual void Refresh() = 0;
};

struct Font {
  std::string family = "Sans";
  double points = 9;
  bool bold = false;
  bool underline = false;
  bool operator==(const Font&) const = default;
};

// One line of text. With auto size on, the control takes the size of its text.
class Label : public Control {
 public:
  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetForeColor(Color color) = 0;
  virtual Color ForeColor() const = 0;
  virtual void SetBackColor(Color color) = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual Font GetFont() const = 0;
  virtual void SetAutoSize(bool autoSize) = 0;
};

// A passive image that takes the size of its picture.
class ImageBox : public Control {
 public:
  virtual void SetImage(const Bitmap& image) = 0;
};

// The system's check box: a box with its caption beside it. The user's click (or Space while it
// has the focus) toggles it, then raises onClick; SetChecked raises nothing.
class CheckBox : public Control {
 public:
  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual bool Checked() const = 0;
  virtual void SetFont(const Font& font) = 0;
};

// The system's push button. An "&" in the caption marks the next letter as its access key
// (Alt + the letter presses it); "&&" shows one "&". Clicks and key presses raise onClick.
class Button : public Control {
 public:
  virtual void SetCaption(const std::string& text) = 0;
  virtual std::string Caption() const = 0;
  virtual void SetFont(const Font& font) = 0;
};

// An embedded web view of the window's shared web engine.
class WebView : public Control {
 public:
  virtual void Navigate(const std::string& address) = 0;
  // Also takes a local file path.
  virtual void Navigate2(const std::string& address) = 0;
  virtual void Refresh() = 0;
  // False when there is no earlier or later page.
  virtual bool GoBack() = 0;
  virtual bool GoForward() = 0;
  virtual void CopySelection() = 0;
  virtual void Paste() = 0;
  // No dialog boxes from the page's script.
  virtual void SetSilent(bool silent) = 0;
  // Replaces the current document with this HTML text.
  virtual void WriteDocument(const std::string& html) = 0;
  virtual std::string CurrentAddress() const = 0;
  // Its pages are messages to the server, each to be sent once: when the web engine's process
  // ends and the other views load their pages again in a new one, this view does not.
  virtual void SetLoadsOnce(bool once) = 0;
  // Measures the page body's scroll size in pixels, then takes away the body's border, margin
  // and scroll bars, so the page fits a view of that size. Reports the size once known; nothing
  // when the document has no body.
  virtual void FitPageBody(std::function<void(Size)> onMeasured) = 0;

  // Raised before every navigation, also one started by Navigate from inside a handler; setting
  // cancel stops it.
  std::function<void(const std::string& address, bool& cancel)> onBeforeNavigate2;
  std::function<void()> onDownloadBegin;
  // The new page has arrived and replaced the last one: the view shows it from now on.
  std::function<void()> onNavigateComplete2;
  std::function<void()> onDownloadComplete;
  std::function<void()> onDocumentComplete;
  // The address could not be loaded, or its main resource answered with status 400 or more.
  std::function<void(const std::string& address)> onNavigateError;
  // The page asked for a new window for this address.
  std::function<void(const std::string& address)> onNewWindow2;
  // The page's context menu at this view position; return true to let the engine show its own.
  std::function<bool(Point at)> onContextMenu;
};

}  // namespace lumora
