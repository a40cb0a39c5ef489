// The demo server's request parser on whatever a client sends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/HttpMessage.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view received(reinterpret_cast<const char*>(data), size);
  std::optional<size_t> end = RequestHeadEnd(received);
  if (!end) return 0;
  if (*end > received.size()) std::abort();
  std::optional<RequestLine> request = ParseRequestHead(received.substr(0, *end));
  if (request) {
    if (request->Path().size() + request->Query().size() > request->target.size()) std::abort();
    // A part is never empty nor more than the whole.
    HttpResponse part = PartAsked({200, "text/plain", "0123456789", {}}, request->range);
    if (part.status == 206 && (part.body.empty() || part.body.size() > 10)) std::abort();
  }
  return 0;
}
