#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace lumora {

// Tells the user, once a run, that a file could not be written (a read-only folder, a full
// disk), naming the file and the system's reason; later failures stay quiet. The box comes from
// the main loop, not from inside the handler whose write failed.
class WriteFailureNotice {
 public:
  using Owner = std::function<TopWindow*()>;

  WriteFailureNotice(Platform& platform, Owner owner);
  ~WriteFailureNotice();
  WriteFailureNotice(const WriteFailureNotice&) = delete;
  WriteFailureNotice& operator=(const WriteFailureNotice&) = delete;

 private:
  void OnFailure(const std::filesystem::path& file, const std::string& reason);
  void Show();

  Platform& platform_;
  Owner owner_;
  std::unique_ptr<Timer> timer_;
  std::string text_;
  bool told_ = false;
};

}  // namespace lumora
