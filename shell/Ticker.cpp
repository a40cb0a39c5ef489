#include <chrono>

#include "core/FileIo.h"
#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "core/WebAddress.h"
#include "shell/StatusStrip.h"
#include "shell/Theme.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTickerStep{50};
constexpr int kTickerClimb = 12;        // an item starts this far below the rest line
constexpr int kTickerStride = 2;        // and climbs this far each step
constexpr int kTickerHoldMs = 5000;     // TickerHold
constexpr size_t kTickerMaxItems = 51;  // list positions 0 to 50
// A server's item text is cut to this many characters: one line of a 300-pixel panel.
constexpr size_t kTickerMaxCharacters = 200;
constexpr Point kSingleItemStart{0, 10};

// How long an item sits on the rest line: hold / step steps and two more, 5.1 s for a 5 s hold,
// as a rest counted step by step would; the timer waits it out in one period.
constexpr milliseconds kRestSpan = kTickerStep * (kTickerHoldMs / kTickerStep.count() + 2);

Point Offset(Point at, Rect by) {
  return {at.x + by.x, at.y + by.y};
}

}  // namespace

Label& StatusStrip::AddItem() {
  Label& item = panel_->AddLabel();
  item.SetAutoSize(true);
  if (!items_.empty()) {
    item.SetFont(items_.front()->GetFont());
    item.SetForeColor(items_.front()->ForeColor());
    item.SetVisible(false);
  }
  size_t index = items_.size();
  item.onMouseMove = [this, index](const MouseEvent& event) { PointAtItem(index, event); };
  item.onClick = [this, index] { ClickItem(index); };
  items_.push_back(&item);
  return item;
}

void StatusStrip::LoadTicker() {
  ServerFetch fetch(platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock());
  std::string text = fetch.FetchText(server_.TickerList());
  // The program may have quit while the fetch kept the loop running.
  if (stopped_ || text.empty() || text.find("||") == std::string::npos) return;
  restLine_ = items_.front()->Geometry().y;
  std::vector<std::string_view> parts = SplitFields(text, "$$$");
  if (parts.size() > kTickerMaxItems) parts.resize(kTickerMaxItems);
  std::erase_if(parts, [](std::string_view part) { return part.find("||") == part.npos; });
  TakeItems(parts);
  if (lastItem_ == 0) {
    items_.front()->Move(kSingleItemStart);
    items_.front()->SetVisible(true);
  }
  if (lastItem_ >= 0) {
    timer_->SetInterval(kTickerStep);
    timer_->SetEnabled(true);
  }
}

void StatusStrip::TakeItems(const std::vector<std::string_view>& items) {
  lastItem_ = static_cast<int>(items.size()) - 1;
  addresses_.assign(items.size(), "");
  for (size_t j = 0; j < items.size(); ++j) {
    Label& item = j < items_.size() ? *items_[j] : AddItem();
    std::vector<std::string_view> fields = SplitFields(items[j], "||");
    item.SetCaption(Utf8Prefix(fields[0], kTickerMaxCharacters));
    addresses_[j] = std::string(fields[1]);
    bool link = IsWebAddress(addresses_[j]);
    item.SetPointer(link ? PointerShape::Hand : PointerShape::Arrow);
    item.SetAccessible({link ? AccessibleRole::Link : AccessibleRole::Label, item.Caption()});
    item.Move({item.Geometry().x, restLine_ + kTickerClimb});
  }
}

void StatusStrip::StopTicker() {
  stopped_ = true;
  timer_->SetEnabled(false);
}

// One step of the item on show while it climbs; once it sits on the rest line the timer waits
// out the whole rest in one period, so an idle ticker wakes only when something changes.
void StatusStrip::Step() {
  Label& item = *items_[shownItem_];
  item.SetVisible(true);
  Rect at = item.Geometry();
  if (at.y > restLine_) {
    item.Move({at.x, at.y - kTickerStride});
    if (lastItem_ == 0) return timer_->SetEnabled(false);
    if (at.y - kTickerStride <= restLine_) timer_->SetInterval(kRestSpan);
    return;
  }
  RestOver();
}

// While the pointer holds the item it rests once more; otherwise the next item starts climbing.
void StatusStrip::RestOver() {
  timer_->SetInterval(kRestSpan);
  if (hover_ == Hover::Item) return;
  Label& item = *items_[shownItem_];
  item.SetVisible(false);
  item.Move({item.Geometry().x, restLine_ + kTickerClimb});
  shownItem_ = shownItem_ + 1 > lastItem_ ? 0 : shownItem_ + 1;
  timer_->SetInterval(kTickerStep);
}

bool StatusStrip::PointerMoved(Point inWindow) {
  bool moved = lastPointer_ != inWindow;
  lastPointer_ = inWindow;
  return moved;
}

// An item that climbs in under a still pointer is not pointed at: only the user's own move over
// an item holds and underlines it, and after a click only once the pointer crossed the bare panel.
void StatusStrip::PointAtItem(size_t index, const MouseEvent& event) {
  Rect bounds = items_[index]->Geometry();
  Point inWindow = Offset(Offset({event.x, event.y}, bounds), panel_->Geometry());
  if (!PointerMoved(inWindow)) return;
  bool inside = event.x >= 0 && event.y >= 0 && event.x < bounds.width && event.y < bounds.height;
  if (!inside || hover_ == Hover::Clicked) return;
  Underline(index, true);
  hover_ = Hover::Item;
}

void StatusStrip::ClickItem(size_t index) {
  if (index < addresses_.size()) OpenWebAddress(platform_.GetDesktop(), addresses_[index]);
  Underline(static_cast<size_t>(shownItem_), false);
  hover_ = Hover::Clicked;
}

void StatusStrip::PointAtPanel(const MouseEvent& event) {
  window_.SetPointer(PointerShape::Arrow);
  if (!PointerMoved(Offset({event.x, event.y}, panel_->Geometry()))) return;
  ResetHover();
}

void StatusStrip::ResetHover() {
  Underline(static_cast<size_t>(shownItem_), false);
  hover_ = Hover::None;
}

// Only items with a link are underlined. A link is a web address: "*", an empty target or
// anything else (which the desktop would open as a local file or program) is plain text.
void StatusStrip::Underline(size_t index, bool on) {
  if (index >= items_.size()) return;
  bool link = index < addresses_.size() && IsWebAddress(addresses_[index]);
  Font font = items_[index]->GetFont();
  if (font.underline == (on && link)) return;
  font.underline = on && link;
  items_[index]->SetFont(font);
}

}  // namespace lumora
