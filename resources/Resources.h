#pragma once

#include <string_view>

namespace lumora {

// The bytes of a file compiled into the program from resources/images ("101.png", "i.gif",
// "2x/101.png", ...); empty when there is no such file.
std::string_view ResourceBytes(std::string_view name);

}  // namespace lumora
