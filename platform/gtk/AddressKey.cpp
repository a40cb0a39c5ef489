#include "platform/gtk/AddressKey.h"

#include <glib.h>

namespace lumora::gtk {
namespace {

std::string Lower(const char* text) {
  if (!text) return {};
  g_autofree char* lowered = g_ascii_strdown(text, -1);
  return lowered;
}

// Percent-decoded where the text decodes cleanly, else as written.
std::string Decoded(const char* text) {
  if (!text) return {};
  g_autofree char* decoded = g_uri_unescape_string(text, nullptr);
  return decoded ? decoded : text;
}

std::string LowerScheme(const std::string& address) {
  const char* scheme = g_uri_peek_scheme(address.c_str());
  if (!scheme) return address;
  std::string key(scheme);
  return key + address.substr(key.size());
}

}  // namespace

std::string AddressKey(const std::string& address) {
  g_autoptr(GUri) uri =
      g_uri_parse(address.c_str(),
                  static_cast<GUriFlags>(G_URI_FLAGS_PARSE_RELAXED | G_URI_FLAGS_ENCODED |
                                         G_URI_FLAGS_SCHEME_NORMALIZE),
                  nullptr);
  if (!uri) return LowerScheme(address);
  std::string key = Lower(g_uri_get_scheme(uri));
  key += '\n' + Decoded(g_uri_get_userinfo(uri));
  key += '\n' + Lower(g_uri_get_host(uri));
  key += '\n' + std::to_string(g_uri_get_port(uri));
  key += '\n' + Decoded(g_uri_get_path(uri));
  key += '\n' + Decoded(g_uri_get_query(uri));
  key += '\n' + Decoded(g_uri_get_fragment(uri));
  return key;
}

}  // namespace lumora::gtk
