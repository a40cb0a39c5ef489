#pragma once

#include <string>

namespace lumora {

// Without one final "/", if there is one.
std::string WithoutTrailingSlash(std::string text);

}  // namespace lumora
