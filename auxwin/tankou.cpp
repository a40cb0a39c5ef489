#include "auxwin/tankou.h"

#include <algorithm>
#include <chrono>

#include "core/AsciiText.h"
#include "core/FileIo.h"
#include "core/Numbers.h"
#include "core/Product.h"
#include "core/ServerFetch.h"
#include "core/WebAddress.h"
#include "resources/Resources.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSecond{1000};
constexpr milliseconds kMinute{60000};
constexpr int kDefaultStartDelay = 120;
constexpr int kDefaultRotateMinutes = 30;
constexpr size_t kMaxListEntries = 51;
constexpr const char* kUsablePrefix = "http://";
// The window is at most 12000 x 9000 twips.
constexpr Size kMaxPixels{12000 / kTwipsPerPixel, 9000 / kTwipsPerPixel};
// The window's bottom keeps 480 twips above the screen's bottom edge, clear of a usual panel.
constexpr int kScreenBottomGap = 480 / kTwipsPerPixel;
// Every page is measured from a view this small, so it reports its own size, not the view's.
constexpr Size kMeasureView{20, 20};
// The close picture's distance from the window's top and right edges.
constexpr int kCloseInset = 1;

// A whole number with blanks around it; 0 when there is none.
int NumberField(const std::vector<std::string_view>& fields, size_t index) {
  if (index >= fields.size()) return 0;
  return WholeNumber(TrimBlanks(fields[index])).value_or(0);
}

}  // namespace

tankou::tankou(Platform& platform, ContentServer server)
    : platform_(platform),
      server_(std::move(server)),
      window_(platform.CreateWindow()),
      startDelayTimer_(platform.CreateTimer()),
      rotationTimer_(platform.CreateTimer()) {
  CreateParts();
}

tankou::~tankou() = default;

void tankou::CreateParts() {
  window_->SetPassive(true);
  window_->SetKind(WindowKind::Notification);
  // Its own title, after the program, for the window list and assistive technology.
  window_->SetTitle("热门推荐 - " + std::string(kProductName));
  pagePanel_ = &window_->AddPicture();
  pageView_ = &pagePanel_->AddWebView();
  pageView_->SetSilent(true);
  closePicture_ = &pagePanel_->AddImage();
  closePicture_->SetImage(Bitmap::FromPng(ResourceBytes("popclose.png")));
  closePicture_->SetPointer(PointerShape::Hand);
  closePicture_->SetAccessible({AccessibleRole::PushButton, "关闭"});
  closePicture_->onClick = [this] { Hide(); };
  pageView_->onDocumentComplete = [this] { OnPageFinished(); };
  pageView_->onNewWindow2 = [this](const std::string& address) { OnNewWindow(address); };
  pageView_->onContextMenu = [](Point) { return false; };
  startDelayTimer_->SetInterval(kSecond);
  startDelayTimer_->onTick = [this] { OnStartDelaySecond(); };
  rotationTimer_->SetInterval(kMinute);
  rotationTimer_->onTick = [this] { OnRotationMinute(); };
}

void tankou::Load() {
  popupArmed_ = false;
  pageView_->Navigate("about:blank");
  ReadPopupList();
  if (window_) window_->SetAlwaysOnTop(true);
}

void tankou::ReadPopupList() {
  std::string text =
      ServerFetch(platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock())
          .FetchText(server_.PopupAdList());
  // The quit routine may have unloaded the window while the fetch kept the loop running.
  if (!window_ || text.find("||") == std::string::npos) return;
  ReadList(text);
  // Without a usable page the window stays hidden and idle.
  if (!pages_.empty()) startDelayTimer_->SetEnabled(true);
}

void tankou::ReadList(const std::string& text) {
  std::vector<std::string_view> fields = SplitFields(text, "||");
  startDelaySeconds_ = NumberField(fields, 0);
  rotateMinutes_ = NumberField(fields, 1);
  listEnd_ = NumberField(fields, 2) == 1 ? ListEnd::kStartOver : ListEnd::kUnload;
  if (startDelaySeconds_ == 0) startDelaySeconds_ = kDefaultStartDelay;
  if (rotateMinutes_ == 0) rotateMinutes_ = kDefaultRotateMinutes;
  pages_.clear();
  if (fields.size() > 3) {
    std::vector<std::string_view> entries = SplitFields(fields[3], "$$$");
    entries.resize(std::min(entries.size(), kMaxListEntries));
    for (std::string_view entry : entries) {
      if (entry.starts_with(kUsablePrefix)) pages_.emplace_back(entry);
    }
  }
}

void tankou::OnStartDelaySecond() {
  secondsWaited_ += 1;
  if (secondsWaited_ < startDelaySeconds_) return;
  popupArmed_ = true;
  shownPage_ = 0;
  LoadPage(pages_[shownPage_]);
  startDelayTimer_->SetEnabled(false);
  if (rotateMinutes_ > 0) rotationTimer_->SetEnabled(true);
}

void tankou::OnRotationMinute() {
  minutesSinceShown_ += 1;
  if (minutesSinceShown_ < rotateMinutes_) return;
  shownPage_ += 1;
  if (shownPage_ >= pages_.size()) {
    shownPage_ = 0;
    if (listEnd_ == ListEnd::kUnload) return Unload();
  }
  Hide();
  LoadPage(pages_[shownPage_]);
  minutesSinceShown_ = 0;
}

void tankou::LoadPage(const std::string& address) {
  pageView_->SetGeometry({0, 0, kMeasureView.width, kMeasureView.height});
  pageView_->Navigate(address);
}

void tankou::OnPageFinished() {
  if (!popupArmed_) return;
  pageView_->FitPageBody([this](Size page) { FitTo(page); });
}

// Sizes the window to the page and shows it at the bottom right: at the work area's right edge,
// its bottom above the screen's bottom edge or a higher panel.
void tankou::FitTo(Size page) {
  Size size{std::min(page.width, kMaxPixels.width), std::min(page.height, kMaxPixels.height)};
  Rect area = platform_.GetDesktop().WorkArea();
  int screenHeight = platform_.GetDesktop().ScreenSize().height;
  int bottom = std::min(screenHeight - kScreenBottomGap, area.y + area.height);
  window_->SetBounds(
      {area.x + area.width - size.width, bottom - size.height, size.width, size.height});
  pagePanel_->SetGeometry({0, 0, size.width, size.height});
  PlaceViewInFrame(*pageView_, size);
  Rect close = closePicture_->Geometry();
  closePicture_->Move({size.width - close.width - kCloseInset, kCloseInset});
  window_->Show();
}

void tankou::OnNewWindow(const std::string& address) {
  Hide();
  OpenWebAddress(platform_.GetDesktop(), address);
}

void tankou::Hide() {
  if (window_) window_->Hide();
}

void tankou::Unload() {
  startDelayTimer_->SetEnabled(false);
  rotationTimer_->SetEnabled(false);
  pagePanel_ = nullptr;
  pageView_ = nullptr;
  closePicture_ = nullptr;
  window_.reset();
}

}  // namespace lumora
