#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

// The settings file "config.dll": INI text in GBK with CR LF line ends. Section and key names
// match without regard to case; blanks around names and values are not part of them. A bare
// "name" line inside a section is that key with no value: it reads as missing, and writing the
// key turns that line into "name=value".

// The value of [section] key, cut to 254 bytes of its GBK form; defaultValue when the file,
// the section or the key is missing. A key present with an empty value gives "".
std::string IniRead(const std::filesystem::path& file, std::string_view section,
                    std::string_view key, std::string_view defaultValue);

// Writes [section] key = value, creating the file, the section (at the end) and the key as
// needed; every other line stays as it was. False when the file could not be written.
bool IniWrite(const std::filesystem::path& file, std::string_view section, std::string_view key,
              std::string_view value);

// The INI text itself, on GBK bytes, so that untouched lines keep their exact bytes.
class IniText {
 public:
  explicit IniText(std::string bytes) : bytes_(std::move(bytes)) {}

  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace lumora
