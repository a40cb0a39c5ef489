#pragma once

#include <string>
#include <string_view>

namespace lumora {

// The link with every occurrence of scheme removed (not only a leading one).
std::string RemoveAll(std::string_view url, std::string_view scheme);
// Without one final "/", if there is one.
std::string WithoutTrailingSlash(std::string text);

}  // namespace lumora
