#include "platform/gtk/HandOverSocket.h"

#include <gio/gunixsocketaddress.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Raise.h"

namespace lumora::gtk {
namespace {

constexpr gsize kMaxCommandLineBytes = 64 * 1024;
constexpr gsize kReadChunkBytes = 4096;

std::string Serialise(const std::vector<std::string>& commandLine) {
  std::string bytes;
  for (const std::string& argument : commandLine) {
    bytes += argument;
    bytes += '\0';
  }
  return bytes;
}

std::vector<std::string> Parse(const std::string& bytes) {
  std::vector<std::string> commandLine;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = bytes.find('\0', start)) != std::string::npos;
       start = end + 1) {
    commandLine.push_back(bytes.substr(start, end - start));
  }
  return commandLine;
}

// A command line being read from one connection.
struct Incoming {
  GObjectPtr<GSocketConnection> connection;
  HandOverSocket::HandOverHandler onHandOver;
  std::weak_ptr<char> receiverAlive;
  std::string bytes;
};

void ReadMore(std::unique_ptr<Incoming> incoming);

void OnRead(GObject* source, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Incoming> incoming(static_cast<Incoming*>(data));
  g_autoptr(GBytes) chunk =
      g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, nullptr);
  if (!chunk || incoming->receiverAlive.expired()) return;
  gsize size = 0;
  const char* bytes = static_cast<const char*>(g_bytes_get_data(chunk, &size));
  if (size == 0) return Raise(incoming->onHandOver, Parse(incoming->bytes));
  if (incoming->bytes.size() + size > kMaxCommandLineBytes) return;
  incoming->bytes.append(bytes, size);
  ReadMore(std::move(incoming));
}

void ReadMore(std::unique_ptr<Incoming> incoming) {
  GInputStream* stream = g_io_stream_get_input_stream(G_IO_STREAM(incoming->connection.get()));
  g_input_stream_read_bytes_async(stream, kReadChunkBytes, G_PRIORITY_DEFAULT, nullptr, OnRead,
                                  incoming.release());
}

bool IsPrivateDirectory(const std::string& directory) {
  mkdir(directory.c_str(), 0700);
  struct stat status;
  return lstat(directory.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == getuid() && (status.st_mode & 077) == 0;
}

void RemoveStaleSocket(const std::string& path) {
  struct stat status;
  if (lstat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode)) unlink(path.c_str());
}

std::string FileNameFor(const std::string& appId) {
  std::string name = "lumora-";
  for (char c : appId) name += g_ascii_isalnum(c) || c == '.' || c == '-' ? c : '_';
  return name + ".socket";
}

}  // namespace

HandOverSocket::HandOverSocket(std::string path, HandOverHandler onHandOver)
    : path_(std::move(path)), onHandOver_(std::move(onHandOver)) {}

HandOverSocket::~HandOverSocket() {
  if (!service_) return;
  g_socket_service_stop(service_.get());
  g_socket_listener_close(G_SOCKET_LISTENER(service_.get()));
  unlink(path_.c_str());
}

std::string HandOverSocket::PathFor(const std::string& appId) {
  const char* runtime = g_getenv("XDG_RUNTIME_DIR");
  std::string directory = runtime && *runtime ? runtime : "/tmp/lumora-" + std::to_string(getuid());
  if (!(runtime && *runtime) && !IsPrivateDirectory(directory)) return {};
  return directory + "/" + FileNameFor(appId);
}

bool HandOverSocket::Claim(const std::vector<std::string>& commandLine) {
  if (path_.empty()) return true;
  // A second round covers another instance that started listening in between.
  for (int round = 0; round < 2; ++round) {
    switch (Send(commandLine)) {
      case SendResult::Sent:
        return false;
      case SendResult::Failed:
        return true;  // better a second instance than none
      case SendResult::NobodyListens:
        break;
    }
    RemoveStaleSocket(path_);
    if (Listen()) return true;
  }
  return true;
}

HandOverSocket::SendResult HandOverSocket::Send(const std::vector<std::string>& commandLine) const {
  GObjectPtr<GSocketAddress> address(g_unix_socket_address_new(path_.c_str()));
  GObjectPtr<GSocketClient> client(g_socket_client_new());
  g_socket_client_set_enable_proxy(client.get(), FALSE);
  g_autoptr(GError) error = nullptr;
  GObjectPtr<GSocketConnection> connection(
      g_socket_client_connect(client.get(), G_SOCKET_CONNECTABLE(address.get()), nullptr, &error));
  if (!connection) {
    bool nobody = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_NOT_FOUND) ||
                  g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED);
    return nobody ? SendResult::NobodyListens : SendResult::Failed;
  }
  std::string bytes = Serialise(commandLine);
  GOutputStream* stream = g_io_stream_get_output_stream(G_IO_STREAM(connection.get()));
  g_output_stream_write_all(stream, bytes.data(), bytes.size(), nullptr, nullptr, nullptr);
  g_io_stream_close(G_IO_STREAM(connection.get()), nullptr, nullptr);
  return SendResult::Sent;
}

bool HandOverSocket::Listen() {
  GObjectPtr<GSocketService> service(g_socket_service_new());
  GObjectPtr<GSocketAddress> address(g_unix_socket_address_new(path_.c_str()));
  if (!g_socket_listener_add_address(G_SOCKET_LISTENER(service.get()), address.get(),
                                     G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_DEFAULT, nullptr,
                                     nullptr, nullptr)) {
    return false;
  }
  g_signal_connect(service.get(), "incoming", G_CALLBACK(OnIncoming), this);
  g_socket_service_start(service.get());
  service_ = std::move(service);
  return true;
}

gboolean HandOverSocket::OnIncoming(GSocketService*, GSocketConnection* connection, GObject*,
                                    gpointer data) {
  auto* self = static_cast<HandOverSocket*>(data);
  auto incoming = std::make_unique<Incoming>();
  incoming->connection.reset(G_SOCKET_CONNECTION(g_object_ref(connection)));
  incoming->onHandOver = self->onHandOver_;
  incoming->receiverAlive = self->alive_;
  ReadMore(std::move(incoming));
  return TRUE;
}

}  // namespace lumora::gtk
