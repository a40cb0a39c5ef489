#pragma once

#include <cstddef>
#include <vector>

namespace lumora::bench {

// Which views have finished their first load. A view counts once: its later loads (a page
// written over its blank start page, a reload) do not count again.
class LoadTally {
 public:
  explicit LoadTally(std::size_t views) : finished_(views, false) {}

  // True when this was the view's first finish.
  bool MarkFinished(std::size_t view);
  bool AllFinished() const { return count_ == finished_.size(); }
  std::vector<std::size_t> Unfinished() const;

 private:
  std::vector<bool> finished_;
  std::size_t count_ = 0;
};

}  // namespace lumora::bench
