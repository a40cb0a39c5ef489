#include "core/WebAddress.h"

#include "core/AsciiText.h"

namespace lumora {

bool IsWebAddress(std::string_view address) {
  return StartsWithIgnoringCase(address, "http://") || StartsWithIgnoringCase(address, "https://");
}

bool OpenWebAddress(Desktop& desktop, const std::string& address) {
  if (!IsWebAddress(address)) return false;
  desktop.OpenAddress(address);
  return true;
}

}  // namespace lumora
