#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/ContentServer.h"
#include "core/ServerFetch.h"
#include "platform/Platform.h"

namespace lumora {

// What the update check switches on in the main window.
class UpdateTarget {
 public:
  virtual ~UpdateTarget() = default;
  // The window that owns the check's message boxes.
  virtual TopWindow& Window() = 0;
  virtual void SetTickerEnabled(bool enabled) = 0;
  virtual void ShowAdBanner() = 0;
  // The quit routine, once the updater is on its way.
  virtual void Quit() = 0;
};

// The main window's update check: 6 seconds after start it reads the server's control file once,
// offers a newer version and switches on the extras the server asks for. shengji is the manual
// check of the program menu; it answers from what the automatic check read.
class UpdateCheck {
 public:
  // The updater "update.exe" is looked for in programDir, the folder of the executable.
  UpdateCheck(Platform& platform, UpdateTarget& window, ServerFetch& fetch, ContentServer server,
              std::filesystem::path programDir);

  void shengji();
  // ShowExitAd: the control file asked for the exit ad window on quitting.
  bool ExitAdWanted() const { return exitAdWanted_; }
  // The program quits: an open question closes as dismissed, and the check acts no more.
  void Stop();

  // The control file asks for the popup ad window; called after the offer was declined.
  std::function<void()> onShowPopupAd;
  // The control file switched the ticker on; called after the offer was declined.
  std::function<void()> onStartTicker;

 private:
  void Timer5_Timer();
  void ApplyControlFile(const std::string& text);
  // Asks whether to update to the latest version and on Yes runs the update launch. False when
  // the program is quitting after the box: on Yes, or when the user quit while it was up.
  bool OfferUpdate();
  void LaunchUpdate();

  Platform& platform_;
  UpdateTarget& window_;
  ServerFetch& fetch_;
  ContentServer server_;
  std::filesystem::path programDir_;
  std::unique_ptr<Timer> checkTimer_;  // Timer5: the one automatic check, 6 s after start
  std::string latestVersion_;          // LatestVersion
  bool exitAdWanted_ = false;
  bool stopped_ = false;
  // Expires with this object, so a check that outlived it during the fetch does nothing more.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora
