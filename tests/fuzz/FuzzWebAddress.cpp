// Addresses handed to the desktop on arbitrary bytes: whatever is accepted comes out as an http
// or https URI of URI characters only, which reads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "core/WebAddress.h"

using namespace lumora;

namespace {

constexpr std::string_view kUriCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~:/?#[]@!$&'()*+,;=%";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view address(reinterpret_cast<const char*>(data), size);
  std::optional<std::string> normal = NormalizedWebAddress(address);
  if (!normal) return 0;
  if (!normal->starts_with("http://") && !normal->starts_with("https://")) std::abort();
  if (normal->find_first_not_of(kUriCharacters) != std::string::npos) std::abort();
  if (NormalizedWebAddress(*normal) != normal) std::abort();
  return 0;
}
