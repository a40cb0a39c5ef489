#include "core/JsEscape.h"

#include <optional>

#include "core/TextCodec.h"

namespace lumora {
namespace {

bool KeptByEscape(char16_t unit) {
  return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z') ||
         (unit >= u'0' && unit <= u'9') ||
         std::u16string_view(u"@*_+-./").find(unit) != std::u16string_view::npos;
}

void AppendHex(std::string& out, unsigned value, int digits) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

std::optional<unsigned> HexValue(std::u16string_view text, size_t at, size_t digits) {
  if (at + digits > text.size()) return std::nullopt;
  unsigned value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    char16_t c = text[i];
    unsigned digit = c >= u'0' && c <= u'9'   ? c - u'0'
                     : c >= u'a' && c <= u'f' ? c - u'a' + 10
                     : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                              : 16;
    if (digit == 16) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace

std::string JsEscape(std::string_view text) {
  std::string out;
  for (char16_t unit : Utf8ToUtf16(text)) {
    if (KeptByEscape(unit)) {
      out += static_cast<char>(unit);
    } else if (unit < 256) {
      out += '%';
      AppendHex(out, unit, 2);
    } else {
      out += "%u";
      AppendHex(out, unit, 4);
    }
  }
  return out;
}

std::string JsUnescape(std::string_view text) {
  std::u16string units = Utf8ToUtf16(text);
  std::u16string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'%') {
      bool wide = i + 1 < units.size() && units[i + 1] == u'u';
      if (auto value = wide ? HexValue(units, i + 2, 4) : HexValue(units, i + 1, 2)) {
        out += static_cast<char16_t>(*value);
        i += wide ? 5 : 2;
        continue;
      }
    }
    out += units[i];
  }
  return Utf16ToUtf8(out);
}

}  // namespace lumora
