#pragma once

#include <string>
#include <string_view>

namespace lumora {

// Files and server texts are GBK (code page 936); inside the program text is UTF-8.
// All conversions between the two live here.

// Bytes that are not valid GBK become U+FFFD; never fails.
std::string GbkToUtf8(std::string_view gbk);
// Characters GBK cannot encode become "?", as the systems served do it.
std::string Utf8ToGbk(std::string_view utf8);
// The longest start of the text whose GBK form fits maxBytes, never cutting a character.
std::string CutToGbkBytes(std::string_view utf8, size_t maxBytes);
// The first maxCharacters characters of the text, and the text whole when it is not longer.
std::string Utf8Prefix(std::string_view utf8, size_t maxCharacters);
// True when GBK encodes the code point in two bytes (a "double-width" character).
bool IsDoubleByteInGbk(char32_t codePoint);

// UTF-16 code units, as script engines see text. Invalid UTF-8 becomes U+FFFD; lone surrogates
// on the way back become U+FFFD as well.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace lumora
