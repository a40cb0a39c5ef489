#include "core/FileIo.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace lumora {
namespace {

// A temporary file is "." + name + "." + six characters that mkstemp picks.
constexpr std::string_view kTemporaryTail = "XXXXXX";
// As many links as the system follows in one path before it gives up (ELOOP).
constexpr int kMostLinksFollowed = 40;

// Built by appending: GCC 12 at -O3 misreads the overlap of an insert at the front of a string
// (-Wrestrict).
std::string TemporaryPrefix(std::string_view name) {
  std::string prefix = ".";
  prefix += name;
  prefix += '.';
  return prefix;
}

bool IsTemporaryOf(std::string_view file, std::string_view name) {
  std::string prefix = TemporaryPrefix(name);
  return file.size() == prefix.size() + kTemporaryTail.size() && file.starts_with(prefix);
}

WriteFailureHandler& FailureHandler() {
  static WriteFailureHandler handler;
  return handler;
}

bool ReportFailure(const std::filesystem::path& path, int error) {
  if (FailureHandler()) FailureHandler()(path, std::strerror(error));
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// The file a path names once symbolic links are followed, a relative link from its own folder; the
// path itself when it is no link. Nothing when the links go round.
std::optional<std::filesystem::path> ThroughLinks(std::filesystem::path path) {
  std::error_code error;
  for (int followed = 0; std::filesystem::is_symlink(path, error); ++followed) {
    if (followed == kMostLinksFollowed) return std::nullopt;
    std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    path = path.parent_path() / target;
  }
  return path;
}

}  // namespace

void OnWriteFailure(WriteFailureHandler handler) {
  FailureHandler() = std::move(handler);
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::string* failure) {
  auto fail = [failure](int error) {
    if (failure) *failure = std::strerror(error);
    return std::nullopt;
  };
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(errno);
  std::string bytes;
  char buffer[65536];
  ssize_t got = 0;
  do {
    got = read(fd, buffer, sizeof buffer);
    if (got > 0) bytes.append(buffer, static_cast<size_t>(got));
  } while (got > 0 || (got < 0 && errno == EINTR));
  int error = errno;
  close(fd);
  // A directory opens but cannot be read (EISDIR): that is a failure, not an empty file.
  if (got < 0) return fail(error);
  return bytes;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  // A link stays a link: the bytes replace the file it names, beside which the temporary is made.
  std::optional<std::filesystem::path> target = ThroughLinks(path);
  if (!target) return ReportFailure(path, ELOOP);
  std::string name = TemporaryPrefix(target->filename().string());
  name += kTemporaryTail;
  std::string temp = (target->parent_path() / name).string();
  int fd = mkstemp(temp.data());
  if (fd < 0) return ReportFailure(path, errno);
  struct stat existing;
  mode_t mode = stat(target->c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temp.c_str(), target->c_str()) == 0) return true;
  int error = errno;
  unlink(temp.c_str());
  return ReportFailure(path, error);
}

void RemoveLeftoverTemporaries(const std::filesystem::path& dir,
                               const std::vector<std::string_view>& names) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    std::string file = entry.path().filename().string();
    for (std::string_view name : names) {
      if (IsTemporaryOf(file, name) && entry.is_regular_file(error)) {
        std::filesystem::remove(entry.path(), error);
      }
    }
  }
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, kCrLf) == 0 ? 2 : 1);
  }
  return lines;
}

std::vector<std::string_view> SplitFields(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    fields.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  fields.push_back(text.substr(start));
  return fields;
}

std::string_view FieldOrEmpty(const std::vector<std::string_view>& fields, size_t index) {
  return index < fields.size() ? fields[index] : std::string_view();
}

}  // namespace lumora
