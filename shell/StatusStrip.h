#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ContentServer.h"
#include "platform/Platform.h"

namespace lumora {

// The strip under the pages: the product label (ni_name) and the scrolling ticker (gunp), whose
// items climb onto a rest line one after the other; the server switches the ticker on.
class StatusStrip {
 public:
  StatusStrip(Platform& platform, TopWindow& window, ContentServer server);

  void Layout(Size client);
  // Compact mode hides the strip; leaving it shows the label and, when switched on, the ticker.
  void SetVisible(bool visible);

  void SetTickerEnabled(bool enabled) { tickerEnabled_ = enabled; }
  // gun_ad: loads the server's ticker list and starts cycling it.
  void LoadTicker();
  // The program quits: nothing of the ticker acts any more.
  void StopTicker();
  // Undoes the underline of the item on show; pointing at it no longer holds it.
  void ResetHover();

 private:
  // TickerHover: 0, 1 the pointer is on the item, 2 an item was clicked.
  enum class Hover { None, Item, Clicked };

  void CreateLabel(TopWindow& window);
  Label& AddItem();
  void TakeItems(const std::vector<std::string_view>& items);
  void Step();
  void RestOver();
  void PointAtItem(size_t index, const MouseEvent& event);
  void ClickItem(size_t index);
  void PointAtPanel(const MouseEvent& event);
  // False for an event at the place of the one before: the content moved under a still pointer.
  bool PointerMoved(Point inWindow);
  void Underline(size_t index, bool on);

  Platform& platform_;
  TopWindow& window_;
  ContentServer server_;
  Label* productLabel_ = nullptr;       // ni_name
  Picture* panel_ = nullptr;            // gunp
  std::vector<Label*> items_;           // La, La(0) being La0
  std::vector<std::string> addresses_;  // TickerUrls
  std::unique_ptr<Timer> timer_;        // Timerg: steps an item, or waits out its rest
  int lastItem_ = 0;                    // TickerLast
  int shownItem_ = 0;                   // TickerIndex
  int restLine_ = 0;                    // TickerTop
  Hover hover_ = Hover::None;
  bool tickerEnabled_ = false;  // TickerEnabled
  bool stopped_ = false;
  std::optional<Point> lastPointer_;
};

}  // namespace lumora
