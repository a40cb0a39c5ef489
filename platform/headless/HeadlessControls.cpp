#include "platform/headless/HeadlessControls.h"

#include <cmath>
#include <string_view>

#include "platform/headless/HeadlessWebView.h"

namespace lumora::headless {
namespace {

// Reads the code point at text[at] and moves at past it; a byte that starts no sequence reads
// as a code point of its own.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
  auto lead = static_cast<unsigned char>(text[at]);
  int length = lead < 0x80           ? 1
               : (lead >> 5) == 0x6  ? 2
               : (lead >> 4) == 0xE  ? 3
               : (lead >> 3) == 0x1E ? 4
                                     : 1;
  if (at + length > text.size()) length = 1;
  char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  }
  at += length;
  return codePoint;
}

bool IsFullWidth(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

template <class Base>
template <class Child>
Child& HeadlessContainer<Base>::Add() {
  auto child = std::make_unique<Child>();
  Child& added = *child;
  children_.push_back(std::move(child));
  return added;
}

template <class Base>
Picture& HeadlessContainer<Base>::AddPicture() {
  return Add<HeadlessPicture>();
}

template <class Base>
Label& HeadlessContainer<Base>::AddLabel() {
  return Add<HeadlessLabel>();
}

template <class Base>
ImageBox& HeadlessContainer<Base>::AddImage() {
  return Add<HeadlessImageBox>();
}

template <class Base>
WebView& HeadlessContainer<Base>::AddWebView() {
  return Add<HeadlessWebView>();
}

template <class Base>
CheckBox& HeadlessContainer<Base>::AddCheckBox() {
  return Add<HeadlessCheckBox>();
}

template <class Base>
Button& HeadlessContainer<Base>::AddButton() {
  return Add<HeadlessButton>();
}

template <class Base>
std::vector<Control*> HeadlessContainer<Base>::Children() const {
  std::vector<Control*> children;
  for (const auto& child : children_) children.push_back(child.get());
  return children;
}

template class HeadlessContainer<HeadlessControl<Picture>>;
template class HeadlessContainer<TopWindow>;

void HeadlessPicture::SetGeometry(Rect geometry) {
  Size before = Geometry().Extent();
  HeadlessContainer::SetGeometry(geometry);
  surface_.Resize(Geometry().Extent());
  if (Geometry().Extent() != before) ClearToBackColor();
}

void HeadlessPicture::SetBackColor(Color color) {
  backColor_ = color;
  ClearToBackColor();
}

void HeadlessPicture::ClearToBackColor() {
  if (backColor_) surface_.Fill(*backColor_);
}

Size MeasureText(const std::string& utf8, const Font& font) {
  long em = std::lround(font.points * 4 / 3);
  long halfEms = 0;
  for (std::size_t at = 0; at < utf8.size();)
    halfEms += IsFullWidth(NextCodePoint(utf8, at)) ? 2 : 1;
  return {static_cast<int>((halfEms * em + 1) / 2), static_cast<int>(em + 2)};
}

void HeadlessLabel::SetCaption(const std::string& text) {
  caption_ = text;
  Refit();
}

void HeadlessLabel::SetFont(const Font& font) {
  font_ = font;
  Refit();
}

void HeadlessLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  Refit();
}

std::optional<Size> HeadlessLabel::ContentSize() const {
  if (!autoSize_) return std::nullopt;
  return MeasureText(caption_, font_);
}

void HeadlessImageBox::SetImage(const Bitmap& image) {
  image_ = image;
  Refit();
}

std::optional<Size> HeadlessImageBox::ContentSize() const {
  if (image_.Empty()) return std::nullopt;
  return image_.Extent();
}

void HeadlessCheckBox::Click() {
  checked_ = !checked_;
  Raise(onClick);
}

HeadlessPicture& AsHeadless(Picture& picture) {
  return dynamic_cast<HeadlessPicture&>(picture);
}

HeadlessLabel& AsHeadless(Label& label) {
  return dynamic_cast<HeadlessLabel&>(label);
}

HeadlessImageBox& AsHeadless(ImageBox& image) {
  return dynamic_cast<HeadlessImageBox&>(image);
}

HeadlessCheckBox& AsHeadless(CheckBox& box) {
  return dynamic_cast<HeadlessCheckBox&>(box);
}

HeadlessButton& AsHeadless(Button& button) {
  return dynamic_cast<HeadlessButton&>(button);
}

}  // namespace lumora::headless
