#include "server/HttpServer.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace lumora {

HttpServer::HttpServer(HttpConnection::Handler handler)
    : handler_(std::move(handler)), service_(g_socket_service_new()) {
  g_signal_connect(service_.get(), "incoming", G_CALLBACK(OnIncoming), this);
}

HttpServer::~HttpServer() {
  g_signal_handlers_disconnect_by_data(service_.get(), this);
  g_socket_service_stop(service_.get());
  g_socket_listener_close(G_SOCKET_LISTENER(service_.get()));
}

std::uint16_t HttpServer::Listen(std::uint16_t port) {
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new_from_string("127.0.0.1", port);
  g_autoptr(GSocketAddress) bound = nullptr;
  g_autoptr(GError) error = nullptr;
  if (!g_socket_listener_add_address(G_SOCKET_LISTENER(service_.get()), address,
                                     G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr, &bound,
                                     &error)) {
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                             error->message);
  }
  return g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
}

gboolean HttpServer::OnIncoming(GSocketService*, GSocketConnection* connection, GObject*,
                                gpointer self) {
  static_cast<HttpServer*>(self)->Accept(connection);
  return TRUE;
}

void HttpServer::Accept(GSocketConnection* connection) {
  // Finished connections are only closed; they are freed here, outside their own callbacks.
  std::erase_if(connections_, [](const auto& known) { return known->IsClosed(); });
  connections_.push_back(std::make_unique<HttpConnection>(connection, handler_));
}

}  // namespace lumora
