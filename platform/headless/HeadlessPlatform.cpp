#include "platform/headless/HeadlessPlatform.h"

#include "platform/headless/HeadlessTimer.h"

namespace lumora::headless {

HeadlessPlatform::HeadlessPlatform(WallTime start, std::shared_ptr<InstanceRegistry> instances)
    : time_(start), http_(time_), singleInstance_(time_, std::move(instances)) {}

std::unique_ptr<TopWindow> HeadlessPlatform::CreateWindow() {
  return std::make_unique<HeadlessWindow>(desktop_, windows_);
}

std::unique_ptr<Timer> HeadlessPlatform::CreateTimer() {
  return std::make_unique<HeadlessTimer>(time_);
}

std::unique_ptr<Menu> HeadlessPlatform::CreateMenu() {
  return std::make_unique<HeadlessMenu>();
}

std::optional<HitCode> HeadlessPlatform::LastSystemSize(TopWindow& window) const {
  return AsHeadless(window).LastSystemSize();
}

int HeadlessPlatform::SystemMoveCount(TopWindow& window) const {
  return AsHeadless(window).SystemMoveCount();
}

void HeadlessPlatform::RunMainLoop() {
  WallTime deadline = time_.Now() + std::chrono::hours(1);
  while (!quitRequested_ && time_.RunNext(deadline)) {
  }
  quitRequested_ = false;
}

}  // namespace lumora::headless
