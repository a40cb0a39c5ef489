#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace lumora {

// One file of resources/images as the build compiled it in.
struct EmbeddedFile {
  std::string_view name;
  const unsigned char* data;
  std::size_t size;
};

// All of them; defined by the source file the build writes from the images (EmbedFiles.cmake).
std::span<const EmbeddedFile> EmbeddedFiles();

}  // namespace lumora
