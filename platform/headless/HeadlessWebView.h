#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/headless/HeadlessControls.h"

namespace lumora::headless {

// A web view without an engine: navigations are approved through onBeforeNavigate2 and
// kept as the view's history; what the engine itself would raise, a test raises through the
// handlers or the methods below.
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
  void WriteDocument(const std::string&) override {}
  std::string CurrentAddress() const override { return current_; }
  // Its engine's process never ends.
  void SetLoadsOnce(bool) override {}
  // Reports the body's size as an engine without a declared doctype does: never smaller than the
  // view. Nothing before a test gave the page a body.
  void FitPageBody(std::function<void(Size)> onMeasured) override;

  bool Silent() const { return silent_; }
  int RefreshCount() const { return refreshes_; }
  int CopyCount() const { return copies_; }
  int PasteCount() const { return pastes_; }

  // A load starts: onDownloadBegin.
  void StartLoad();
  // A text field of the page has the focus: it takes the keys typed while the view has it.
  void SetTextFieldFocused(bool focused) { textFieldFocused_ = focused; }
  bool TextFieldFocused() const { return textFieldFocused_; }
  // The size of the current page's content, for FitPageBody.
  void SetPageContent(Size content) { content_ = content; }

 private:
  // A navigation to a new page: approved, then it becomes the current page in the history.
  void Open(const std::string& address);
  // Moves one page through the history, from one stack onto the other.
  bool Travel(std::vector<std::string>& from, std::vector<std::string>& to);
  // Raises onBeforeNavigate2; true when the navigation goes on (not cancelled, view alive).
  bool Approve(const std::string& address);

  std::string current_;
  std::vector<std::string> back_;
  std::vector<std::string> forward_;
  // Counts changes of the history, so a travel can tell that a handler navigated meanwhile.
  unsigned historyChanges_ = 0;
  bool silent_ = false;
  bool textFieldFocused_ = false;
  std::optional<Size> content_;
  int refreshes_ = 0;
  int copies_ = 0;
  int pastes_ = 0;
};

HeadlessWebView& AsHeadless(WebView& view);

}  // namespace lumora::headless
