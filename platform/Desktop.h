#pragma once

#include <string>

#include "platform/Geometry.h"

namespace lumora {

class TopWindow;

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Warning };
// Dismissed: a Yes/No box closed without an answer (Escape or its close box).
enum class MessageAnswer { Ok, Yes, No, Dismissed };

// The desktop around the program's windows: screen metrics, modal message boxes and the shell.
class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual Size ScreenSize() const = 0;
  // The part of the screen not taken by panels, in screen pixels.
  virtual Rect WorkArea() const = 0;
  // Device pixels per logical pixel: 2 on a screen scaled by two.
  virtual int ScaleFactor() const = 0;

  // A modal message box; returns once the user answered. In a Yes/No box Yes is the default
  // button (Enter answers it).
  virtual MessageAnswer ShowMessage(TopWindow* owner, const std::string& text,
                                    const std::string& title, MessageButtons buttons,
                                    MessageIcon icon) = 0;

  // Closes every message box still open as dismissed; each ShowMessage then returns Dismissed.
  virtual void DismissMessages() = 0;

  // Opens an address (web page, file) with the user's default program.
  virtual void OpenAddress(const std::string& address) = 0;
  // Starts the program at path as a process of its own, with no shell and without waiting for
  // it. False when it could not be started.
  virtual bool StartProcess(const std::string& path) = 0;
};

}  // namespace lumora
