#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "server/Catalogue.h"
#include "server/HttpMessage.h"
#include "server/HttpServer.h"

namespace lumora {

// The demo content server on 127.0.0.1: the site's files under "/box/" (and its home at "/"),
// play data from the site's catalogue.txt at "/box/h.asp" and the usage ping at
// "/box/tj/tj.asp". It runs on the main context that is the thread default when it starts.
class DemoServer {
 public:
  // Reads siteDir/catalogue.txt; throws std::runtime_error when it is missing or malformed.
  // Every request is written to log, when given, as one flushed line.
  explicit DemoServer(std::filesystem::path siteDir, std::ostream* log = nullptr);
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // Starts listening on 127.0.0.1:port, where 0 picks a free port. Throws std::runtime_error
  // when the port cannot be had.
  void Start(std::uint16_t port);
  // The port actually bound, 0 before Start.
  std::uint16_t Port() const { return port_; }
  // "http://127.0.0.1:PORT/", what "{SITE}" in text files becomes.
  std::string SiteUrl() const;
  // "http://127.0.0.1:PORT/box/", what "{BASE}" in text files becomes.
  std::string BaseUrl() const;

  // From now on the control file "lib/wen.txt" names this version as the latest, so the client
  // offers an update; "" serves the file as it stands.
  void OfferVersion(std::string version) { offeredVersion_ = std::move(version); }

  // One line per request answered: method, target exactly as received, status.
  const std::vector<std::string>& RequestLog() const { return requestLog_; }

 private:
  HttpResponse Answer(const RequestLine& request);
  HttpResponse Route(const RequestLine& request);
  HttpResponse AnswerPlayData(std::string_view query) const;
  HttpResponse AnswerPing() const;
  HttpResponse AnswerSiteFile(std::string_view path) const;
  HttpResponse AnswerControlFile() const;
  void Log(const RequestLine& request, int status);

  std::filesystem::path siteDir_;
  std::ostream* log_;
  Catalogue catalogue_;
  std::uint16_t port_ = 0;
  std::string offeredVersion_;
  std::vector<std::string> requestLog_;
  HttpServer server_;
};

}  // namespace lumora
