#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace lumora {

// What a GET brought back: the raw body bytes of whatever status the server answered, or
// nothing when no complete answer arrived (bad address, network failure, body too large).
struct HttpResult {
  bool complete = false;
  int status = 0;
  std::string body;
};

// A GET under way. Destroying it abandons the request; its callback is then never called.
class HttpRequest {
 public:
  virtual ~HttpRequest() = default;
};

class HttpClient {
 public:
  // Bodies above this size are abandoned so memory stays bounded.
  static constexpr std::size_t kMaxBodyBytes = 16u * 1024u * 1024u;

  virtual ~HttpClient() = default;
  // Starts an asynchronous GET with no request headers of our own. onDone runs later on the main
  // loop, exactly once, unless the returned request is destroyed first.
  virtual std::unique_ptr<HttpRequest> Get(const std::string& url,
                                           std::function<void(HttpResult)> onDone) = 0;
  // Readies what the first GET to url would otherwise wait for (the system's proxy settings),
  // in the background; it sends nothing.
  virtual void PrepareFor(const std::string& url) = 0;
};

}  // namespace lumora
