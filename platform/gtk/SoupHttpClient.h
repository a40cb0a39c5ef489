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

 private:
  GObjectPtr<SoupSession> session_;
};

}  // namespace lumora::gtk
