#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Window.h"
#include "platform/headless/Events.h"

namespace lumora::headless {

// What every headless control keeps: its place, visibility (controls start visible) and tooltip.
template <class Base>
class HeadlessControl : public Base, public Lifetime {
 public:
  void SetGeometry(Rect geometry) override {
    Size size = ContentSize().value_or(geometry.Extent());
    geometry_ = {geometry.x, geometry.y, size.width, size.height};
  }
  Rect Geometry() const override { return geometry_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void SetTooltip(const std::string& text) override { tooltip_ = text; }
  std::string Tooltip() const override { return tooltip_; }
  void SetPointer(PointerShape) override {}
  void SetAccessible(const AccessibleInfo& info) override { accessible_ = info; }
  AccessibleInfo Accessible() const override { return accessible_; }

 protected:
  // The size an auto-sized control keeps whatever size it is given; none for the others.
  virtual std::optional<Size> ContentSize() const { return std::nullopt; }
  // Sizes the control again after its content changed.
  void Refit() { SetGeometry(geometry_); }

 private:
  Rect geometry_;
  bool visible_ = true;
  std::string tooltip_;
  AccessibleInfo accessible_;
};

// Creates the child controls of a window or a picture and owns them; their addresses stay valid
// for the container's life.
template <class Base>
class HeadlessContainer : public Base {
 public:
  Picture& AddPicture() override;
  Label& AddLabel() override;
  ImageBox& AddImage() override;
  WebView& AddWebView() override;
  CheckBox& AddCheckBox() override;
  Button& AddButton() override;

  // The children in the order they were added, the lowest first.
  std::vector<Control*> Children() const;

 private:
  template <class Child>
  Child& Add();

  std::vector<std::unique_ptr<Control>> children_;
};

class HeadlessPicture final : public HeadlessContainer<HeadlessControl<Picture>> {
 public:
  // Keeps the surface at the control's size.
  void SetGeometry(Rect geometry) override;
  // Also clears the surface to the colour at once.
  void SetBackColor(Color color) override;
  Bitmap& Surface() override { return surface_; }
  void Refresh() override {}

 private:
  void ClearToBackColor();

  Bitmap surface_{Size{}};
  std::optional<Color> backColor_;
};

// The size a label gives its text, in place of a font engine. One em is the font's size in
// pixels, points * 4 / 3 rounded. Full-width characters (CJK ideographs, kana, hangul, full-width
// forms) are one em wide, all others half an em; the line is rounded up to whole pixels and is
// one em plus 2 pixels high.
Size MeasureText(const std::string& utf8, const Font& font);

class HeadlessLabel final : public HeadlessControl<Label> {
 public:
  void SetCaption(const std::string& text) override;
  std::string Caption() const override { return caption_; }
  void SetForeColor(Color color) override { foreColor_ = color; }
  Color ForeColor() const override { return foreColor_; }
  void SetBackColor(Color color) override { backColor_ = color; }
  std::optional<Color> BackColor() const { return backColor_; }
  void SetFont(const Font& font) override;
  Font GetFont() const override { return font_; }
  void SetAutoSize(bool autoSize) override;

 protected:
  std::optional<Size> ContentSize() const override;

 private:
  std::string caption_;
  Color foreColor_{0x000000};
  std::optional<Color> backColor_;
  Font font_;
  bool autoSize_ = false;
};

class HeadlessImageBox final : public HeadlessControl<ImageBox> {
 public:
  void SetImage(const Bitmap& image) override;

 protected:
  // Without an image the box keeps the size it is given.
  std::optional<Size> ContentSize() const override;

 private:
  Bitmap image_;
};

class HeadlessCheckBox final : public HeadlessControl<CheckBox> {
 public:
  void SetCaption(const std::string& text) override { caption_ = text; }
  std::string Caption() const override { return caption_; }
  void SetChecked(bool checked) override { checked_ = checked; }
  bool Checked() const override { return checked_; }
  void SetFont(const Font&) override {}
  // The user's click: toggles the box, then raises onClick.
  void Click();

 private:
  std::string caption_;
  bool checked_ = false;
};

class HeadlessButton final : public HeadlessControl<Button> {
 public:
  void SetCaption(const std::string& text) override { caption_ = text; }
  std::string Caption() const override { return caption_; }
  void SetFont(const Font&) override {}

 private:
  std::string caption_;
};

// The headless controls behind the controls of a headless window.
HeadlessPicture& AsHeadless(Picture& picture);
HeadlessLabel& AsHeadless(Label& label);
HeadlessImageBox& AsHeadless(ImageBox& image);
HeadlessCheckBox& AsHeadless(CheckBox& box);
HeadlessButton& AsHeadless(Button& button);

}  // namespace lumora::headless
