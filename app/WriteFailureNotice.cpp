#include "app/WriteFailureNotice.h"

#include <utility>

#include "core/FileIo.h"

namespace lumora {

WriteFailureNotice::WriteFailureNotice(Platform& platform, Owner owner)
    : platform_(platform), owner_(std::move(owner)), timer_(platform.CreateTimer()) {
  timer_->SetInterval(std::chrono::milliseconds(1));
  timer_->onTick = [this] { Show(); };
  OnWriteFailure([this](const std::filesystem::path& file, const std::string& reason) {
    OnFailure(file, reason);
  });
}

WriteFailureNotice::~WriteFailureNotice() {
  OnWriteFailure(nullptr);
}

void WriteFailureNotice::OnFailure(const std::filesystem::path& file, const std::string& reason) {
  if (std::exchange(told_, true)) return;
  text_ = "无法保存文件 " + file.string() + "：" + reason;
  timer_->SetEnabled(true);
}

void WriteFailureNotice::Show() {
  timer_->SetEnabled(false);
  platform_.GetDesktop().ShowMessage(owner_(), text_, "提示：", MessageButtons::Ok,
                                     MessageIcon::Warning);
}

}  // namespace lumora
