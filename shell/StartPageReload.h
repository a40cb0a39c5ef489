#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/Controls.h"

namespace lumora {

// A view's start page that failed to load is loaded again each time its page is shown, at most
// once per kRetryInterval, until it or another page loads: the page comes back after the server
// does.
class StartPageReload {
 public:
  static constexpr std::chrono::seconds kRetryInterval{10};

  StartPageReload(WebView& view, const Clock& clock, std::string startPage);

  // Loads the start page.
  void Start();
  // The view's page came into sight.
  void OnShown();

 private:
  WebView& view_;
  const Clock& clock_;
  std::string startPage_;
  WallTime lastStart_{};
  bool failed_ = false;
};

}  // namespace lumora
