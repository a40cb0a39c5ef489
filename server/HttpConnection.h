#pragma once

#include <gio/gio.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/gtk/GObjectPtr.h"
#include "server/HttpMessage.h"

namespace lumora {

// One accepted connection, driven by sources on the thread-default main context: it reads one
// request head, writes the handler's response and closes. A client that is slow to send its head,
// or to close after the answer, is cut off. Destroying the connection stops all of that.
class HttpConnection {
 public:
  using Handler = std::function<HttpResponse(const RequestLine&)>;

  // The handler must outlive the connection.
  HttpConnection(GSocketConnection* connection, const Handler& handler);
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  // True once the exchange is over and the socket closed.
  bool IsClosed() const { return phase_ == Phase::kClosed; }

 private:
  // kDraining: the response is out and sending is shut down; what the client still sends is
  // read and dropped until it closes, since closing on unread data would reset the connection
  // and could destroy the response before the client has read it.
  enum class Phase { kReadingHead, kWriting, kDraining, kClosed };

  static gboolean OnSocketReady(GSocket* socket, GIOCondition condition, gpointer self);
  static gboolean OnDeadline(gpointer self);

  void ReadHead();
  void WriteResponse();
  void Drain();
  void Respond(const HttpResponse& response, bool withBody);
  void RespondBadRequest();
  // Bytes received into buffer, 0 at the end of the stream or on an error, nothing when no byte
  // is waiting.
  std::optional<size_t> Receive(char* buffer, size_t size);
  void Close();
  void WatchSocket(GIOCondition condition);
  void ArmDeadline();

  const Handler& handler_;
  gtk::GObjectPtr<GSocketConnection> connection_;
  GSocket* socket_;  // owned by connection_
  Phase phase_ = Phase::kReadingHead;
  std::string head_;
  std::string response_;
  size_t sent_ = 0;
  gtk::SourcePtr socketWatch_;
  gtk::SourcePtr deadline_;
};

}  // namespace lumora
