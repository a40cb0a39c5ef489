#include "platform/headless/HeadlessDesktop.h"

#include <utility>

namespace lumora::headless {

MessageAnswer HeadlessDesktop::ShowMessage(TopWindow* owner, const std::string& text,
                                           const std::string& title, MessageButtons buttons,
                                           MessageIcon icon) {
  ShownMessage message{owner, text, title, buttons, icon};
  dismissOpen_ = false;
  if (std::function<void()> action = std::exchange(whileOpen_, nullptr)) action();
  message.scripted = !scriptedAnswers_.empty();
  if (message.scripted) {
    message.answer = scriptedAnswers_.front();
    scriptedAnswers_.pop_front();
  } else {
    message.answer = buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  if (std::exchange(dismissOpen_, false)) {
    message.answer =
        buttons == MessageButtons::YesNo ? MessageAnswer::Dismissed : MessageAnswer::Ok;
  }
  messages_.push_back(message);
  return message.answer;
}

}  // namespace lumora::headless
