#include "content/LinkPayload.h"

namespace lumora {

std::string WithoutTrailingSlash(std::string text) {
  if (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace lumora
