#include "platform/headless/HeadlessSingleInstance.h"

#include "platform/Raise.h"

namespace lumora::headless {

HeadlessSingleInstance* InstanceRegistry::Holder(const std::string& appId) const {
  auto holder = holders_.find(appId);
  return holder == holders_.end() ? nullptr : holder->second;
}

void InstanceRegistry::Hold(const std::string& appId, HeadlessSingleInstance& instance) {
  holders_[appId] = &instance;
}

void InstanceRegistry::ReleaseAll(const HeadlessSingleInstance& instance) {
  std::erase_if(holders_, [&](const auto& holder) { return holder.second == &instance; });
}

bool HeadlessSingleInstance::Claim(const std::string& appId,
                                   const std::vector<std::string>& commandLine) {
  HeadlessSingleInstance* holder = registry_->Holder(appId);
  if (!holder) registry_->Hold(appId, *this);
  if (!holder || holder == this) return true;
  holder->HandOver(commandLine);
  return false;
}

void HeadlessSingleInstance::HandOver(std::vector<std::string> commandLine) {
  loop_.Post(std::chrono::milliseconds(0),
             [this, commandLine = std::move(commandLine)] { Raise(onHandOver, commandLine); });
}

}  // namespace lumora::headless
