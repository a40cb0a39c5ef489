#include "shell/StartPageReload.h"

namespace lumora {

StartPageReload::StartPageReload(WebView& view, const Clock& clock, std::string startPage)
    : view_(view), clock_(clock), startPage_(std::move(startPage)) {
  view_.onNavigateError = [this](const std::string& address) {
    if (address == startPage_) failed_ = true;
  };
  // A page that finished since (a channel the user chose) is not to be loaded over.
  view_.onDocumentComplete = [this] { failed_ = false; };
}

void StartPageReload::Start() {
  failed_ = false;
  lastStart_ = clock_.Now();
  view_.Navigate(startPage_);
}

void StartPageReload::OnShown() {
  if (failed_ && clock_.Now() - lastStart_ >= kRetryInterval) Start();
}

}  // namespace lumora
