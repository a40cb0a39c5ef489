#pragma once

#include <memory>

#include "platform/Raise.h"

namespace lumora::headless {

// Lets a series of events stop as soon as one of its handlers destroyed the object raising them
// (a form closed from inside its own handler).
class Lifetime {
 public:
  std::weak_ptr<const void> Watch() const { return token_; }

 private:
  std::shared_ptr<const int> token_ = std::make_shared<const int>(0);
};

}  // namespace lumora::headless
