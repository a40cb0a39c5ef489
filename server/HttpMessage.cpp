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
  return RequestLine{std::string(parts[0]), std::string(parts[1])};
}

bool IsHeaderLine(std::string_view line) {
  size_t colon = line.find(':');
  return colon != std::string_view::npos && IsToken(line.substr(0, colon));
}

std::string_view ReasonPhrase(int status) {
  static constexpr std::array<std::pair<int, std::string_view>, 4> kPhrases{{
      {200, "OK"},
      {400, "Bad Request"},
      {404, "Not Found"},
      {405, "Method Not Allowed"},
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
  if (!std::all_of(lines.begin() + 1, lines.end(), IsHeaderLine)) return std::nullopt;
  return ParseRequestLine(lines.front());
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
