#include "platform/headless/HeadlessWebView.h"

namespace lumora::headless {

void HeadlessWebView::Navigate(const std::string& address) {
  Open(address, LoadKind::Navigate);
}

void HeadlessWebView::Navigate2(const std::string& address) {
  Open(address, LoadKind::Navigate2);
}

void HeadlessWebView::FollowLink(const std::string& address) {
  Open(address, LoadKind::Link);
}

bool HeadlessWebView::GoBack() {
  return Travel(back_, forward_, LoadKind::Back);
}

bool HeadlessWebView::GoForward() {
  return Travel(forward_, back_, LoadKind::Forward);
}

void HeadlessWebView::WriteDocument(const std::string& html) {
  document_ = html;
  loads_.push_back({LoadKind::WriteDocument, current_});
}

std::vector<std::string> HeadlessWebView::LoadedAddresses() const {
  std::vector<std::string> addresses;
  for (const Load& load : loads_) addresses.push_back(load.address);
  return addresses;
}

void HeadlessWebView::Open(const std::string& address, LoadKind kind) {
  if (!Approve(address)) return;
  if (!current_.empty()) back_.push_back(current_);
  forward_.clear();
  ++historyChanges_;
  Enter(address, kind);
}

bool HeadlessWebView::Travel(std::vector<std::string>& from, std::vector<std::string>& to,
                             LoadKind kind) {
  if (from.empty()) return false;
  std::string address = from.back();
  unsigned changesBefore = historyChanges_;
  if (!Approve(address) || historyChanges_ != changesBefore) return true;
  from.pop_back();
  to.push_back(current_);
  ++historyChanges_;
  Enter(address, kind);
  return true;
}

bool HeadlessWebView::Approve(const std::string& address) {
  std::weak_ptr<const void> alive = Watch();
  bool cancel = false;
  Raise(onBeforeNavigate2, address, cancel);
  return !alive.expired() && !cancel;
}

void HeadlessWebView::Enter(const std::string& address, LoadKind kind) {
  current_ = address;
  loads_.push_back({kind, address});
}

void HeadlessWebView::StartLoad() {
  Raise(onDownloadBegin);
}

void HeadlessWebView::FinishLoad() {
  RunWhileAlive(*this,
                {[this] { Raise(onDownloadComplete); }, [this] { Raise(onDocumentComplete); }});
}

void HeadlessWebView::FailLoad() {
  RunWhileAlive(*this, {[this] { Raise(onNavigateError, std::string(current_)); },
                        [this] { Raise(onDownloadComplete); }});
}

void HeadlessWebView::RequestNewWindow(const std::string& address) {
  Raise(onNewWindow2, address);
}

bool HeadlessWebView::OpenContextMenu(Point at) {
  if (!onContextMenu) return true;
  auto handler = onContextMenu;
  return handler(at);
}

HeadlessWebView& AsHeadless(WebView& view) {
  return dynamic_cast<HeadlessWebView&>(view);
}

}  // namespace lumora::headless
