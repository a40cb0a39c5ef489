#pragma once

#include <functional>
#include <memory>

#include "core/ContentServer.h"
#include "platform/Platform.h"

namespace lumora {

// The exit ad window: shows the server's recommendation page when the user quits and ends the
// program 20 seconds later, on its close picture, or when its page opens a new window.
class ba4 {
 public:
  // The window size at design, in pixels.
  static constexpr Size kSize{299, 247};

  ba4(Platform& platform, ContentServer server);

  // Loads the window (its page and both timers) unless it is loaded, and shows it.
  void Show();
  // Hides the window and stops its timers and page; Show loads it again.
  void Unload();
  bool Loaded() const { return loaded_; }

  TopWindow& Window() { return *window_; }

  // The program is to end: raised before this window unloads itself. The program's top unloads
  // the main window, which takes the tray icon with it.
  std::function<void()> onEnd;

 private:
  void CreateParts();
  void WireEvents();
  void OnResize();            // Form_Resize
  void OnLifetimeOver();      // Timer1_Timer
  void RevealClosePicture();  // Timer2_Timer
  void EndProgram();

  Platform& platform_;
  ContentServer server_;
  std::unique_ptr<TopWindow> window_;
  Picture* panel_ = nullptr;                 // Pc1: fills the window, holds the page
  WebView* pageView_ = nullptr;              // Web1: the recommendation page
  Picture* closePicture_ = nullptr;          // Picture1: shown after a second
  std::unique_ptr<Timer> lifetimeTimer_;     // Timer1: ends the program after 20 s
  std::unique_ptr<Timer> closeRevealTimer_;  // Timer2: reveals the close picture after 1 s
  bool loaded_ = false;
};

}  // namespace lumora
