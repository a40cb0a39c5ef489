#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gtk/GObjectPtr.h"
#include "server/HttpConnection.h"

namespace lumora {

// A small HTTP/1.1 server on 127.0.0.1: one request per connection, each answered by the handler.
// It runs on the main context that is the thread default when it starts listening.
class HttpServer {
 public:
  explicit HttpServer(HttpConnection::Handler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Listens on 127.0.0.1:port, where 0 picks a free port, and returns the port bound. Throws
  // std::runtime_error when the port cannot be had.
  std::uint16_t Listen(std::uint16_t port);

 private:
  static gboolean OnIncoming(GSocketService* service, GSocketConnection* connection,
                             GObject* sourceObject, gpointer self);
  void Accept(GSocketConnection* connection);

  HttpConnection::Handler handler_;
  gtk::GObjectPtr<GSocketService> service_;
  std::vector<std::unique_ptr<HttpConnection>> connections_;
};

}  // namespace lumora
