// escape()/unescape() and the GBK codec on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/JsEscape.h"
#include "core/TextCodec.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
#ifdef LUMORA_FUZZ_ESCAPE
  std::string text = Utf16ToUtf8(Utf8ToUtf16(bytes));  // valid UTF-8
  if (JsUnescape(JsEscape(text)) != text) std::abort();
  JsEscape(JsUnescape(bytes));
#else
  std::string utf8 = GbkToUtf8(bytes);
  std::string gbk = Utf8ToGbk(utf8);
  // Whatever GBK could decode, it encodes back to a form that decodes the same.
  if (GbkToUtf8(gbk) != GbkToUtf8(Utf8ToGbk(GbkToUtf8(gbk)))) std::abort();
  std::string cut = CutToGbkBytes(utf8, size / 2);
  if (Utf8ToGbk(cut).size() > size / 2) std::abort();
#endif
  return 0;
}
