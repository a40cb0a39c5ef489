#pragma once

#include <libsoup/soup.h>

#include "platform/Http.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// GETs with libsoup 3 on the default main context, one session for all of them.
class SoupHttpClient : public HttpClient {
 public:
  SoupHttpClient();
  std::unique_ptr<HttpRequest> Get(const std::string& url,
                                   std::function<void(HttpResult)> onDone) override;
  // Looks up the proxy for url once, so that the system's proxy settings are read (some 10 ms
  // on a worker thread) before the first GET rather than during it.
  void PrepareFor(const std::string& url) override;

 private:
  GObjectPtr<SoupSession> session_;
};

}  // namespace lumora::gtk
