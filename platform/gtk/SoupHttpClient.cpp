#include "platform/gtk/SoupHttpClient.h"

#include <gio/gio.h>

#include "platform/Raise.h"

namespace lumora::gtk {
namespace {

constexpr gsize kReadChunkBytes = 64 * 1024;
// Nested fetches (a fetch waiting inside another one's wait) must not queue behind each other.
constexpr int kConnectionsPerHost = 8;

// One GET in flight. Each pending async call holds a reference, so the transfer lives until the
// last callback has run, even after its request handle was destroyed.
struct Transfer {
  GObjectPtr<SoupMessage> message;
  GObjectPtr<GCancellable> cancellable{g_cancellable_new()};
  GObjectPtr<GInputStream> stream;
  std::string body;
  std::function<void(HttpResult)> onDone;
  bool abandoned = false;

  void Finish(HttpResult result) {
    if (abandoned) return;
    abandoned = true;
    Raise(onDone, std::move(result));
  }
};

using TransferRef = std::shared_ptr<Transfer>;

// Hands a reference to an async callback; TakeRef gets it back exactly once.
gpointer GiveRef(const TransferRef& transfer) {
  return new TransferRef(transfer);
}
TransferRef TakeRef(gpointer data) {
  std::unique_ptr<TransferRef> holder(static_cast<TransferRef*>(data));
  return *holder;
}

class SoupRequest : public HttpRequest {
 public:
  explicit SoupRequest(TransferRef transfer) : transfer_(std::move(transfer)) {}
  ~SoupRequest() override {
    transfer_->abandoned = true;
    g_cancellable_cancel(transfer_->cancellable.get());
  }

 private:
  TransferRef transfer_;
};

void ReadNextChunk(const TransferRef& transfer);

void OnChunkRead(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef transfer = TakeRef(data);
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) chunk =
      g_input_stream_read_bytes_finish(G_INPUT_STREAM(source), result, &error);
  if (transfer->abandoned) return;
  if (chunk == nullptr) return transfer->Finish({});
  gsize size = 0;
  const char* bytes = static_cast<const char*>(g_bytes_get_data(chunk, &size));
  if (size == 0) {
    return transfer->Finish({true,
                             static_cast<int>(soup_message_get_status(transfer->message.get())),
                             std::move(transfer->body)});
  }
  if (transfer->body.size() + size > HttpClient::kMaxBodyBytes) {
    g_cancellable_cancel(transfer->cancellable.get());
    return transfer->Finish({});
  }
  transfer->body.append(bytes, size);
  ReadNextChunk(transfer);
}

void ReadNextChunk(const TransferRef& transfer) {
  g_input_stream_read_bytes_async(transfer->stream.get(), kReadChunkBytes, G_PRIORITY_DEFAULT,
                                  transfer->cancellable.get(), OnChunkRead, GiveRef(transfer));
}

bool DeclaresTooLargeBody(SoupMessage* message) {
  SoupMessageHeaders* headers = soup_message_get_response_headers(message);
  return soup_message_headers_get_encoding(headers) == SOUP_ENCODING_CONTENT_LENGTH &&
         soup_message_headers_get_content_length(headers) >
             static_cast<goffset>(HttpClient::kMaxBodyBytes);
}

void OnResponseHeaders(GObject* source, GAsyncResult* result, gpointer data) {
  TransferRef transfer = TakeRef(data);
  g_autoptr(GError) error = nullptr;
  GInputStream* stream = soup_session_send_finish(SOUP_SESSION(source), result, &error);
  transfer->stream.reset(stream);
  if (transfer->abandoned) return;
  if (stream == nullptr || DeclaresTooLargeBody(transfer->message.get())) {
    return transfer->Finish({});
  }
  ReadNextChunk(transfer);
}

// Only the lookup's side effect counts: the resolver has read the settings.
void DropProxies(GObject* resolver, GAsyncResult* result, gpointer) {
  g_auto(GStrv) proxies =
      g_proxy_resolver_lookup_finish(G_PROXY_RESOLVER(resolver), result, nullptr);
}

gboolean ReportBadAddress(gpointer data) {
  TakeRef(data)->Finish({});
  return G_SOURCE_REMOVE;
}

}  // namespace

SoupHttpClient::SoupHttpClient()
    : session_(soup_session_new_with_options("max-conns-per-host", kConnectionsPerHost, nullptr)) {}

std::unique_ptr<HttpRequest> SoupHttpClient::Get(const std::string& url,
                                                 std::function<void(HttpResult)> onDone) {
  auto transfer = std::make_shared<Transfer>();
  transfer->onDone = std::move(onDone);
  transfer->message.reset(soup_message_new(SOUP_METHOD_GET, url.c_str()));
  if (!transfer->message) {
    g_idle_add(ReportBadAddress, GiveRef(transfer));
  } else {
    soup_session_send_async(session_.get(), transfer->message.get(), G_PRIORITY_DEFAULT,
                            transfer->cancellable.get(), OnResponseHeaders, GiveRef(transfer));
  }
  return std::make_unique<SoupRequest>(transfer);
}

void SoupHttpClient::PrepareFor(const std::string& url) {
  GProxyResolver* resolver = soup_session_get_proxy_resolver(session_.get());
  if (resolver == nullptr) resolver = g_proxy_resolver_get_default();
  g_proxy_resolver_lookup_async(resolver, url.c_str(), nullptr, DropProxies, nullptr);
}

}  // namespace lumora::gtk
