#include "bench/LoadTally.h"

namespace lumora::bench {

bool LoadTally::MarkFinished(std::size_t view) {
  if (view >= finished_.size() || finished_[view]) return false;
  finished_[view] = true;
  ++count_;
  return true;
}

std::vector<std::size_t> LoadTally::Unfinished() const {
  std::vector<std::size_t> unfinished;
  for (std::size_t view = 0; view < finished_.size(); ++view) {
    if (!finished_[view]) unfinished.push_back(view);
  }
  return unfinished;
}

}  // namespace lumora::bench
