#include "platform/headless/HeadlessDesktop.h"

namespace lumora::headless {

MessageAnswer HeadlessDesktop::ShowMessage(TopWindow* owner, const std::string& text,
                                           const std::string& title, MessageButtons buttons,
                                           MessageIcon icon) {
  ShownMessage message{owner, text, title, buttons, icon};
  message.scripted = !scriptedAnswers_.empty();
  if (message.scripted) {
    message.answer = scriptedAnswers_.front();
    scriptedAnswers_.pop_front();
  } else {
    message.answer = buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
  }
  messages_.push_back(message);
  return message.answer;
}

}  // namespace lumora::headless
