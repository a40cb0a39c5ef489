#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lumora {

// The request line of an HTTP/1.x request. The target is kept exactly as received: the program's
// pages put escape()'s "%uXXXX" into queries, which strict address parsers refuse.
struct RequestLine {
  std::string method;
  std::string target;
  // The Range header's value, "" without one: the web engine's media player asks for parts.
  std::string range;

  // The target before the first "?".
  std::string_view Path() const;
  // The target after the first "?", "" when there is none.
  std::string_view Query() const;
};

struct HttpResponse {
  int status = 200;
  std::string contentType;
  std::string body;
  // Header lines beyond the ones every response has, as name and value.
  std::vector<std::pair<std::string, std::string>> headers;
};

// The largest request head accepted, its closing blank line included.
inline constexpr size_t kMaxRequestHeadBytes = 16 * 1024;

// Where the head ends (just past its blank line) in what has arrived so far; nothing until then.
std::optional<size_t> RequestHeadEnd(std::string_view received);

// The request that a head, blank line included, asks for; nothing when the head is malformed.
// Header lines are checked for form; of their values only Range is read.
std::optional<RequestLine> ParseRequestHead(std::string_view head);

// The part of a whole 200 answer that a Range value asks for: 206 with that part, for one range
// ("bytes=first-last", "bytes=first-", "bytes=-suffix"), 416 when it asks for no byte of it. Any
// other value, several ranges among them, leaves the whole answer.
HttpResponse PartAsked(HttpResponse whole, std::string_view range);

// The response on the wire for a connection that closes after it; the body is left out when the
// request asked for the head only.
std::string SerializeResponse(const HttpResponse& response, bool withBody);

}  // namespace lumora
