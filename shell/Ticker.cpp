#include <chrono>

#include "core/FileIo.h"
#include "core/ServerFetch.h"
#include "core/WebAddress.h"
#include "shell/BA1.h"
#include "shell/Theme.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kTickerStep{50};
constexpr int kTickerClimb = 12;  // an item starts this far below the rest line
constexpr int kTickerStride = 2;  // and climbs this far each step
constexpr int kTickerHoldMs = 5000;
constexpr size_t kTickerMaxItems = 51;  // list positions 0 to 50
constexpr Point kSingleItemStart{0, 10};

// How long an item sits on the rest line: hold / step steps and two more, 5.1 s for a 5 s hold,
// as a rest counted step by step would; the timer waits it out in one period.
milliseconds RestSpan(int holdMs) {
  return kTickerStep * (holdMs / kTickerStep.count() + 2);
}

void WireItem(BA1& form, Label& item, int index) {
  item.onMouseMove = [&form, index](const MouseEvent& e) { form.La_MouseMove(index, e); };
  item.onClick = [&form, index] { form.La_Click(index); };
}

}  // namespace

void BA1::WireTicker() {
  La.push_back(La0);
  WireItem(*this, *La0, 0);
  La0->SetForeColor(kTickerText);
  Timerg = platform_.CreateTimer();
  Timerg->SetInterval(kTickerStep);
  Timerg->onTick = [this] { Timerg_Timer(); };
  gunp->onMouseMove = [this](const MouseEvent&) { gunp_MouseMove(); };
}

void BA1::gun_ad() {
  ServerFetch fetch(platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock());
  std::string text = fetch.FetchText(server_.TickerList());
  // The window may have been unloaded while the fetch kept the loop running.
  if (unloaded_ || text.empty() || text.find("||") == std::string::npos) return;
  TickerHold = kTickerHoldMs;
  TickerTop = La0->Geometry().y;
  std::vector<std::string_view> parts = SplitFields(text, "$$$");
  if (parts.size() > kTickerMaxItems) parts.resize(kTickerMaxItems);
  std::erase_if(parts, [](std::string_view part) { return part.find("||") == part.npos; });
  TakeTickerItems(parts);
  if (TickerLast == 0) {
    La0->Move(kSingleItemStart);
    La0->SetVisible(true);
  }
  if (TickerLast >= 0) Timerg->SetEnabled(true);
}

void BA1::TakeTickerItems(const std::vector<std::string_view>& items) {
  TickerLast = static_cast<int>(items.size()) - 1;
  TickerUrls.assign(items.size(), "");
  for (size_t j = 0; j < items.size(); ++j) {
    if (j == La.size()) {
      Label& copy = gunp->AddLabel();
      copy.SetAutoSize(true);
      copy.SetFont(La0->GetFont());
      copy.SetForeColor(La0->ForeColor());
      copy.SetVisible(false);
      WireItem(*this, copy, static_cast<int>(j));
      La.push_back(&copy);
    }
    std::vector<std::string_view> fields = SplitFields(items[j], "||");
    La[j]->SetCaption(std::string(fields[0]));
    TickerUrls[j] = std::string(fields[1]);
    La[j]->SetPointer(IsWebAddress(TickerUrls[j]) ? PointerShape::Hand : PointerShape::Arrow);
    La[j]->Move({La[j]->Geometry().x, TickerTop + kTickerClimb});
  }
}

// One step of the item on show while it climbs; once it sits on the rest line the timer waits
// out the whole rest in one period, so an idle ticker wakes only when something changes.
void BA1::Timerg_Timer() {
  Label& item = *La[TickerIndex];
  item.SetVisible(true);
  Rect at = item.Geometry();
  if (at.y > TickerTop) {
    item.Move({at.x, at.y - kTickerStride});
    if (TickerLast == 0) return Timerg->SetEnabled(false);
    if (at.y - kTickerStride <= TickerTop) Timerg->SetInterval(RestSpan(TickerHold));
    return;
  }
  TickerRestOver();
}

// While the pointer holds the item it rests once more; otherwise the next item starts climbing.
void BA1::TickerRestOver() {
  Timerg->SetInterval(RestSpan(TickerHold));
  if (TickerHover == 1) return;
  Label& item = *La[TickerIndex];
  item.SetVisible(false);
  item.Move({item.Geometry().x, TickerTop + kTickerClimb});
  TickerIndex = TickerIndex + 1 > TickerLast ? 0 : TickerIndex + 1;
  Timerg->SetInterval(kTickerStep);
}

void BA1::La_MouseMove(int index, const MouseEvent& event) {
  Rect bounds = La[index]->Geometry();
  bool inside = event.x >= 0 && event.y >= 0 && event.x < bounds.width && event.y < bounds.height;
  if (!inside || TickerHover == 2) return;
  TickerUnderline(index, true);
  TickerHover = 1;
}

void BA1::La_Click(int index) {
  if (static_cast<size_t>(index) < TickerUrls.size()) {
    OpenWebAddress(platform_.GetDesktop(), TickerUrls[index]);
  }
  TickerUnderline(TickerIndex, false);
  TickerHover = 2;
}

void BA1::gunp_MouseMove() {
  window_->SetPointer(PointerShape::Arrow);
  TickerUnderline(TickerIndex, false);
  TickerHover = 0;
}

// Only items with a link are underlined. A link is a web address: "*", an empty target or
// anything else (which the desktop would open as a local file or program) is plain text.
void BA1::TickerUnderline(int index, bool on) {
  if (static_cast<size_t>(index) >= La.size()) return;
  bool link = static_cast<size_t>(index) < TickerUrls.size() && IsWebAddress(TickerUrls[index]);
  Font font = La[index]->GetFont();
  if (font.underline == (on && link)) return;
  font.underline = on && link;
  La[index]->SetFont(font);
}

}  // namespace lumora
