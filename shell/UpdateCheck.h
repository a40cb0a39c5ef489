#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/ContentServer.h"
#include "core/ServerFetch.h"
#include "platform/Platform.h"
#include "shell/BA1.h"

namespace lumora {

// The main window's update check: 6 seconds after start it reads the server's control file once,
// offers a newer version and switches on the extras the server asks for. shengji is the manual
// check of the program menu; it answers from what the automatic check read.
class UpdateCheck {
 public:
  UpdateCheck(Platform& platform, BA1& window, ServerFetch& fetch, ContentServer server,
              std::filesystem::path appDir);

  void shengji();

  // The control file asks for the popup ad window; called after the offer was declined.
  std::function<void()> onShowPopupAd;
  // The control file switched the ticker on; called after the offer was declined.
  std::function<void()> onStartTicker;

 private:
  void Timer5_Timer();
  void ApplyControlFile(const std::string& text);
  // Asks whether to update to LatestVersion and on Yes runs the update launch. False when the
  // program is quitting after the box: on Yes, or when the user quit while it was up.
  bool OfferUpdate();
  void LaunchUpdate();

  Platform& platform_;
  BA1& window_;
  ServerFetch& fetch_;
  ContentServer server_;
  std::filesystem::path appDir_;
  std::unique_ptr<Timer> Timer5;  // the one automatic check, 6 s after start
  // Expires with this object, so a check that outlived it during the fetch does nothing more.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora
