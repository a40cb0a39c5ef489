#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <optional>
#include <vector>

#include "tests/support/TempDir.h"

namespace lumora::test {

// An environment variable set for as long as this lives; programs started meanwhile inherit it.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = getenv(name)) saved_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() { saved_ ? setenv(name_, saved_->c_str(), 1) : unsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// The system's data folders, which stay readable (schemas, icons) below a test's own.
inline std::string SystemDataDirs() {
  const char* system = getenv("XDG_DATA_DIRS");
  return system && *system ? system : "/usr/local/share:/usr/share";
}

// The user's default handler for http and https addresses, as a desktop sees it: a script that
// writes every address it is started with to a file, one a line, registered in XDG data and
// config folders of its own. While it lives, the environment points at those folders, so a
// program started then opens web addresses with it (through GIO) instead of a browser. Make it
// before starting the program.
class FakeWebHandler {
 public:
  FakeWebHandler() {
    std::filesystem::path script = dir_ / "open-web-address.sh";
    dir_.Write("open-web-address.sh", "#!/bin/sh\nenv | grep -E '^(GDK_GL|WEBKIT_[A-Z_]+)=' >> '" +
                                          (dir_ / "inherited").string() +
                                          "'\nprintf '%s\\n' \"$@\" >> '" +
                                          (dir_ / "opened").string() + "'\n");
    chmod(script.c_str(), 0755);
    std::filesystem::create_directories(dir_ / "data/applications");
    std::filesystem::create_directories(dir_ / "config");
    dir_.Write("data/applications/lumora-test-web.desktop",
               "[Desktop Entry]\nType=Application\nName=Test web handler\nNoDisplay=true\n"
               "Exec=" +
                   script.string() +
                   " %u\n"
                   "MimeType=x-scheme-handler/http;x-scheme-handler/https;\n");
    dir_.Write("config/mimeapps.list",
               "[Default Applications]\nx-scheme-handler/http=lumora-test-web.desktop\n"
               "x-scheme-handler/https=lumora-test-web.desktop\n");
  }

  // The graphics settings the handler found in its environment, one a line.
  std::string Inherited() const { return dir_.Exists("inherited") ? dir_.Read("inherited") : ""; }

  // The addresses opened so far, in order; a line still being written is left out.
  std::vector<std::string> Opened() const {
    std::vector<std::string> lines;
    std::string text = dir_.Exists("opened") ? dir_.Read("opened") : "";
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

 private:
  TempDir dir_;
  ScopedVariable dataHome_{"XDG_DATA_HOME", (dir_ / "data").string()};
  ScopedVariable configHome_{"XDG_CONFIG_HOME", (dir_ / "config").string()};
  ScopedVariable dataDirs_{"XDG_DATA_DIRS", (dir_ / "data").string() + ":" + SystemDataDirs()};
};

}  // namespace lumora::test
