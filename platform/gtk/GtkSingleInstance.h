#pragma once

#include <gio/gio.h>

#include <memory>
#include <optional>

#include "platform/SingleInstance.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/HandOverSocket.h"

namespace lumora::gtk {

// One instance per application id through GApplication on the session bus; where no session
// bus can be reached, through a socket of our own (HandOverSocket).
class GtkSingleInstance : public SingleInstance {
 public:
  GtkSingleInstance() = default;
  ~GtkSingleInstance() override;
  GtkSingleInstance(const GtkSingleInstance&) = delete;
  GtkSingleInstance& operator=(const GtkSingleInstance&) = delete;

  bool Claim(const std::string& appId, const std::vector<std::string>& commandLine) override;

  // A valid GApplication id made from any text ("Lumora.BA1" stays as it is).
  static std::string ApplicationId(const std::string& appId);

 private:
  // Nothing when no session bus answers.
  std::optional<bool> ClaimOverBus(const std::string& id,
                                   const std::vector<std::string>& commandLine);
  void HandOverLater(std::vector<std::string> commandLine);
  static int OnCommandLine(GApplication* application, GApplicationCommandLine* commandLine,
                           gpointer self);

  GObjectPtr<GApplication> application_;
  std::unique_ptr<HandOverSocket> socket_;
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora::gtk
