#include "platform/headless/HeadlessMenu.h"

#include <algorithm>
#include <utility>

#include "platform/Raise.h"

namespace lumora::headless {

void HeadlessMenu::AddItem(const std::string& caption, std::function<void()> command) {
  items_.push_back({caption, std::move(command)});
}

void HeadlessMenu::AddSeparator() {
  items_.push_back({"-", nullptr});
}

void HeadlessMenu::PopupAt(TopWindow& owner, Point windowPosition) {
  popups_.push_back({&owner, windowPosition});
  open_ = true;
}

void HeadlessMenu::PopupAtPointer(TopWindow& owner) {
  popups_.push_back({&owner, std::nullopt});
  open_ = true;
}

std::vector<std::string> HeadlessMenu::Captions() const {
  std::vector<std::string> captions;
  for (const Item& item : items_) captions.push_back(item.caption);
  return captions;
}

bool HeadlessMenu::Choose(const std::string& caption) {
  auto item = std::ranges::find_if(
      items_, [&](const Item& item) { return item.command && item.caption == caption; });
  if (!open_ || item == items_.end()) return false;
  open_ = false;
  // The command may destroy this menu.
  Raise(item->command);
  return true;
}

HeadlessMenu& AsHeadless(Menu& menu) {
  return dynamic_cast<HeadlessMenu&>(menu);
}

}  // namespace lumora::headless
