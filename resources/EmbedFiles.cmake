# Writes a C++ source holding the bytes of some files, for EmbeddedFiles.h.
#   cmake -DSOURCE_DIR=<folder> -DNAMES=<name;name;...> -DOUTPUT=<file.cpp> -P EmbedFiles.cmake
# NAMES are paths relative to SOURCE_DIR and become the names the program asks for.

if(NOT SOURCE_DIR OR NOT NAMES OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedFiles.cmake needs SOURCE_DIR, NAMES and OUTPUT")
endif()

set(arrays "")
set(entries "")
set(index 0)
foreach(name IN LISTS NAMES)
  file(READ "${SOURCE_DIR}/${name}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  # Sixteen bytes to a line; a closing zero keeps even an empty file's array valid C++.
  string(REGEX REPLACE "(................................)" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char kFile${index}[] = {\n${bytes}0x00};\n")
  string(APPEND entries "    {\"${name}\", kFile${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

set(source "// Written by EmbedFiles.cmake from the files in ${SOURCE_DIR}. Do not edit.
#include \"resources/EmbeddedFiles.h\"

namespace lumora {
namespace {

${arrays}
const EmbeddedFile kFiles[] = {
${entries}};

}  // namespace

std::span<const EmbeddedFile> EmbeddedFiles() { return kFiles; }

}  // namespace lumora
")

file(WRITE "${OUTPUT}" "${source}")
