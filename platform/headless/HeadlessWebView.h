#pragma once

#include <string>
#include <vector>

#include "platform/headless/HeadlessControls.h"

namespace lumora::headless {

// How a page came into a view.
enum class LoadKind { Navigate, Navigate2, Link, Back, Forward, WriteDocument };

// One page that came into a view: the address it loaded, or for a written document the address
// the view kept.
struct Load {
  LoadKind kind = LoadKind::Navigate;
  std::string address;
  bool operator==(const Load&) const = default;
};

// A web view without an engine: navigations are approved through onBeforeNavigate2 and
// recorded; everything the engine itself would raise, a test raises through the methods below.
class HeadlessWebView final : public HeadlessControl<WebView> {
 public:
  void Navigate(const std::string& address) override;
  void Navigate2(const std::string& address) override;
  void Refresh() override { ++refreshes_; }
  // A travel whose onBeforeNavigate2 starts another navigation gives way to it.
  bool GoBack() override;
  bool GoForward() override;
  void CopySelection() override { ++copies_; }
  void Paste() override { ++pastes_; }
  void SetSilent(bool silent) override { silent_ = silent; }
  // Keeps the current address, as writing into the blank document does.
  void WriteDocument(const std::string& html) override;
  std::string CurrentAddress() const override { return current_; }

  // Every page that came into the view, in order.
  const std::vector<Load>& Loads() const { return loads_; }
  // The addresses of Loads() alone.
  std::vector<std::string> LoadedAddresses() const;
  // The HTML text last written, empty when none was.
  const std::string& Document() const { return document_; }
  bool Silent() const { return silent_; }
  int RefreshCount() const { return refreshes_; }
  int CopyCount() const { return copies_; }
  int PasteCount() const { return pastes_; }

  // The page navigates itself (a link, a script): approved like Navigate, recorded as Link.
  void FollowLink(const std::string& address);
  // A load starts: onDownloadBegin.
  void StartLoad();
  // The load finished: onDownloadComplete, then onDocumentComplete.
  void FinishLoad();
  // The load failed: onNavigateError with the current address, then onDownloadComplete.
  void FailLoad();
  // The page asks for a new window: onNewWindow2.
  void RequestNewWindow(const std::string& address);
  // The user asks for the context menu; returns whether the engine's own menu shows.
  bool OpenContextMenu(Point at);

 private:
  // A navigation to a new page: approved, then it becomes the current page in the history.
  void Open(const std::string& address, LoadKind kind);
  // Moves one page through the history, from one stack onto the other.
  bool Travel(std::vector<std::string>& from, std::vector<std::string>& to, LoadKind kind);
  // Raises onBeforeNavigate2; true when the navigation goes on (not cancelled, view alive).
  bool Approve(const std::string& address);
  void Enter(const std::string& address, LoadKind kind);

  std::string current_;
  std::vector<std::string> back_;
  std::vector<std::string> forward_;
  // Counts changes of the history, so a travel can tell that a handler navigated meanwhile.
  unsigned historyChanges_ = 0;
  std::vector<Load> loads_;
  std::string document_;
  bool silent_ = false;
  int refreshes_ = 0;
  int copies_ = 0;
  int pastes_ = 0;
};

HeadlessWebView& AsHeadless(WebView& view);

}  // namespace lumora::headless
