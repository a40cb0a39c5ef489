#pragma once

#include <string>

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/Http.h"

namespace lumora {

// Reads a text resource of the content server while the main loop keeps running.
class ServerFetch {
 public:
  ServerFetch(HttpClient& http, EventLoop& loop, const Clock& clock)
      : http_(http), loop_(loop), clock_(clock) {}

  // The body of the answer, whatever its status, decoded from GBK; the empty text when no answer
  // came in time. Time is counted in whole wall-clock seconds: the request is given up once the
  // seconds count is more than 3 past the start, 3 to 4 seconds after it. Other handlers,
  // including another FetchText, run during the wait.
  std::string FetchText(const std::string& url);

 private:
  HttpClient& http_;
  EventLoop& loop_;
  const Clock& clock_;
};

}  // namespace lumora
