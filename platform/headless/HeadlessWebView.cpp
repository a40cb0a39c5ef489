#include "platform/headless/HeadlessWebView.h"

#include <algorithm>

namespace lumora::headless {

void HeadlessWebView::Navigate(const std::string& address) {
  Open(address);
}

void HeadlessWebView::Navigate2(const std::string& address) {
  Open(address);
}

bool HeadlessWebView::GoBack() {
  return Travel(back_, forward_);
}

bool HeadlessWebView::GoForward() {
  return Travel(forward_, back_);
}

void HeadlessWebView::Open(const std::string& address) {
  if (!Approve(address)) return;
  if (!current_.empty()) back_.push_back(current_);
  forward_.clear();
  ++historyChanges_;
  current_ = address;
  content_.reset();
}

bool HeadlessWebView::Travel(std::vector<std::string>& from, std::vector<std::string>& to) {
  if (from.empty()) return false;
  std::string address = from.back();
  unsigned changesBefore = historyChanges_;
  if (!Approve(address) || historyChanges_ != changesBefore) return true;
  from.pop_back();
  to.push_back(current_);
  ++historyChanges_;
  current_ = address;
  return true;
}

bool HeadlessWebView::Approve(const std::string& address) {
  std::weak_ptr<const void> alive = Watch();
  bool cancel = false;
  Raise(onBeforeNavigate2, address, cancel);
  return !alive.expired() && !cancel;
}

void HeadlessWebView::FitPageBody(std::function<void(Size)> onMeasured) {
  if (!content_) return;
  Rect view = Geometry();
  onMeasured({std::max(content_->width, view.width), std::max(content_->height, view.height)});
}

void HeadlessWebView::StartLoad() {
  Raise(onDownloadBegin);
}

HeadlessWebView& AsHeadless(WebView& view) {
  return dynamic_cast<HeadlessWebView&>(view);
}

}  // namespace lumora::headless
