#include "core/WebAddress.h"

#include <charconv>

#include "core/AsciiText.h"

namespace lumora {
namespace {

constexpr std::string_view kSchemeEnd = "://";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr int kHighestPort = 65535;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsControl(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7F;
}

bool IsUnreservedOrSubDelimiter(char c) {
  return IsLetter(c) || IsDigit(c) ||
         std::string_view("-._~!$&'()*+,;=").find(c) != std::string_view::npos;
}

// What a host name may hold as it is.
bool IsHostChar(char c) {
  return IsUnreservedOrSubDelimiter(c);
}

bool IsUserInfoChar(char c) {
  return IsUnreservedOrSubDelimiter(c) || c == ':';
}

// What path, query and fragment may hold as they are; '#' only once, as the fragment's start.
bool IsPathChar(char c) {
  return IsUnreservedOrSubDelimiter(c) ||
         std::string_view(":@/?").find(c) != std::string_view::npos;
}

bool StartsEscape(std::string_view text, size_t at) {
  return at + 2 < text.size() && IsHexDigit(text[at + 1]) && IsHexDigit(text[at + 2]);
}

// Appends part with every character outside the allowed ones percent-encoded. False for a
// control character or a '%' that starts no escape.
bool AppendEncoded(std::string& out, std::string_view part, bool (*allowed)(char)) {
  for (size_t i = 0; i < part.size(); ++i) {
    char c = part[i];
    if (IsControl(c)) return false;
    if (c == '%') {
      if (!StartsEscape(part, i)) return false;
      out.append(part.substr(i, 3));
      i += 2;
    } else if (allowed(c)) {
      out += c;
    } else {
      unsigned char byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0xF];
    }
  }
  return true;
}

// ASCII letters in lower case, except in escapes, which stay as written.
std::string LowerCasedOutsideEscapes(std::string_view text) {
  std::string lower(text);
  for (size_t i = 0; i < lower.size(); ++i) {
    if (lower[i] == '%') {
      i += 2;
    } else if (lower[i] >= 'A' && lower[i] <= 'Z') {
      lower[i] = static_cast<char>(lower[i] - 'A' + 'a');
    }
  }
  return lower;
}

// An IPv6 or future address in brackets: only its hex digits, colons and dots.
bool IsIpLiteral(std::string_view host) {
  if (host.size() < 3 || host.front() != '[' || host.back() != ']') return false;
  for (char c : host.substr(1, host.size() - 2)) {
    if (!IsHexDigit(c) && c != ':' && c != '.') return false;
  }
  return true;
}

// Digits naming a port, or none at all ("host:" is the default port).
bool IsPort(std::string_view port) {
  if (port.empty()) return true;
  int value = 0;
  auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
  return IsDigit(port.front()) && error == std::errc() && end == port.data() + port.size() &&
         value <= kHighestPort;
}

// Appends host and port, the host in lower case; false when either is bad or the host is empty.
bool AppendHostAndPort(std::string& out, std::string_view hostAndPort) {
  size_t hostEnd = hostAndPort.starts_with('[') ? hostAndPort.find(']') + 1 : hostAndPort.find(':');
  if (hostEnd == 0) return false;  // no host, or a bracket that is never closed
  std::string_view host = hostAndPort.substr(0, hostEnd);
  std::string_view rest = hostEnd < hostAndPort.size() ? hostAndPort.substr(hostEnd) : "";
  if (host.empty() || (!rest.empty() && rest.front() != ':')) return false;
  std::string_view port = rest.empty() ? rest : rest.substr(1);
  if (!IsPort(port)) return false;
  std::string encodedHost;
  if (host.front() == '[') {
    if (!IsIpLiteral(host)) return false;
    encodedHost = host;
  } else if (!AppendEncoded(encodedHost, host, IsHostChar)) {
    return false;
  }
  out += LowerCasedOutsideEscapes(encodedHost);
  out.append(rest);
  return true;
}

// Appends the authority: user information when there is some, then host and port.
bool AppendAuthority(std::string& out, std::string_view authority) {
  size_t at = authority.rfind('@');
  if (at != authority.npos) {
    if (!AppendEncoded(out, authority.substr(0, at), IsUserInfoChar)) return false;
    out += '@';
    authority.remove_prefix(at + 1);
  }
  return AppendHostAndPort(out, authority);
}

// Appends path and query, then the fragment after the first '#'.
bool AppendPathQueryAndFragment(std::string& out, std::string_view rest) {
  size_t hash = rest.find('#');
  if (!AppendEncoded(out, rest.substr(0, hash), IsPathChar)) return false;
  if (hash == rest.npos) return true;
  out += '#';
  return AppendEncoded(out, rest.substr(hash + 1), IsPathChar);
}

}  // namespace

std::optional<std::string> NormalizedWebAddress(std::string_view address) {
  size_t schemeEnd = address.find(kSchemeEnd);
  if (schemeEnd == address.npos) return std::nullopt;
  std::string_view scheme = address.substr(0, schemeEnd);
  if (!EqualsIgnoringCase(scheme, "http") && !EqualsIgnoringCase(scheme, "https")) {
    return std::nullopt;
  }
  std::string normal = LowerCasedOutsideEscapes(scheme);
  normal += kSchemeEnd;
  std::string_view rest = address.substr(schemeEnd + kSchemeEnd.size());
  size_t authorityEnd = rest.find_first_of("/?#");
  if (!AppendAuthority(normal, rest.substr(0, authorityEnd))) return std::nullopt;
  if (authorityEnd != rest.npos && !AppendPathQueryAndFragment(normal, rest.substr(authorityEnd))) {
    return std::nullopt;
  }
  return normal;
}

bool IsWebAddress(std::string_view address) {
  return NormalizedWebAddress(address).has_value();
}

bool OpenWebAddress(Desktop& desktop, const std::string& address) {
  std::optional<std::string> normal = NormalizedWebAddress(address);
  if (!normal) return false;
  desktop.OpenAddress(*normal);
  return true;
}

}  // namespace lumora
