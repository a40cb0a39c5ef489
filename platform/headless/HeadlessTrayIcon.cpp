#include "platform/headless/HeadlessTrayIcon.h"

#include "platform/Raise.h"

namespace lumora::headless {

template <class Change>
void HeadlessTrayIcon::Changing(Change change) {
  bool before = IsShown();
  change();
  if (IsShown() != before) Raise(onShownChanged);
}

void HeadlessTrayIcon::Add(const Bitmap&, const std::string& tip) {
  shown_.tip = tip;
  Changing([this] { shown_.added = true; });
}

void HeadlessTrayIcon::Remove() {
  Changing([this] { shown_.added = false; });
}

void HeadlessTrayIcon::SetHostPresent(bool present) {
  Changing([this, present] { hostPresent_ = present; });
}

void HeadlessTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!shown_.added) return;
  shown_.balloonTitle = title;
  shown_.balloonText = text;
  ++balloons_;
}

}  // namespace lumora::headless
