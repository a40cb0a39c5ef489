#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/SingleInstance.h"
#include "platform/headless/VirtualTime.h"

namespace lumora::headless {

class HeadlessSingleInstance;

// The running instances of one simulated machine. Platforms that share it play separate
// processes of the same user.
class InstanceRegistry {
 public:
  // The instance that holds appId, or null.
  HeadlessSingleInstance* Holder(const std::string& appId) const;
  void Hold(const std::string& appId, HeadlessSingleInstance& instance);
  void ReleaseAll(const HeadlessSingleInstance& instance);

 private:
  std::map<std::string, HeadlessSingleInstance*> holders_;
};

// The first claim of an id wins and holds it until this object is destroyed. A later claim
// from another instance posts its command line to the holder's loop, where onHandOver receives
// it at the holder's next ProcessEvents or Advance.
class HeadlessSingleInstance final : public SingleInstance {
 public:
  HeadlessSingleInstance(VirtualTime& loop, std::shared_ptr<InstanceRegistry> registry)
      : loop_(loop), registry_(std::move(registry)) {}
  ~HeadlessSingleInstance() override { registry_->ReleaseAll(*this); }
  HeadlessSingleInstance(const HeadlessSingleInstance&) = delete;
  HeadlessSingleInstance& operator=(const HeadlessSingleInstance&) = delete;

  bool Claim(const std::string& appId, const std::vector<std::string>& commandLine) override;

 private:
  void HandOver(std::vector<std::string> commandLine);

  VirtualTime& loop_;
  std::shared_ptr<InstanceRegistry> registry_;
};

}  // namespace lumora::headless
