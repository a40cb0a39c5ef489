#include "shell/StartPageReload.h"

namespace lumora {

StartPageReload::StartPageReload(WebView& view, const Clock& clock, std::string startPage)
    : view_(view), clock_(clock), startPage_(std::move(startPage)) {
  view_.onNavigateError = [this](const std::string& address) {
    if (address == startPage_) failed_ = true;
  };
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
