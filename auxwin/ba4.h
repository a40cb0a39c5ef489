#pragma once

#include <memory>

#include "core/ContentServer.h"
#include "platform/Platform.h"

namespace lumora {

class BA1;

// The exit ad window: shows the server's recommendation page when the user quits and ends the
// program 20 seconds later, on its close picture, or when its page opens a new window.
class ba4 {
 public:
  // The window size at design, in pixels.
  static constexpr Size kSize{299, 247};

  ba4(Platform& platform, BA1& mainWindow, ContentServer server);

  // Loads the window (its page and both timers) unless it is loaded, and shows it.
  void Show();
  // Hides the window and stops its timers and page; Show loads it again.
  void Unload();
  bool Loaded() const { return loaded_; }

  TopWindow& Window() { return *window_; }
  Picture& ClosePicture() { return *Picture1; }
  WebView& Page() { return *Web1; }

 private:
  void Form_Resize();
  void Timer1_Timer();
  void Timer2_Timer();
  // Unloads the main window (which takes the tray icon with it), then this window.
  void EndProgram();

  Platform& platform_;
  BA1& mainWindow_;
  ContentServer server_;
  std::unique_ptr<TopWindow> window_;
  Picture* Pc1 = nullptr;         // fills the window, holds the page
  WebView* Web1 = nullptr;        // the recommendation page
  Picture* Picture1 = nullptr;    // close picture, shown after a second
  std::unique_ptr<Timer> Timer1;  // ends the program after 20 s
  std::unique_ptr<Timer> Timer2;  // reveals the close picture after 1 s
  bool loaded_ = false;
};

}  // namespace lumora
