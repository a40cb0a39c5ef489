#include "server/HttpConnection.h"

#include <string_view>

namespace lumora {
namespace {

constexpr size_t kChunkBytes = 4096;
// How long a client has to send its request head, and to close after the answer, so that clients
// which connect and send nothing, or stop halfway, do not pile up.
constexpr guint kDeadlineMs = 3000;
constexpr std::string_view kHeadMethod = "HEAD";

bool IsWouldBlock(const GError* error) {
  return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK);
}

gtk::SourcePtr AttachToThreadDefault(GSource* source, GSourceFunc callback, gpointer data) {
  g_source_set_callback(source, callback, data, nullptr);
  g_source_attach(source, g_main_context_get_thread_default());
  return gtk::SourcePtr(source);
}

}  // namespace

HttpConnection::HttpConnection(GSocketConnection* connection, const Handler& handler)
    : handler_(handler),
      connection_(G_SOCKET_CONNECTION(g_object_ref(connection))),
      socket_(g_socket_connection_get_socket(connection)) {
  g_socket_set_blocking(socket_, FALSE);
  WatchSocket(G_IO_IN);
  ArmDeadline();
}

gboolean HttpConnection::OnSocketReady(GSocket*, GIOCondition, gpointer self) {
  auto* connection = static_cast<HttpConnection*>(self);
  switch (connection->phase_) {
    case Phase::kReadingHead:
      connection->ReadHead();
      break;
    case Phase::kWriting:
      connection->WriteResponse();
      break;
    case Phase::kDraining:
      connection->Drain();
      break;
    case Phase::kClosed:
      break;
  }
  // A phase change replaces or destroys this source itself.
  return G_SOURCE_CONTINUE;
}

gboolean HttpConnection::OnDeadline(gpointer self) {
  static_cast<HttpConnection*>(self)->Close();
  return G_SOURCE_REMOVE;
}

void HttpConnection::ReadHead() {
  char chunk[kChunkBytes];
  std::optional<size_t> received = Receive(chunk, sizeof chunk);
  if (!received) return;
  if (*received == 0) return Close();
  head_.append(chunk, *received);
  std::optional<size_t> end = RequestHeadEnd(head_);
  if (!end && head_.size() <= kMaxRequestHeadBytes) return;  // the rest is still to come
  std::optional<RequestLine> request =
      end && *end <= kMaxRequestHeadBytes
          ? ParseRequestHead(std::string_view(head_).substr(0, *end))
          : std::nullopt;
  if (!request) return RespondBadRequest();
  Respond(handler_(*request), request->method != kHeadMethod);
}

void HttpConnection::WriteResponse() {
  g_autoptr(GError) error = nullptr;
  gssize written =
      g_socket_send(socket_, response_.data() + sent_, response_.size() - sent_, nullptr, &error);
  if (written < 0) {
    if (!IsWouldBlock(error)) Close();
    return;
  }
  sent_ += static_cast<size_t>(written);
  if (sent_ < response_.size()) return;
  g_socket_shutdown(socket_, FALSE, TRUE, nullptr);
  phase_ = Phase::kDraining;
  WatchSocket(G_IO_IN);
  ArmDeadline();
}

void HttpConnection::Drain() {
  char chunk[kChunkBytes];
  std::optional<size_t> received = Receive(chunk, sizeof chunk);
  if (received && *received == 0) Close();
}

void HttpConnection::Respond(const HttpResponse& response, bool withBody) {
  response_ = SerializeResponse(response, withBody);
  // The answer goes out as fast as the client reads it, however long that takes.
  deadline_.reset();
  phase_ = Phase::kWriting;
  WatchSocket(G_IO_OUT);
}

void HttpConnection::RespondBadRequest() {
  Respond({400, "text/plain", "Bad Request\n", {}}, true);
}

std::optional<size_t> HttpConnection::Receive(char* buffer, size_t size) {
  g_autoptr(GError) error = nullptr;
  gssize received = g_socket_receive(socket_, buffer, size, nullptr, &error);
  if (received >= 0) return static_cast<size_t>(received);
  if (IsWouldBlock(error)) return std::nullopt;
  return 0;
}

void HttpConnection::Close() {
  phase_ = Phase::kClosed;
  socketWatch_.reset();
  deadline_.reset();
  g_io_stream_close(G_IO_STREAM(connection_.get()), nullptr, nullptr);
}

void HttpConnection::WatchSocket(GIOCondition condition) {
  socketWatch_ = AttachToThreadDefault(g_socket_create_source(socket_, condition, nullptr),
                                       G_SOURCE_FUNC(OnSocketReady), this);
}

void HttpConnection::ArmDeadline() {
  deadline_ = AttachToThreadDefault(g_timeout_source_new(kDeadlineMs), OnDeadline, this);
}

}  // namespace lumora
