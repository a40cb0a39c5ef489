#include "core/TextCodec.h"

#include <errno.h>
#include <iconv.h>

#include <array>
#include <stdexcept>

namespace lumora {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";
constexpr char16_t kReplacementUtf16 = 0xFFFD;

// One conversion descriptor per direction, opened once and reset before every use.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts input; at every unconvertible sequence calls onError(remaining input) which returns
  // how many input bytes to skip and appends its own replacement.
  template <typename OnError>
  std::string Convert(std::string_view input, OnError onError) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(input.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    std::array<char, 4096> buffer;
    while (inLeft > 0) {
      char* outPtr = buffer.data();
      size_t outLeft = buffer.size();
      size_t result = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
      if (result != static_cast<size_t>(-1) || errno == E2BIG) continue;
      size_t skip = onError(std::string_view(in, inLeft), out);
      in += skip;
      inLeft -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

Converter& GbkDecoder() {
  static Converter converter("UTF-8", "GBK");
  return converter;
}

Converter& GbkEncoder() {
  static Converter converter("GBK", "UTF-8");
  return converter;
}

// Decodes one code point at the front of text; returns U+FFFD and consumes one byte when the
// bytes are not well-formed UTF-8.
char32_t DecodeUtf8(std::string_view text, size_t& consumed) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  consumed = 1;
  if (lead < 0x80) return lead;
  size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (lead > 0xF4 || length == 0 || length > text.size()) return 0xFFFD;
  char32_t value = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    unsigned char next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0xFFFD;
    value = (value << 6) | (next & 0x3F);
  }
  static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0xFFFD;
  }
  consumed = length;
  return value;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  return GbkDecoder().Convert(gbk, [](std::string_view, std::string& out) {
    out += kReplacementUtf8;
    return size_t{1};
  });
}

std::string Utf8ToGbk(std::string_view utf8) {
  return GbkEncoder().Convert(utf8, [](std::string_view rest, std::string& out) {
    out += '?';
    size_t consumed = 0;
    DecodeUtf8(rest, consumed);
    return consumed;
  });
}

std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes) {
  size_t bytes = 0;
  size_t at = 0;
  while (at < utf8.size()) {
    size_t consumed = 0;
    DecodeUtf8(utf8.substr(at), consumed);
    size_t width = Utf8ToGbk(utf8.substr(at, consumed)).size();
    if (bytes + width > maxBytes) break;
    bytes += width;
    at += consumed;
  }
  return std::string(utf8.substr(0, at));
}

bool IsDoubleByteInGbk(char32_t codePoint) {
  if (codePoint < 0x80 || codePoint > 0xFFFF) return false;
  std::string utf8;
  AppendUtf8(utf8, codePoint);
  return Utf8ToGbk(utf8).size() == 2;
}

std::string Utf8Prefix(std::string_view utf8, size_t maxCharacters) {
  std::string_view rest = utf8;
  for (size_t count = 0; count < maxCharacters && !rest.empty(); ++count) {
    size_t consumed = 0;
    DecodeUtf8(rest, consumed);
    rest.remove_prefix(consumed);
  }
  return std::string(utf8.substr(0, utf8.size() - rest.size()));
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    size_t consumed = 0;
    char32_t c = DecodeUtf8(utf8, consumed);
    utf8.remove_prefix(consumed);
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char16_t unit = utf16[i];
    bool high = unit >= 0xD800 && unit <= 0xDBFF;
    bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, high || low ? kReplacementUtf16 : unit);
    }
  }
  return out;
}

}  // namespace lumora
