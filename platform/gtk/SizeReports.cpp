#include "platform/gtk/SizeReports.h"

#include <algorithm>

namespace lumora::gtk {
namespace {

// Requests that were never reported on (the window system merges them) are forgotten.
constexpr std::size_t kMaxAsked = 16;

}  // namespace

void SizeReports::Asked(Size size) {
  asked_.push_back(size);
  if (asked_.size() > kMaxAsked) asked_.pop_front();
}

bool SizeReports::IsNews(Size reported) {
  auto ours = std::find(asked_.begin(), asked_.end(), reported);
  if (ours != asked_.end()) {
    asked_.erase(asked_.begin(), ours + 1);
    confirmed_ = reported;
    return asked_.empty();
  }
  if (!asked_.empty() && confirmed_ == reported) return false;
  asked_.clear();
  confirmed_ = reported;
  return true;
}

}  // namespace lumora::gtk
