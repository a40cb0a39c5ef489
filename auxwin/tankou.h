#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/ContentServer.h"
#include "platform/Platform.h"

namespace lumora {

// The popup ad window: server pages in a borderless, passive window kept above the others at the
// bottom right of the screen, sized to its page. The server's list "lib/tan.txt" gives the delay
// of the first popup, the minutes between popups, whether the list starts over, and the pages.
class tankou {
 public:
  tankou(Platform& platform, ContentServer server);
  ~tankou();
  tankou(const tankou&) = delete;
  tankou& operator=(const tankou&) = delete;

  // Loads the window hidden, reads the popup list and starts the wait for the first popup.
  void Load();
  void Hide();
  // Takes the window and its page down for good and stops the schedule.
  void Unload();
  bool Loaded() const { return window_ != nullptr; }

  // Null once unloaded.
  TopWindow* Window() { return window_.get(); }

 private:
  // What happens after the last page of the list.
  enum class ListEnd { kUnload, kStartOver };

  void CreateParts();
  void ReadPopupList();  // tan_x
  void ReadList(const std::string& text);
  void OnStartDelaySecond();  // Timerc_Timer
  void OnRotationMinute();    // Timert_Timer
  // Loads a popup page, measured from the same small view every time.
  void LoadPage(const std::string& address);
  void OnPageFinished();  // Web1_DocumentComplete
  void FitTo(Size page);
  void OnNewWindow(const std::string& address);  // Web1_NewWindow2

  Platform& platform_;
  ContentServer server_;
  std::unique_ptr<TopWindow> window_;
  Picture* pagePanel_ = nullptr;            // P1: holds the page
  WebView* pageView_ = nullptr;             // Web1
  ImageBox* closePicture_ = nullptr;        // img: over the page's top-right corner
  std::unique_ptr<Timer> startDelayTimer_;  // Timerc: each second until the first popup
  std::unique_ptr<Timer> rotationTimer_;    // Timert: each minute from then on

  std::vector<std::string> pages_;  // AdUrls: the usable addresses; AdLastIndex is the last one's
  int startDelaySeconds_ = 0;       // StartDelay
  int rotateMinutes_ = 0;           // RotateMinutes
  ListEnd listEnd_ = ListEnd::kUnload;  // RepeatList: 1 starts over
  int secondsWaited_ = 0;               // AdIndex until the first popup
  size_t shownPage_ = 0;                // AdIndex from the first popup on
  int minutesSinceShown_ = 0;           // MinuteCount
  // AdArmed: a popup page was asked for, so finished pages size and show the window.
  bool popupArmed_ = false;
};

}  // namespace lumora
