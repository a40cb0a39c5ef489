#pragma once

#include <memory>
#include <utility>

namespace lumora::headless {

// Calls a handler when one is set. It runs from a copy, so it may replace or clear itself, or
// destroy the object that holds it, while it runs.
template <class Handler, class... Args>
void Raise(const Handler& handler, Args&&... args) {
  if (!handler) return;
  Handler running = handler;
  running(std::forward<Args>(args)...);
}

// Lets a series of events stop as soon as one of its handlers destroyed the object raising them
// (a form closed from inside its own handler).
class Lifetime {
 public:
  std::weak_ptr<const void> Watch() const { return token_; }

 private:
  std::shared_ptr<const int> token_ = std::make_shared<const int>(0);
};

}  // namespace lumora::headless
