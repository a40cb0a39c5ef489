#include "server/DemoServer.h"

#include <optional>
#include <stdexcept>
#include <utility>

#include "app/FileIo.h"
#include "app/TextCodec.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

constexpr std::string_view kPlayDataPath = "/box/h.asp";
constexpr std::string_view kPingPath = "/box/tj/tj.asp";
constexpr std::string_view kHtmlType = "text/html; charset=utf-8";

constexpr std::string_view kNotFoundPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>404 Not Found</title></head>"
    "<body><h1>Not Found</h1><p>There is no such page on this server.</p></body></html>\n";
constexpr std::string_view kPingPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>ok</title></head>"
    "<body></body></html>\n";

std::string_view OrEmpty(const char* text) {
  return text ? std::string_view(text) : "";
}

void Respond(SoupServerMessage* message, guint status, std::string_view contentType,
             std::string_view body) {
  soup_server_message_set_status(message, status, nullptr);
  soup_server_message_set_response(message, std::string(contentType).c_str(), SOUP_MEMORY_COPY,
                                   body.data(), body.size());
}

void RespondNotFound(SoupServerMessage* message) {
  Respond(message, SOUP_STATUS_NOT_FOUND, kHtmlType, kNotFoundPage);
}

void RefuseMethod(SoupServerMessage* message) {
  soup_server_message_set_status(message, SOUP_STATUS_METHOD_NOT_ALLOWED, nullptr);
  soup_message_headers_replace(soup_server_message_get_response_headers(message), "Allow",
                               "GET, HEAD");
}

bool IsReadOnlyMethod(std::string_view method) {
  return method == SOUP_METHOD_GET || method == SOUP_METHOD_HEAD;
}

}  // namespace

DemoServer::DemoServer(std::filesystem::path siteDir, std::ostream* log)
    : siteDir_(std::move(siteDir)),
      log_(log),
      catalogue_(Catalogue::Load(siteDir_ / "catalogue.txt")),
      // Raw paths: this server decodes and checks each segment itself, so that every attempt to
      // leave the site answers 404 rather than libsoup's 400.
      server_(soup_server_new("raw-paths", TRUE, "server-header", "lumora-demo-server ", nullptr)) {
  soup_server_add_handler(server_.get(), nullptr, &DemoServer::OnRequest, this, nullptr);
}

DemoServer::~DemoServer() {
  soup_server_disconnect(server_.get());
}

void DemoServer::Start(std::uint16_t port) {
  g_autoptr(GError) error = nullptr;
  if (!soup_server_listen_local(server_.get(), port, SOUP_SERVER_LISTEN_IPV4_ONLY, &error)) {
    throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                             error->message);
  }
  GSList* uris = soup_server_get_uris(server_.get());
  port_ = static_cast<std::uint16_t>(g_uri_get_port(static_cast<GUri*>(uris->data)));
  g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
}

std::string DemoServer::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/box/";
}

void DemoServer::OnRequest(SoupServer*, SoupServerMessage* message, const char*, GHashTable*,
                           gpointer self) {
  static_cast<DemoServer*>(self)->Answer(message);
}

void DemoServer::Answer(SoupServerMessage* message) {
  GUri* uri = soup_server_message_get_uri(message);
  std::string_view path = OrEmpty(g_uri_get_path(uri));
  std::string_view query = OrEmpty(g_uri_get_query(uri));
  if (!IsReadOnlyMethod(soup_server_message_get_method(message))) {
    RefuseMethod(message);
  } else if (path == kPlayDataPath) {
    AnswerPlayData(message, query);
  } else if (path == kPingPath) {
    AnswerPing(message, query);
  } else {
    AnswerSiteFile(message, path);
  }
  Log(message);
}

void DemoServer::AnswerPlayData(SoupServerMessage* message, std::string_view query) {
  std::string reply = catalogue_.PlayReply(RawQueryValue(query, "id").value_or(""),
                                           RawQueryValue(query, "v").value_or(""),
                                           RawQueryValue(query, "v1").value_or(""));
  Respond(message, SOUP_STATUS_OK, "text/plain", Utf8ToGbk(reply));
}

void DemoServer::AnswerPing(SoupServerMessage* message, std::string_view query) {
  if (std::optional<std::string> id = RawQueryValue(query, "id")) pings_.push_back(std::move(*id));
  Respond(message, SOUP_STATUS_OK, kHtmlType, kPingPage);
}

void DemoServer::AnswerSiteFile(SoupServerMessage* message, std::string_view path) {
  std::optional<std::filesystem::path> relative = SiteFileForUrlPath(path);
  if (!relative) return RespondNotFound(message);
  std::filesystem::path file = siteDir_ / *relative;
  std::error_code error;
  std::optional<std::string> bytes =
      std::filesystem::is_regular_file(file, error) ? ReadFileBytes(file) : std::nullopt;
  if (!bytes) return RespondNotFound(message);
  Respond(message, SOUP_STATUS_OK, ContentTypeFor(file),
          IsServedAsGbk(file) ? Utf8ToGbk(*bytes) : *bytes);
}

void DemoServer::Log(SoupServerMessage* message) {
  GUri* uri = soup_server_message_get_uri(message);
  std::string line = std::string(soup_server_message_get_method(message)) + " " +
                     std::string(OrEmpty(g_uri_get_path(uri)));
  if (const char* query = g_uri_get_query(uri)) line += std::string("?") + query;
  line += " " + std::to_string(soup_server_message_get_status(message));
  if (log_) *log_ << line << std::endl;
  requestLog_.push_back(std::move(line));
}

}  // namespace lumora
