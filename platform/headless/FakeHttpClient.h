#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Http.h"
#include "platform/headless/VirtualTime.h"

namespace lumora::headless {

// Records every GET; a test answers them, and the answer arrives on the virtual loop.
class FakeHttpClient : public HttpClient {
 public:
  explicit FakeHttpClient(VirtualTime& loop) : loop_(loop) {}

  std::unique_ptr<HttpRequest> Get(const std::string& url,
                                   std::function<void(HttpResult)> onDone) override;
  // A fake request waits for nothing.
  void PrepareFor(const std::string&) override {}

  // Every URL asked for, in order.
  std::vector<std::string> RequestedUrls() const;
  // True while request number index is neither answered nor abandoned.
  bool IsPending(size_t index) const;
  // Delivers result to request number index after delay, unless it is abandoned by then.
  void Answer(size_t index, HttpResult result, std::chrono::milliseconds delay = {});

 private:
  struct Pending {
    std::string url;
    std::function<void(HttpResult)> onDone;
    bool finished = false;
  };

  VirtualTime& loop_;
  std::vector<std::shared_ptr<Pending>> requests_;
};

}  // namespace lumora::headless
