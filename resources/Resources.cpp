#include "resources/Resources.h"

#include <algorithm>

#include "resources/EmbeddedFiles.h"

namespace lumora {

std::string_view ResourceBytes(std::string_view name) {
  std::span<const EmbeddedFile> files = EmbeddedFiles();
  auto file = std::ranges::find(files, name, &EmbeddedFile::name);
  if (file == files.end()) return {};
  return {reinterpret_cast<const char*>(file->data), file->size};
}

}  // namespace lumora
