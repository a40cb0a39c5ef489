#include <optional>

#include "shell/BA1.h"

namespace lumora {
namespace {

// The page that Ctrl and a digit shows: the tabs in their order in the caption.
std::optional<Page> PageOfDigit(Key key) {
  switch (key) {
    case Key::Digit1:
      return Page::Portal;
    case Key::Digit2:
      return Page::Player;
    case Key::Digit3:
      return Page::Tv;
    case Key::Digit4:
      return Page::Shopping;
    default:
      return std::nullopt;
  }
}

bool Plain(const KeyEvent& key) {
  return !key.control && !key.shift && !key.alt;
}

bool ControlOnly(const KeyEvent& key) {
  return key.control && !key.shift && !key.alt;
}

}  // namespace

// Ctrl+1..4 show the pages (not in compact mode, which hides the tabs), F5 reloads the shown
// page, Shift+F10 and the Menu key open the program menu, Ctrl+Q quits.
bool BA1::OnKey(const KeyEvent& key) {
  std::optional<Page> page = PageOfDigit(key.key);
  if (page && ControlOnly(key)) {
    if (captionBar_.Compact() != CompactMode::Off) return false;
    pageTabs_.Select(*page);
    return true;
  }
  if (key.key == Key::F5 && Plain(key)) {
    ShownPageView().Refresh();
    return true;
  }
  bool menuKey = (key.key == Key::F10 && key.shift && !key.control && !key.alt) ||
                 (key.key == Key::Menu && Plain(key));
  if (menuKey) {
    captionBar_.OpenMenu();
    return true;
  }
  if (key.key == Key::Q && ControlOnly(key)) {
    ttt_v();
    return true;
  }
  return false;
}

WebView& BA1::ShownPageView() {
  switch (pageTabs_.Current()) {
    case Page::Player:
      return player_.PlayerView();
    case Page::Tv:
      return tvPane_.PlayerView();
    case Page::Shopping:
      return *shoppingView_;
    case Page::Portal:
      break;
  }
  return portal_.View();
}

}  // namespace lumora
