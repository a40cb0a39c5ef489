#include "server/DemoServer.h"

#include <optional>
#include <utility>

#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "server/SitePaths.h"

namespace lumora {
namespace {

constexpr std::string_view kPlayDataPath = "/box/h.asp";
constexpr std::string_view kPingPath = "/box/tj/tj.asp";
constexpr std::string_view kControlFilePath = "/box/lib/wen.txt";
// The control file's version is its last field.
constexpr std::string_view kFieldSeparator = "====";
constexpr std::string_view kHtmlType = "text/html; charset=utf-8";

constexpr std::string_view kNotFoundPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>404 Not Found</title></head>"
    "<body><h1>Not Found</h1><p>There is no such page on this server.</p></body></html>\n";
constexpr std::string_view kPingPage =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>ok</title></head>"
    "<body></body></html>\n";

HttpResponse Ok(std::string_view contentType, std::string body) {
  return {200, std::string(contentType), std::move(body), {}};
}

HttpResponse NotFound() {
  return {404, std::string(kHtmlType), std::string(kNotFoundPage), {}};
}

HttpResponse MethodNotAllowed() {
  return {405, "text/plain", "Method Not Allowed\n", {{"Allow", "GET, HEAD"}}};
}

bool IsReadOnlyMethod(std::string_view method) {
  return method == "GET" || method == "HEAD";
}

}  // namespace

DemoServer::DemoServer(std::filesystem::path siteDir, std::ostream* log)
    : siteDir_(std::move(siteDir)),
      log_(log),
      catalogue_(Catalogue::Load(siteDir_ / "catalogue.txt")),
      server_([this](const RequestLine& request) { return Answer(request); }) {}

void DemoServer::Start(std::uint16_t port) {
  port_ = server_.Listen(port);
}

std::string DemoServer::SiteUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::string DemoServer::BaseUrl() const {
  return TreeUrl(SiteUrl());
}

HttpResponse DemoServer::Answer(const RequestLine& request) {
  HttpResponse response = Route(request);
  Log(request, response.status);
  return response;
}

HttpResponse DemoServer::Route(const RequestLine& request) {
  if (!IsReadOnlyMethod(request.method)) return MethodNotAllowed();
  if (request.Path() == kPlayDataPath) return AnswerPlayData(request.Query());
  if (request.Path() == kPingPath) return AnswerPing();
  if (request.Path() == kControlFilePath) return AnswerControlFile();
  return PartAsked(AnswerSiteFile(request.Path()), request.range);
}

HttpResponse DemoServer::AnswerPlayData(std::string_view query) const {
  std::string reply = catalogue_.PlayReply(RawQueryValue(query, "id").value_or(""),
                                           RawQueryValue(query, "v").value_or(""),
                                           RawQueryValue(query, "v1").value_or(""));
  return Ok("text/plain", Utf8ToGbk(reply));
}

HttpResponse DemoServer::AnswerPing() const {
  return Ok(kHtmlType, std::string(kPingPage));
}

HttpResponse DemoServer::AnswerSiteFile(std::string_view path) const {
  std::optional<std::filesystem::path> relative = SiteFileForUrlPath(path);
  if (!relative) return NotFound();
  std::filesystem::path file = siteDir_ / *relative;
  std::error_code error;
  std::optional<std::string> bytes =
      std::filesystem::is_regular_file(file, error) ? ReadFileBytes(file) : std::nullopt;
  if (!bytes) return NotFound();
  if (!IsServedAsGbk(file)) return Ok(ContentTypeFor(file), std::move(*bytes));
  return Ok(ContentTypeFor(file), Utf8ToGbk(FillAddressPlaceholders(*bytes, SiteUrl())));
}

HttpResponse DemoServer::AnswerControlFile() const {
  HttpResponse response = AnswerSiteFile(kControlFilePath);
  size_t lastField = response.body.rfind(kFieldSeparator);
  if (offeredVersion_.empty() || response.status != 200 || lastField == std::string::npos) {
    return response;
  }
  response.body.resize(lastField + kFieldSeparator.size());
  response.body += Utf8ToGbk(offeredVersion_) + "\r\n";
  return response;
}

void DemoServer::Log(const RequestLine& request, int status) {
  std::string line = request.method + " " + request.target + " " + std::to_string(status);
  if (log_) *log_ << line << std::endl;
  requestLog_.push_back(std::move(line));
}

}  // namespace lumora
