#include "auxwin/tankou.h"

#include <algorithm>
#include <chrono>

#include "core/AsciiText.h"
#include "core/FileIo.h"
#include "core/Numbers.h"
#include "core/ServerFetch.h"
#include "core/WebAddress.h"
#include "resources/Resources.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSecond{1000};
constexpr milliseconds kMinute{60000};
constexpr int kDefaultStartDelay = 120;
constexpr int kDefaultRotateMinutes = 30;
constexpr int kMaxListIndex = 50;
constexpr const char* kUsablePrefix = "http://";
// The window is at most 12000 x 9000 twips.
constexpr Size kMaxPixels{12000 / kTwipsPerPixel, 9000 / kTwipsPerPixel};
// Every page is measured from a view this small, so it reports its own size, not the view's.
constexpr Size kMeasureView{20, 20};
// The view reaches this far past the window on every side, so its own border is cut off.
constexpr int kViewOverhang = 2;
// The close picture's distance from the window's top and right edges.
constexpr int kCloseInset = 1;

// A whole number with blanks around it; 0 when there is none.
int NumberField(const std::vector<std::string_view>& fields, size_t index) {
  if (index >= fields.size()) return 0;
  return WholeNumber(TrimBlanks(fields[index])).value_or(0);
}

}  // namespace

tankou::tankou(Platform& platform, ContentServer server)
    : Timerc(platform.CreateTimer()),
      Timert(platform.CreateTimer()),
      platform_(platform),
      server_(std::move(server)),
      window_(platform.CreateWindow()) {
  CreateParts();
}

tankou::~tankou() = default;

void tankou::CreateParts() {
  window_->SetPassive(true);
  P1 = &window_->AddPicture();
  Web1 = &P1->AddWebView();
  Web1->SetSilent(true);
  img = &P1->AddImage();
  img->SetImage(Bitmap::FromPng(ResourceBytes("popclose.png")));
  img->SetPointer(PointerShape::Hand);
  img->onClick = [this] { img_Click(); };
  Web1->onDocumentComplete = [this] { Web1_DocumentComplete(); };
  Web1->onNewWindow2 = [this](const std::string& address) { Web1_NewWindow2(address); };
  Web1->onContextMenu = [](Point) { return false; };
  Timerc->SetInterval(kSecond);
  Timerc->onTick = [this] { Timerc_Timer(); };
  Timert->SetInterval(kMinute);
  Timert->onTick = [this] { Timert_Timer(); };
}

void tankou::Load() {
  AdArmed = false;
  Web1->Navigate("about:blank");
  tan_x();
  if (window_) window_->SetAlwaysOnTop(true);
}

void tankou::tan_x() {
  std::string text =
      ServerFetch(platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock())
          .FetchText(server_.PopupAdList());
  // The quit routine may have unloaded the window while the fetch kept the loop running.
  if (!window_ || text.find("||") == std::string::npos) return;
  ReadList(text);
  // Without a usable page the window stays hidden and idle.
  if (AdLastIndex >= 0) Timerc->SetEnabled(true);
}

void tankou::ReadList(const std::string& text) {
  std::vector<std::string_view> fields = SplitFields(text, "||");
  StartDelay = NumberField(fields, 0);
  RotateMinutes = NumberField(fields, 1);
  RepeatList = NumberField(fields, 2);
  if (StartDelay == 0) StartDelay = kDefaultStartDelay;
  if (RotateMinutes == 0) RotateMinutes = kDefaultRotateMinutes;
  AdUrls.clear();
  if (fields.size() > 3) {
    std::vector<std::string_view> entries = SplitFields(fields[3], "$$$");
    entries.resize(std::min<size_t>(entries.size(), kMaxListIndex + 1));
    for (std::string_view entry : entries) {
      if (entry.starts_with(kUsablePrefix)) AdUrls.emplace_back(entry);
    }
  }
  AdLastIndex = static_cast<int>(AdUrls.size()) - 1;
}

void tankou::Timerc_Timer() {
  AdIndex += 1;
  if (AdIndex < StartDelay) return;
  AdArmed = true;
  LoadPage(AdUrls[0]);
  Timerc->SetEnabled(false);
  AdIndex = 0;
  if (RotateMinutes > 0) Timert->SetEnabled(true);
}

void tankou::Timert_Timer() {
  MinuteCount += 1;
  if (MinuteCount < RotateMinutes) return;
  AdIndex += 1;
  if (AdIndex > AdLastIndex) {
    AdIndex = 0;
    if (RepeatList != 1) return Unload();
  }
  Hide();
  LoadPage(AdUrls[AdIndex]);
  MinuteCount = 0;
}

void tankou::LoadPage(const std::string& address) {
  Web1->SetGeometry({0, 0, kMeasureView.width, kMeasureView.height});
  Web1->Navigate(address);
}

void tankou::Web1_DocumentComplete() {
  if (!AdArmed) return;
  Web1->FitPageBody([this](Size page) { FitTo(page); });
}

// Sizes the window to the page and shows it at the bottom right of the work area.
void tankou::FitTo(Size page) {
  Size size{std::min(page.width, kMaxPixels.width), std::min(page.height, kMaxPixels.height)};
  Rect area = platform_.GetDesktop().WorkArea();
  window_->SetBounds({area.x + area.width - size.width, area.y + area.height - size.height,
                      size.width, size.height});
  P1->SetGeometry({0, 0, size.width, size.height});
  Web1->SetGeometry({-kViewOverhang, -kViewOverhang, size.width + 2 * kViewOverhang,
                     size.height + 2 * kViewOverhang});
  Rect close = img->Geometry();
  img->Move({size.width - close.width - kCloseInset, kCloseInset});
  window_->Show();
}

void tankou::Web1_NewWindow2(const std::string& address) {
  Hide();
  OpenWebAddress(platform_.GetDesktop(), address);
}

void tankou::img_Click() {
  Hide();
}

void tankou::Hide() {
  if (window_) window_->Hide();
}

void tankou::Unload() {
  Timerc->SetEnabled(false);
  Timert->SetEnabled(false);
  P1 = nullptr;
  Web1 = nullptr;
  img = nullptr;
  window_.reset();
}

}  // namespace lumora
