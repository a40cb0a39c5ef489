#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "content/HistoryStore.h"
#include "content/RouterWindow.h"
#include "core/ContentServer.h"
#include "platform/Platform.h"
#include "shell/SkinSheets.h"

namespace lumora {

// Pointer zones of the 3-pixel sizing band around the window, with the system's hit codes.
enum class FrameZone {
  Interior,
  TopLeft,
  Left,
  BottomLeft,
  Top,
  Bottom,
  TopRight,
  Right,
  BottomRight
};

FrameZone ZoneAt(Point at, Size client);
PointerShape PointerFor(FrameZone zone);
HitCode HitCodeFor(FrameZone zone);

// Window sizes in twips and pixels.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// Gives a window its rounded region: its size plus one, corner ellipse 4 x 4.
void RoundWindow(TopWindow& window);
// Stretches the edges and corners of the frame skin sheet around a surface of this size.
void PaintSkinFrame(Bitmap& surface, const Bitmap& frame, Size client);

// The main window: a frameless, skinned window painted from skin sheets, with four pages, two
// side bars and the nine web views of the content server. Part names follow the window's own
// short names; a comment at each says what the part is.
class BA1 : public RouterWindow {
 public:
  // Window button and tab elements of the npc array.
  enum Element {
    kMinimize = 0,
    kMaximize = 1,
    kClose = 2,
    kCompact = 3,
    kOnTop = 4,
    kMenu = 5,
    kMainSideBarHandle = 6,
    kOpen = 7,
    kPlayerTab = 8,
    kPortalTab = 9,
    kListHeader = 10,
    kNowPlayingTab = 11,
    kHistoryTab = 12,
    kTvTab = 13,
    kShoppingTab = 14,
    kTvSideBarHandle = 15,
  };

  BA1(Platform& platform, ContentServer server, std::filesystem::path appDir);
  ~BA1() override;
  BA1(const BA1&) = delete;
  BA1& operator=(const BA1&) = delete;

  // Start-up of the window: size from the settings, skin, start pages of the views.
  void Load();
  // A later start of the program handed over: bring the window back to the front.
  void OnHandOver();
  // Quits the program: runs onQuit, which the program's top sets to unload the other forms and
  // then either show the exit ad or unload this window; without it, unloads this window.
  void ttt_v();
  std::function<void()> onQuit;
  // Hides the window for good and reports it unloaded.
  void Unload();
  bool Unloaded() const { return unloaded_; }
  // Called once the window is gone for good.
  std::function<void()> onUnloaded;
  // The menu button asks for the program menu at this window position.
  std::function<void(Point at)> onMenuRequested;

  // Skin and layout.
  void p_p(int skin);  // applies a skin
  void PaintFrame();
  void LayoutCaptionAndPages();
  void LayoutMainPage();
  void LayoutTvPage();
  void LayoutCompact();
  void OnResize();

  // Caption bar.
  void PaintCaptionButtons();
  void npc_Click(int index);
  void npc_MouseDown(int index, const MouseEvent& event);
  void npc_MouseMove(int index, const MouseEvent& event);
  void EndSuppressionOnRelease(const MouseEvent& event);
  void zhi_d(int flag);  // always-on-top on (1) or off
  bool OnTop() const;    // read from the always-on-top button's tooltip, where the state lives
  void jbi_Click();      // leaves compact mode
  void OnDoubleClick();

  // Pages and side bars.
  void SelectPageTab(int index);
  void SelectListTab(int index, bool force);

  // Dragging and sizing by the window's own surface.
  void InstallMinMaxHook(Size minimum, Size maximum);
  void FrameEdgeMouse(int mode, int x, int y);
  void OnSurfaceDown(const MouseEvent& event);
  void OnSurfaceMove(const MouseEvent& event);
  void OnSurfaceUp(const MouseEvent& event);

  // The clear-list label: asks, then empties the play list.
  void qk_Click();

  // The scrolling ticker in gunp: loads the server's ticker list and starts cycling it.
  void gun_ad();
  void Timerg_Timer();
  void La_MouseMove(int index, const MouseEvent& event);
  void La_Click(int index);
  void gunp_MouseMove();

  // What the link router acts on.
  WebView& PortalView() override { return *Web1; }
  WebView& PlayerView() override { return *Web2; }
  WebView& HistoryView() override { return *Web3; }
  WebView& InformationView() override { return *Web5; }
  WebView& TvPlayerView() override { return *Web10; }
  WebView& ChannelView() override { return *Web11; }
  HistoryStore& PlayList() override { return historyStore_; }
  void ShowPlayerPage() override { npc_Click(kPlayerTab); }
  void ShowNowPlaying() override { npc_Click(kNowPlayingTab); }
  void SetPlayerState(int mode) override;
  void ShowTvCloseButton() override;
  void ggx_Click();  // closes the video player
  void gtv_Click();  // closes the TV player
  // The portal's context menu was asked for at the pointer.
  std::function<void()> onPortalMenuRequested;

  // The portal view's loading cover.
  void OnPortalLoaded();
  void OnPortalError(const std::string& address);
  void jia_Click();

  TopWindow& Window() { return *window_; }
  const std::filesystem::path& AppDir() const { return appDir_; }

  // Window state shared with the other parts of the program.
  int CurrentPageTab = 9;
  int CurrentListTab = 12;
  int CompactMode = 0;  // 0 normal, 1 compact player on page zz, 2 on page tv
  int PlayerState = 0;  // 0 none, 1 video player in Web2, 3 TV player in Web10
  int SkinApplied = 0;
  int SuppressDoubleClick = 0;
  int ShowExitAd = 0;
  std::string LatestVersion;
  int TickerEnabled = 0;
  int AdPanelState = 0;
  int HomeLoadFailed = 0;
  int TickerHover = 0;

  // Skin sheets of the applied skin (ppt).
  const SkinSheets& Skin() const { return skin_; }
  Bitmap w3;  // the error picture of the loading cover

  // Window buttons, page tabs, list tabs and side-bar handles.
  std::array<Picture*, 16> npc{};
  Picture* zz = nullptr;       // player page: player, ad panel, list side bar
  Picture* zzp = nullptr;      // portal page
  Picture* tv = nullptr;       // TV page
  Picture* ying = nullptr;     // shopping page
  Picture* Pic1 = nullptr;     // frame of the portal view
  Picture* wait = nullptr;     // loading cover over the portal
  ImageBox* jia = nullptr;     // the cover's picture; click retries
  Picture* L1 = nullptr;       // left area of the player page
  Picture* Pic2 = nullptr;     // frame of the video player view
  Picture* ggx = nullptr;      // closes the video player
  Picture* m_ad = nullptr;     // ad panel shown while no video plays
  Picture* adp = nullptr;      // the ad panel's centred picture
  Picture* bo_pad = nullptr;   // banner frame of the ad view
  Picture* l2 = nullptr;       // list side bar of the player page
  Picture* Pic3 = nullptr;     // frame of the history page view
  Picture* Pic5 = nullptr;     // frame of the item information view
  Picture* shan = nullptr;     // bottom strip of the list side bar
  Label* qk = nullptr;         // clear-list label
  Picture* tvleft = nullptr;   // TV player area
  Picture* gtv = nullptr;      // closes the TV player
  Picture* tvright = nullptr;  // TV channel list side bar
  Picture* P1 = nullptr;       // custom tooltip of the window buttons
  Label* bo_tip = nullptr;     // its text
  Label* jbi = nullptr;        // exit-compact-mode glyph
  Label* ni_name = nullptr;    // product label
  Label* ni_bo1 = nullptr;     // compact player's caption label
  Picture* gunp = nullptr;     // ticker panel
  Label* La0 = nullptr;        // first ticker item

  // Ticker items, La[0] being La0, and the ticker's state.
  std::vector<Label*> La;
  // Steps an item while it moves; otherwise ends its rest.
  std::unique_ptr<Timer> Timerg;
  std::vector<std::string> TickerUrls;
  int TickerLast = 0;
  int TickerIndex = 0;
  // The items' rest line, and their rest in milliseconds.
  int TickerTop = 0;
  int TickerHold = 0;

  // The nine web views: portal, video player, history page, item information, usage ping,
  // ad banner, shopping page, TV player, TV channel list.
  WebView* Web1 = nullptr;
  WebView* Web2 = nullptr;
  WebView* Web3 = nullptr;
  WebView* Web5 = nullptr;
  WebView* Web6 = nullptr;
  WebView* Web8 = nullptr;
  WebView* Web9 = nullptr;
  WebView* Web10 = nullptr;
  WebView* Web11 = nullptr;

 private:
  void CreateParts();
  void CreateCaptionParts();
  void CreatePortalPage();
  void CreatePlayerPage();
  void CreateTvPage();
  void CreateStatusParts();
  void SetBackColours();
  void LoadPictures();
  void WireEvents();
  void WireViewEvents();
  void StartWebViews(const std::string& userId);
  void LayoutStatusStrip();
  void PaintButton(int index, bool hover);
  void ShowButtonTooltip(int index);
  void CloseCommand();
  void HideToTray();
  void MaximizeCommand();
  void CompactCommand();
  void CenterOnScreen();
  void ToggleSideBar(Picture& handle, Picture& sideBar);
  void MarkTab(Picture& tab, const Bitmap& sheet, Rect cell, Control& content, bool selected);
  Size LayoutSplitPage(Picture& page, Picture& sideBar, Picture& handle, Picture& left);
  void ResetHoverColours();
  void WireTicker();
  void TakeTickerItems(const std::vector<std::string_view>& items);
  void TickerRestOver();
  void TickerUnderline(int index, bool on);
  void OnSystemSizeEnd();
  void StoreWindowSize();
  std::filesystem::path ConfigPath() const;
  int ReadSetting(const char* key) const;

  Platform& platform_;
  ContentServer server_;
  SkinSheets skin_;
  std::filesystem::path appDir_;
  std::unique_ptr<TopWindow> window_;
  std::unique_ptr<Timer> sizeSaveTimer_;
  HistoryPage historyPage_;
  HistoryStore historyStore_;
  Size minTrack_;
  Size maxTrack_;
  bool resizeStarted_ = false;
  bool pointerInInterior_ = false;
  bool unloaded_ = false;
};

}  // namespace lumora
