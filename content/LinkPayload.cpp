#include "content/LinkPayload.h"

namespace lumora {

std::string RemoveAll(std::string_view url, std::string_view scheme) {
  std::string rest;
  size_t start = 0;
  for (size_t at = url.find(scheme); at != std::string_view::npos; at = url.find(scheme, start)) {
    rest.append(url.substr(start, at - start));
    start = at + scheme.size();
  }
  rest.append(url.substr(start));
  return rest;
}

std::string WithoutTrailingSlash(std::string text) {
  if (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace lumora
