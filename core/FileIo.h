#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

inline constexpr std::string_view kCrLf = "\r\n";

// The whole file as bytes, or nothing when it cannot be read; then failure, when given, holds the
// system's reason.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path,
                                         std::string* failure = nullptr);

// Replaces the file with bytes through a temporary file and a rename in the same directory, so a
// crash leaves either the old file or the new one, never half of one. Through a symbolic link the
// file it names is replaced, in its own directory, and the link stays. False when it failed; the
// old file is then untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Told of each failed write: the file and the system's reason.
using WriteFailureHandler =
    std::function<void(const std::filesystem::path& file, const std::string& reason)>;
// Sets the one handler of failed writes; an empty one stops the reports.
void OnWriteFailure(WriteFailureHandler handler);

// Removes the temporary files that WriteFileAtomically leaves for these names in dir when the
// process is killed in the middle of a write. Only the process that owns dir may call it.
void RemoveLeftoverTemporaries(const std::filesystem::path& dir,
                               const std::vector<std::string_view>& names);

// Splits text into lines ended by CR LF, a lone LF or a lone CR. A final line end does not start
// another line, so "a\r\n" is one line and "\r\n" is one empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Splits on every occurrence of separator; "" gives one empty field.
std::vector<std::string_view> SplitFields(std::string_view text, std::string_view separator);

// Field number index, or the empty text when there are fewer fields.
std::string_view FieldOrEmpty(const std::vector<std::string_view>& fields, size_t index);

}  // namespace lumora
