#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Menu.h"

namespace lumora::headless {

// One popup of a menu: on which window, and where (nothing: at the pointer).
struct MenuPopup {
  TopWindow* owner = nullptr;
  std::optional<Point> at;
  bool operator==(const MenuPopup&) const = default;
};

// A menu in memory. A popup opens it until a test chooses an item.
class HeadlessMenu final : public Menu {
 public:
  void AddItem(const std::string& caption, std::function<void()> command) override;
  void AddSeparator() override;
  void PopupAt(TopWindow& owner, Point windowPosition) override;
  void PopupAtPointer(TopWindow& owner) override;

  // The captions in order; a separator reads "-".
  std::vector<std::string> Captions() const;
  const std::vector<MenuPopup>& Popups() const { return popups_; }
  // The user picks the first item with this caption from the open menu: the menu closes, then
  // the item's command runs. False when the menu is not open or has no such item.
  bool Choose(const std::string& caption);

 private:
  struct Item {
    std::string caption;
    std::function<void()> command;  // empty for a separator
  };

  std::vector<Item> items_;
  std::vector<MenuPopup> popups_;
  bool open_ = false;
};

// The headless menu behind a menu of the headless platform.
HeadlessMenu& AsHeadless(Menu& menu);

}  // namespace lumora::headless
