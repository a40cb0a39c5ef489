#include "platform/headless/HeadlessTrayIcon.h"

namespace lumora::headless {

void HeadlessTrayIcon::Add(const Bitmap&, const std::string& tip) {
  shown_.tip = tip;
  shown_.added = true;
}

void HeadlessTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!shown_.added) return;
  shown_.balloonTitle = title;
  shown_.balloonText = text;
  shown_.informationIcon = true;
  ++balloons_;
}

}  // namespace lumora::headless
