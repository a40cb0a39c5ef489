#include "server/HttpMessage.h"

#include <algorithm>
#include <array>

#include "core/FileIo.h"

namespace lumora {
namespace {

constexpr std::string_view kBlankLine = "\r\n\r\n";

bool IsTokenChar(char c) {
  constexpr std::string_view kPunctuation = "!#$%&'*+-.^_`|~";
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         kPunctuation.find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsTokenChar);
}

// Any byte but controls and space: a stray "%" or raw UTF-8 is the handler's business.
bool IsTargetChar(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte > ' ' && byte != 0x7F;
}

bool IsOriginFormTarget(std::string_view target) {
  return target.starts_with('/') && std::all_of(target.begin(), target.end(), IsTargetChar);
}

bool IsHttp1Version(std::string_view version) {
  return version.size() == 8 && version.starts_with("HTTP/1.") && version[7] >= '0' &&
         version[7] <= '9';
}

std::optional<RequestLine> ParseRequestLine(std::string_view line) {
  std::vector<std::string_view> parts = SplitFields(line, " ");
  if (parts.size() != 3 || !IsToken(parts[0]) || !IsOriginFormTarget(parts[1]) ||
      !IsHttp1Version(parts[2])) {
    return std::nullopt;
  }
  return RequestLine{std::string(parts[0]), std::string(parts[1]), {}};
}

bool IsHeaderLine(std::string_view line) {
  size_t colon = line.find(':');
  return colon != std::string_view::npos && IsToken(line.substr(0, colon));
}

std::string_view Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The value of the header with this lower-case name, "" when there is none.
std::string HeaderValue(const std::vector<std::string_view>& headerLines, std::string_view name) {
  for (std::string_view line : headerLines) {
    std::string_view field = line.substr(0, line.find(':'));
    bool same = field.size() == name.size() &&
                std::equal(field.begin(), field.end(), name.begin(), [](char a, char b) {
                  return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
                });
    if (same) return std::string(Trimmed(line.substr(field.size() + 1)));
  }
  return {};
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<size_t> Digits(std::string_view text) {
  if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), IsDigit)) {
    return std::nullopt;
  }
  size_t value = 0;
  for (char c : text) value = value * 10 + static_cast<size_t>(c - '0');
  return value;
}

struct ByteSpan {
  size_t first = 0;
  size_t last = 0;
};

// The bytes of a body of this size that a one-range "bytes=" value names; nothing for an empty
// span, an empty optional inside for a value of another form.
std::optional<std::optional<ByteSpan>> SpanAsked(std::string_view range, size_t size) {
  constexpr std::string_view kUnit = "bytes=";
  if (!range.starts_with(kUnit)) return std::nullopt;
  std::string_view bytes = range.substr(kUnit.size());
  size_t dash = bytes.find('-');
  if (dash == std::string_view::npos || bytes.find(',') != std::string_view::npos) {
    return std::nullopt;
  }
  std::optional<size_t> first = Digits(bytes.substr(0, dash));
  std::optional<size_t> last = Digits(bytes.substr(dash + 1));
  if (!first && last) {  // the last bytes
    if (*last == 0 || size == 0) return std::optional<ByteSpan>();
    return ByteSpan{size - std::min(*last, size), size - 1};
  }
  if (!first || (last && *last < *first) || (!last && dash + 1 != bytes.size())) {
    return std::nullopt;
  }
  if (*first >= size) return std::optional<ByteSpan>();
  return ByteSpan{*first, std::min(last.value_or(size - 1), size - 1)};
}

std::string_view ReasonPhrase(int status) {
  static constexpr std::array<std::pair<int, std::string_view>, 6> kPhrases{{
      {200, "OK"},
      {206, "Partial Content"},
      {400, "Bad Request"},
      {404, "Not Found"},
      {405, "Method Not Allowed"},
      {416, "Range Not Satisfiable"},
  }};
  for (const auto& [known, phrase] : kPhrases) {
    if (status == known) return phrase;
  }
  return "";
}

std::string HeaderLine(std::string_view name, std::string_view value) {
  return std::string(name) + ": " + std::string(value) + std::string(kCrLf);
}

}  // namespace

std::string_view RequestLine::Path() const {
  return std::string_view(target).substr(0, target.find('?'));
}

std::string_view RequestLine::Query() const {
  size_t mark = target.find('?');
  return mark == std::string::npos ? std::string_view() : std::string_view(target).substr(mark + 1);
}

std::optional<size_t> RequestHeadEnd(std::string_view received) {
  size_t blankLine = received.find(kBlankLine);
  if (blankLine == std::string_view::npos) return std::nullopt;
  return blankLine + kBlankLine.size();
}

std::optional<RequestLine> ParseRequestHead(std::string_view head) {
  if (!head.ends_with(kBlankLine)) return std::nullopt;
  std::vector<std::string_view> lines =
      SplitFields(head.substr(0, head.size() - kBlankLine.size()), kCrLf);
  std::vector<std::string_view> headerLines(lines.begin() + 1, lines.end());
  if (!std::all_of(headerLines.begin(), headerLines.end(), IsHeaderLine)) return std::nullopt;
  std::optional<RequestLine> request = ParseRequestLine(lines.front());
  if (request) request->range = HeaderValue(headerLines, "range");
  return request;
}

HttpResponse PartAsked(HttpResponse whole, std::string_view range) {
  std::optional<std::optional<ByteSpan>> asked = SpanAsked(range, whole.body.size());
  if (whole.status != 200 || !asked) return whole;
  std::string size = std::to_string(whole.body.size());
  if (!*asked) return {416, "text/plain", "", {{"Content-Range", "bytes */" + size}}};
  auto [first, last] = **asked;
  whole.status = 206;
  whole.body = whole.body.substr(first, last - first + 1);
  whole.headers.emplace_back(
      "Content-Range", "bytes " + std::to_string(first) + "-" + std::to_string(last) + "/" + size);
  return whole;
}

std::string SerializeResponse(const HttpResponse& response, bool withBody) {
  std::string wire = "HTTP/1.1 " + std::to_string(response.status) + " " +
                     std::string(ReasonPhrase(response.status)) + std::string(kCrLf);
  wire += HeaderLine("Content-Type", response.contentType);
  wire += HeaderLine("Content-Length", std::to_string(response.body.size()));
  for (const auto& [name, value] : response.headers) wire += HeaderLine(name, value);
  wire += HeaderLine("Connection", "close");
  wire += kCrLf;
  if (withBody) wire += response.body;
  return wire;
}

}  // namespace lumora
