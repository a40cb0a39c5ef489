#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "content/HistoryPage.h"
#include "content/HistoryStore.h"
#include "content/RouterWindow.h"
#include "core/ContentServer.h"
#include "platform/Platform.h"
#include "shell/CaptionBar.h"
#include "shell/ChromeClicks.h"
#include "shell/FrameSizing.h"
#include "shell/ListSideBar.h"
#include "shell/PageTabs.h"
#include "shell/PlayerPageReveal.h"
#include "shell/PlayerPane.h"
#include "shell/PortalPane.h"
#include "shell/SkinSheets.h"
#include "shell/SplitPage.h"
#include "shell/StartPageReload.h"
#include "shell/StatusStrip.h"
#include "shell/TvPane.h"
#include "shell/UpdateCheck.h"

namespace lumora {

// The main window: a frameless, skinned window painted from skin sheets, made of its caption
// bar, four pages behind their tabs (the portal, the player page with its list side bar, the TV
// page and the shopping page) and the status strip with the ticker; nine web views of the
// content server in all. It composes those parts and decides what spans them: the player state,
// compact mode, closing and quitting.
class BA1 : public RouterWindow, public UpdateTarget {
 public:
  BA1(Platform& platform, ContentServer server, std::filesystem::path appDir);
  ~BA1() override;
  BA1(const BA1&) = delete;
  BA1& operator=(const BA1&) = delete;

  // Start-up of the window: size from the settings, skin, start pages of the views.
  void Load();
  // A later start of the program handed over: bring the window back to the front.
  void OnHandOver();
  // ttt_v: quits the program. Runs onQuit, which the program's top sets to unload the other
  // forms and then either show the exit ad or unload this window; without it, unloads this
  // window.
  void ttt_v();
  // Hides the window for good and reports it unloaded.
  void Unload();
  bool Unloaded() const { return unloaded_; }
  // gun_ad: loads the server's ticker list and starts cycling it.
  void LoadTicker() { statusStrip_.LoadTicker(); }
  const SkinSheets& Skin() const { return skin_; }
  // The nine web views in the order their start pages open: Web1, Web2, Web3, Web5, Web6, Web8,
  // Web9, Web11, Web10.
  std::array<WebView*, 9> WebViews();
  Page CurrentPage() const { return pageTabs_.Current(); }

  std::function<void()> onQuit;
  // Called once the window is gone for good.
  std::function<void()> onUnloaded;
  // The menu button asks for the program menu at this window position.
  std::function<void(Point at)> onMenuRequested;
  // The portal's context menu was asked for at the pointer.
  std::function<void()> onPortalMenuRequested;

  // What the link router acts on.
  WebView& PortalView() override { return portal_.View(); }
  WebView& PlayerView() override { return player_.PlayerView(); }
  WebView& HistoryView() override { return listSideBar_.HistoryView(); }
  WebView& InformationView() override { return listSideBar_.InformationView(); }
  WebView& TvPlayerView() override { return tvPane_.PlayerView(); }
  WebView& ChannelView() override { return tvPane_.ChannelView(); }
  HistoryStore& PlayList() override { return historyStore_; }
  void ShowPlayerPage() override { pageTabs_.Select(Page::Player); }
  void ShowPlayerPageOnArrival() override { playerReveal_.RevealSoon(); }
  void ShowNowPlaying() override { listSideBar_.SelectTab(ListTab::NowPlaying, false); }
  void SetPlayerState(PlayerState state) override;
  void ShowTvCloseButton() override { tvPane_.SetCloseButtonVisible(true); }

  // What the update check switches on.
  TopWindow& Window() override { return *window_; }
  void SetTickerEnabled(bool enabled) override { statusStrip_.SetTickerEnabled(enabled); }
  void ShowAdBanner() override { player_.ShowBanner(); }
  void Quit() override { ttt_v(); }

 private:
  void WireEvents();
  void WireViewEvents();
  void StartWebViews(const std::string& userId);
  void StartViewsBehindThePortal(const std::string& userId);
  void LoadPictures();
  void ApplySkin(int skin);  // p_p
  void PaintFrame();
  void OnResize();
  void LayoutAll();
  void LayoutPlayerPage();
  void LayoutTvPage();
  void LayoutCompact();
  void EnterCompact();  // the compact button's command
  void LeaveCompact();  // jbi_Click
  void CloseCommand();
  void HideToTray();
  void CloseVideoPlayer();  // ggx_Click
  void CloseTvPlayer();     // gtv_Click
  void ResetHover();        // ResetHoverColours
  // The window's shortcuts; true when the key was one of them.
  bool OnKey(const KeyEvent& key);
  WebView& ShownPageView();
  std::filesystem::path ConfigPath() const;
  int ReadSetting(const char* key) const;
  void OnPageShown(Page page);

  Platform& platform_;
  ContentServer server_;
  std::filesystem::path appDir_;
  std::unique_ptr<TopWindow> window_;
  SkinSheets skin_;  // ppt
  ChromeClicks clicks_;
  HistoryPage historyPage_;
  HistoryStore historyStore_;
  PageTabs pageTabs_;
  PortalPane portal_;
  SplitPage playerPage_;  // zz: L1 beside the list side bar l2
  PlayerPane player_;
  PlayerPageReveal playerReveal_;
  ListSideBar listSideBar_;
  SplitPage tvPage_;  // tv: tvleft beside the channel list tvright
  TvPane tvPane_;
  WebView* shoppingView_ = nullptr;   // Web9, the page of the tab ying
  WebView* usagePingView_ = nullptr;  // Web6, never shown
  StartPageReload shoppingStart_;
  CaptionBar captionBar_;
  StatusStrip statusStrip_;
  FrameSizing frameSizing_;
  PlayerState playerState_ = PlayerState::None;
  bool skinApplied_ = false;  // SkinApplied
  bool unloaded_ = false;
  bool webViewsStarted_ = false;
  bool viewsBehindThePortalStarted_ = false;
  // Starts the views behind the portal should its document be slow to come.
  std::unique_ptr<Timer> viewsBehindThePortalTimer_;
};

}  // namespace lumora
