// The play list and its page: any bytes as date.dat, then a play, a read-back and a removal.
// Every entry the list holds afterwards has seven fields, and the newest is the one played.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "content/HistoryPage.h"
#include "content/HistoryStore.h"
#include "core/FileIo.h"
#include "tests/fuzz/ScratchFolder.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = ScratchFolder();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  HistoryPage page(folder, nullptr);
  HistoryStore store(folder, page);
  if (!WriteFileAtomically(folder / "date.dat", bytes)) std::abort();
  page.WriteHistoryPage("date.dat");
  // The title, extra text and argument come from pages and the server: use the input's start.
  std::string piece = bytes.substr(0, 24);
  if (!store.AppendHistory(42, piece, piece, piece, 1, 2, 0)) std::abort();
  std::optional<std::string> newest = store.ReadEntry(1);
  if (!newest || SplitFields(*newest, "|").size() != 7 || !newest->starts_with("42|")) std::abort();
  store.ReadEntry(static_cast<int32_t>(size % 7));
  if (!store.RemoveHistory("date.dat", static_cast<int32_t>(size % 5))) std::abort();
  return 0;
}
