#include "shell/BA1.h"

#include "core/Numbers.h"
#include "core/Product.h"
#include "core/Settings.h"
#include "core/WebAddress.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {

BA1::BA1(Platform& platform, ContentServer server, std::filesystem::path appDir)
    : platform_(platform),
      server_(std::move(server)),
      appDir_(std::move(appDir)),
      window_(platform.CreateWindow()),
      clicks_(*window_),
      historyPage_(appDir_,
                   [this](const std::filesystem::path& page) {
                     listSideBar_.ShowHistoryPage(page.string());
                   }),
      historyStore_(appDir_, historyPage_),
      pageTabs_(*window_, skin_, clicks_),
      portal_(*window_, pageTabs_.Area(Page::Portal), server_),
      playerPage_(pageTabs_.Area(Page::Player), skin_, clicks_),
      player_(platform, *window_, playerPage_.Left()),
      playerReveal_(platform, player_.PlayerView(), [this] { ShowPlayerPage(); }),
      listSideBar_(platform, *window_, playerPage_.SideBar(), skin_, clicks_, historyStore_),
      tvPage_(pageTabs_.Area(Page::Tv), skin_, clicks_),
      tvPane_(platform, tvPage_.Left(), tvPage_.SideBar(), server_),
      shoppingView_(&pageTabs_.Area(Page::Shopping).AddWebView()),
      usagePingView_(&window_->AddWebView()),
      shoppingStart_(*shoppingView_, platform.GetClock(), server_.ShoppingPage()),
      captionBar_(platform, *window_, skin_, clicks_),
      statusStrip_(platform, *window_, server_),
      frameSizing_(platform, *window_, clicks_, ConfigPath()) {
  window_->SetTitle(std::string(kProductName));
  window_->SetFocusRingColor(kFocusRing);
  usagePingView_->SetGeometry({0, 0, 1, 1});
  usagePingView_->SetVisible(false);
  usagePingView_->SetLoadsOnce(true);
  WireEvents();
  WireViewEvents();
}

BA1::~BA1() = default;

std::filesystem::path BA1::ConfigPath() const {
  return appDir_ / kSettingsFile;
}

int BA1::ReadSetting(const char* key) const {
  return WholeNumber(IniRead(ConfigPath(), "S_q", key, "0")).value_or(0);
}

void BA1::WireEvents() {
  clicks_.onBeforeCommand = [this] {
    captionBar_.HideTooltip();
    ResetHover();
  };
  captionBar_.onClose = [this] { CloseCommand(); };
  captionBar_.onCompact = [this] { EnterCompact(); };
  captionBar_.onLeaveCompact = [this] { LeaveCompact(); };
  captionBar_.onMenu = [this](Point at) {
    if (onMenuRequested) onMenuRequested(at);
  };
  playerPage_.onToggled = [this] { LayoutPlayerPage(); };
  playerPage_.Page().onMouseMove = [this](const MouseEvent&) {
    window_->SetPointer(PointerShape::Arrow);
  };
  tvPage_.onToggled = [this] { LayoutTvPage(); };
  player_.onCloseClicked = [this] { CloseVideoPlayer(); };
  tvPane_.onCloseClicked = [this] { CloseTvPlayer(); };
  pageTabs_.onShown = [this](Page page) { OnPageShown(page); };
  frameSizing_.onSurfaceMove = [this] { ResetHover(); };
  frameSizing_.holdsSize = [this] { return captionBar_.Compact() != CompactMode::Off; };
  window_->onResize = [this] { OnResize(); };
  window_->onDoubleClick = [this] {
    if (!clicks_.TakeSwallowed()) captionBar_.ToggleMaximize();
  };
  window_->onCloseRequest = [this] { CloseCommand(); };
  window_->onKeyDown = [this](const KeyEvent& key) { return OnKey(key); };
}

void BA1::OnPageShown(Page page) {
  playerReveal_.Cancel();
  if (page == Page::Tv) tvPane_.OnShown();
  if (page == Page::Shopping) shoppingStart_.OnShown();
}

// Every view runs silent and never shows the engine's own menu; the portal shows the program's
// menu instead. A page's new window opens in the user's browser, for web addresses only.
void BA1::WireViewEvents() {
  for (WebView* view : WebViews()) {
    view->onDownloadBegin = [view] { view->SetSilent(true); };
    view->onContextMenu = [](Point) { return false; };
    view->onNewWindow2 = [this](const std::string& address) {
      OpenWebAddress(platform_.GetDesktop(), address);
    };
  }
  PortalView().onContextMenu = [this](Point) {
    if (onPortalMenuRequested) onPortalMenuRequested();
    return false;
  };
}

void BA1::ResetHover() {
  captionBar_.ResetHover();
  listSideBar_.ResetHover();
  statusStrip_.ResetHover();
}

void BA1::SetPlayerState(PlayerState state) {
  if (state != PlayerState::Video && playerState_ == PlayerState::Video) CloseVideoPlayer();
  if (state != PlayerState::Tv && playerState_ == PlayerState::Tv) CloseTvPlayer();
  playerState_ = state;
  if (state == PlayerState::Video) {
    player_.ShowPlayer();
  } else {
    player_.HidePlayer();
  }
}

void BA1::CloseVideoPlayer() {
  player_.ClosePlayer();
  playerState_ = PlayerState::None;
}

void BA1::CloseTvPlayer() {
  playerState_ = PlayerState::None;
  tvPane_.ClosePlayer();
}

void BA1::CloseCommand() {
  int ts = ReadSetting("ts");
  int quit = ReadSetting("quit");
  if (ts == 3) {
    MessageAnswer answer = platform_.GetDesktop().ShowMessage(
        window_.get(), "关闭 " + std::string(kProductName) + "  最小化到托盘吗？", "提示：",
        MessageButtons::YesNo, MessageIcon::Question);
    // Dismissing the question cancels the close, and it is asked again next time.
    if (answer == MessageAnswer::Dismissed) return;
    bool toTray = answer == MessageAnswer::Yes;
    IniWrite(ConfigPath(), "S_q", "ts", "1");
    IniWrite(ConfigPath(), "S_q", "quit", toTray ? "2" : "1");
    return toTray ? HideToTray() : ttt_v();
  }
  if (quit == 1) return ttt_v();
  HideToTray();
}

// Without a tray host showing the icon, a hidden window could not be reached again.
void BA1::HideToTray() {
  if (platform_.GetTrayIcon().IsShown()) {
    window_->Hide();
  } else {
    window_->SetState(WindowState::Minimized);
  }
}

void BA1::EnterCompact() {
  if (playerState_ == PlayerState::None) return;
  bool player = playerState_ == PlayerState::Video;
  pageTabs_.Select(player ? Page::Player : Page::Tv);
  window_->SetState(WindowState::Normal);
  statusStrip_.SetVisible(false);
  pageTabs_.SetTabsVisible(false);
  playerPage_.SetHandleVisible(false);
  tvPage_.SetHandleVisible(false);
  if (player) {
    player_.SetCloseButtonVisible(false);
    playerPage_.SetSideBarVisible(false);
  } else {
    tvPane_.SetCloseButtonVisible(false);
    tvPage_.SetSideBarVisible(false);
  }
  captionBar_.EnterCompact(player ? CompactMode::Player : CompactMode::Tv);
  Rect bounds = window_->Bounds();
  window_->SetBounds({bounds.x, bounds.y, TwipsToPixels(kCompactTwips.width),
                      TwipsToPixels(kCompactTwips.height)});
}

void BA1::LeaveCompact() {
  CompactMode mode = captionBar_.Compact();
  captionBar_.LeaveCompact();
  pageTabs_.SetTabsVisible(true);
  playerPage_.SetHandleVisible(true);
  tvPage_.SetHandleVisible(true);
  statusStrip_.SetVisible(true);
  if (mode == CompactMode::Player) {
    player_.SetCloseButtonVisible(true);
    playerPage_.SetSideBarVisible(true);
  } else if (mode == CompactMode::Tv) {
    tvPane_.SetCloseButtonVisible(true);
    tvPage_.SetSideBarVisible(true);
  }
  Rect bounds = window_->Bounds();
  window_->SetBounds(
      {bounds.x, bounds.y, TwipsToPixels(ReadSetting("h_w")), TwipsToPixels(ReadSetting("h_h"))});
  CenterOnScreen(*window_, platform_.GetDesktop().ScreenSize());
}

}  // namespace lumora
