#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace lumora::headless {

// One message box the program showed, and what it was answered.
struct ShownMessage {
  TopWindow* owner = nullptr;
  std::string text;
  std::string title;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  MessageAnswer answer = MessageAnswer::Ok;
  // False when no answer was scripted and the box took its default answer.
  bool scripted = false;
};

// A desktop in memory: a 1600 x 1000 screen with a settable work area, scripted message boxes and
// a recording shell.
class HeadlessDesktop final : public Desktop {
 public:
  Size ScreenSize() const override { return {1600, 1000}; }
  Rect WorkArea() const override { return workArea_; }
  int ScaleFactor() const override { return scale_; }
  // Answers with the next scripted answer; without one, No to a Yes/No box and Ok to an Ok box.
  MessageAnswer ShowMessage(TopWindow* owner, const std::string& text, const std::string& title,
                            MessageButtons buttons, MessageIcon icon) override;
  void DismissMessages() override { dismissOpen_ = true; }
  void OpenAddress(const std::string& address) override { openedAddresses_.push_back(address); }
  // Records the path; succeeds unless a test said otherwise.
  bool StartProcess(const std::string& path) override {
    startedProcesses_.push_back(path);
    return processesStart_;
  }

  void SetWorkArea(Rect area) { workArea_ = area; }
  void SetScaleFactor(int scale) { scale_ = scale; }
  // Queues the answer of a coming message box; boxes take the answers in order.
  void QueueAnswer(MessageAnswer answer) { scriptedAnswers_.push_back(answer); }
  // The user does this while the next message box is open, before it takes its answer.
  void WhileNextMessageOpen(std::function<void()> action) { whileOpen_ = std::move(action); }
  void SetProcessesStart(bool start) { processesStart_ = start; }

  const std::vector<ShownMessage>& Messages() const { return messages_; }
  const std::vector<std::string>& OpenedAddresses() const { return openedAddresses_; }
  const std::vector<std::string>& StartedProcesses() const { return startedProcesses_; }

 private:
  Rect workArea_{0, 0, 1600, 960};
  int scale_ = 1;
  std::deque<MessageAnswer> scriptedAnswers_;
  std::vector<ShownMessage> messages_;
  std::vector<std::string> openedAddresses_;
  std::vector<std::string> startedProcesses_;
  bool processesStart_ = true;
  std::function<void()> whileOpen_;
  bool dismissOpen_ = false;
};

}  // namespace lumora::headless
