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

  // Loads the window hidden and starts its schedule.
  void Load();
  // Reads the popup list and starts the wait for the first popup.
  void tan_x();
  void Hide();
  // Takes the window and its page down for good and stops the schedule.
  void Unload();
  bool Loaded() const { return window_ != nullptr; }

  void Timerc_Timer();
  void Timert_Timer();
  void Web1_DocumentComplete();
  void Web1_NewWindow2(const std::string& address);
  void img_Click();

  // Null once unloaded.
  TopWindow* Window() { return window_.get(); }

  std::vector<std::string> AdUrls;  // the usable page addresses, in list order
  int AdLastIndex = -1;
  int StartDelay = 0;     // seconds from load to the first popup
  int RotateMinutes = 0;  // minutes between popups
  int RepeatList = 0;     // 1: after the last page start again at the first
  int AdIndex = 0;        // seconds waited before the first popup, then the page on show
  int MinuteCount = 0;    // minutes since the last popup
  bool AdArmed = false;   // a popup page was asked for, so finished pages size and show the window

  Picture* P1 = nullptr;          // holds the page
  WebView* Web1 = nullptr;        // the page
  ImageBox* img = nullptr;        // close picture over the page's top-right corner
  std::unique_ptr<Timer> Timerc;  // start delay, each second
  std::unique_ptr<Timer> Timert;  // rotation, each minute

 private:
  void CreateParts();
  void ReadList(const std::string& text);
  // Loads a popup page, measured from the same small view every time.
  void LoadPage(const std::string& address);
  void FitTo(Size page);

  Platform& platform_;
  ContentServer server_;
  std::unique_ptr<TopWindow> window_;
};

}  // namespace lumora
