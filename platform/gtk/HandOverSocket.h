#pragma once

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// A single-instance channel of our own, for where no session bus can be reached: a Unix domain
// socket that the running instance listens on. A later start connects, writes its command line
// (each argument followed by a NUL byte) and closes.
class HandOverSocket {
 public:
  using HandOverHandler = std::function<void(const std::vector<std::string>& commandLine)>;

  // The running instance raises onHandOver on the main loop for each command line handed over.
  HandOverSocket(std::string path, HandOverHandler onHandOver);
  ~HandOverSocket();
  HandOverSocket(const HandOverSocket&) = delete;
  HandOverSocket& operator=(const HandOverSocket&) = delete;

  // True when this process listens from now on (a stale socket of an ended instance is
  // replaced); false when the command line went to the instance listening.
  bool Claim(const std::vector<std::string>& commandLine);

  // The socket of an application id in the user's runtime directory ($XDG_RUNTIME_DIR, else a
  // private /tmp/lumora-<uid>); empty when no private directory can be had.
  static std::string PathFor(const std::string& appId);

 private:
  enum class SendResult { Sent, NobodyListens, Failed };
  SendResult Send(const std::vector<std::string>& commandLine) const;
  bool Listen();
  static gboolean OnIncoming(GSocketService* service, GSocketConnection* connection,
                             GObject* source, gpointer self);

  std::string path_;
  HandOverHandler onHandOver_;
  GObjectPtr<GSocketService> service_;
  std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace lumora::gtk
