#pragma once

#include <string>
#include <string_view>

namespace lumora {

// The ECMAScript global functions escape() and unescape(), applied to the text's UTF-16 code
// units; characters outside the BMP are escaped as two "%uXXXX".
std::string JsEscape(std::string_view text);
std::string JsUnescape(std::string_view text);

}  // namespace lumora
