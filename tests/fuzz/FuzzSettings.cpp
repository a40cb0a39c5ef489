// The settings file: any bytes as config.dll, read, written back key by key and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Settings.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  IniText text(bytes);
  const char* keys[][2] = {{"S_q", "ts"}, {"s_q", "H_W"}, {"User", "Name"}, {"main", "Name"}};
  for (const auto& key : keys) text.Find(key[0], key[1]);
  // A value written is the value read, whatever the file held around it.
  text.Set("S_q", "h_w", "14850");
  text.Set("New", "key", "v");
  std::optional<std::string> h = text.Find("s_q", "h_w");
  std::optional<std::string> v = text.Find("new", "KEY");
  if (!h || *h != "14850" || !v || *v != "v") std::abort();
  return 0;
}
