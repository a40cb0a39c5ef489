#include "shell/BA1.h"

#include "core/Numbers.h"
#include "core/Product.h"
#include "core/Settings.h"
#include "shell/Glyphs.h"
#include "shell/Theme.h"

namespace lumora {

BA1::BA1(Platform& platform, ContentServer server, std::filesystem::path appDir)
    : platform_(platform),
      server_(std::move(server)),
      appDir_(std::move(appDir)),
      window_(platform.CreateWindow()),
      sizeSaveTimer_(platform.CreateTimer()),
      historyPage_(appDir_,
                   [this](const std::filesystem::path& page) { Web3->Navigate2(page.string()); }),
      historyStore_(appDir_, historyPage_) {
  window_->SetTitle(std::string(kProductName));
  CreateParts();
  WireEvents();
}

BA1::~BA1() = default;

std::filesystem::path BA1::ConfigPath() const {
  return appDir_ / kSettingsFile;
}

int BA1::ReadSetting(const char* key) const {
  return WholeNumber(IniRead(ConfigPath(), "S_q", key, "0")).value_or(0);
}

void BA1::CreateParts() {
  // Pages first, so the caption parts and the tooltip lie above them.
  CreatePortalPage();
  CreatePlayerPage();
  CreateTvPage();
  ying = &window_->AddPicture();
  ying->SetVisible(false);
  Web9 = &ying->AddWebView();
  // The usage ping's view is never shown.
  Web6 = &window_->AddWebView();
  Web6->SetGeometry({0, 0, 1, 1});
  Web6->SetVisible(false);
  CreateCaptionParts();
  CreateStatusParts();
  SetBackColours();
}

void BA1::SetBackColours() {
  for (Picture* part : {zz, zzp, tv, ying, Pic1, wait, L1, Pic2, m_ad, adp, bo_pad, l2, Pic3, Pic5,
                        tvleft, tvright}) {
    part->SetBackColor(kPageBack);
  }
  shan->SetBackColor(kStripBack);
  P1->SetBackColor(kTooltipBack);
}

void BA1::CreatePortalPage() {
  zzp = &window_->AddPicture();
  Pic1 = &zzp->AddPicture();
  Pic1->SetVisible(false);  // shown once the portal has loaded
  Web1 = &Pic1->AddWebView();
  wait = &zzp->AddPicture();
  jia = &wait->AddImage();
}

void BA1::CreatePlayerPage() {
  zz = &window_->AddPicture();
  zz->SetVisible(false);
  L1 = &zz->AddPicture();
  Pic2 = &L1->AddPicture();
  Pic2->SetVisible(false);
  Web2 = &Pic2->AddWebView();
  ggx = &Pic2->AddPicture();
  ggx->SetGeometry({0, 0, kCloseButtonSize, kCloseButtonSize});
  m_ad = &L1->AddPicture();
  adp = &m_ad->AddPicture();
  adp->SetGeometry({0, 0, kAdPictureSize.width, kAdPictureSize.height});
  bo_pad = &m_ad->AddPicture();
  bo_pad->SetVisible(false);  // until the control file asks for the ad panel
  Web8 = &bo_pad->AddWebView();
  l2 = &zz->AddPicture();
  npc[kListHeader] = &l2->AddPicture();
  npc[kNowPlayingTab] = &l2->AddPicture();
  npc[kHistoryTab] = &l2->AddPicture();
  Pic3 = &l2->AddPicture();
  Web3 = &Pic3->AddWebView();
  Pic5 = &l2->AddPicture();
  Pic5->SetVisible(false);
  Web5 = &Pic5->AddWebView();
  shan = &l2->AddPicture();
  qk = &shan->AddLabel();
  qk->SetCaption("∴ 清空列表");
  qk->SetForeColor(kClearListGrey);
  qk->SetAutoSize(true);
  npc[kMainSideBarHandle] = &zz->AddPicture();
}

void BA1::CreateTvPage() {
  tv = &window_->AddPicture();
  tv->SetVisible(false);
  tvleft = &tv->AddPicture();
  Web10 = &tvleft->AddWebView();
  gtv = &tvleft->AddPicture();
  gtv->SetGeometry({0, 0, kCloseButtonSize, kCloseButtonSize});
  gtv->SetVisible(false);
  tvright = &tv->AddPicture();
  Web11 = &tvright->AddWebView();
  npc[kTvSideBarHandle] = &tv->AddPicture();
}

void BA1::CreateCaptionParts() {
  static constexpr int kWindowElements[] = {kMinimize,  kMaximize, kClose,      kCompact,
                                            kOnTop,     kMenu,     kOpen,       kPlayerTab,
                                            kPortalTab, kTvTab,    kShoppingTab};
  for (int index : kWindowElements) npc[index] = &window_->AddPicture();
  static constexpr std::pair<int, const char*> kTooltips[] = {{kMinimize, "最小化"},
                                                              {kMaximize, "最大化"},
                                                              {kClose, "关闭"},
                                                              {kCompact, "精简模式"},
                                                              {kOnTop, "置顶"},
                                                              {kMenu, "菜单"},
                                                              {kOpen, "打开"},
                                                              {kMainSideBarHandle, "关闭侧栏"},
                                                              {kTvSideBarHandle, "关闭侧栏"}};
  for (auto [index, text] : kTooltips) npc[index]->SetTooltip(text);
  npc[kOpen]->SetGeometry({0, 0, 0, 0});
  npc[kNowPlayingTab]->SetPointer(PointerShape::Hand);
  ggx->SetPointer(PointerShape::Hand);
  gtv->SetPointer(PointerShape::Hand);
}

void BA1::CreateStatusParts() {
  ni_name = &window_->AddLabel();
  ni_name->SetFont({kSongTypeface, 9, true, false});
  ni_name->SetForeColor(kProductLabelGrey);
  ni_name->SetAutoSize(true);
  ni_name->SetCaption(std::string(kProductName) + " " + std::string(kAppVersion));
  gunp = &window_->AddPicture();
  La0 = &gunp->AddLabel();
  La0->SetAutoSize(true);
  ni_bo1 = &window_->AddLabel();
  ni_bo1->SetCaption(std::string(kProductName));
  ni_bo1->SetForeColor(kProductLabelGrey);
  ni_bo1->SetAutoSize(true);
  ni_bo1->Move({6, 3});
  ni_bo1->SetVisible(false);
  jbi = &window_->AddLabel();
  jbi->SetCaption(kExitCompactGlyph);
  jbi->SetGeometry({0, 2, 15, 14});
  jbi->SetForeColor(kDarkRed);
  jbi->SetTooltip("退出精简");
  jbi->SetVisible(false);
  P1 = &window_->AddPicture();
  bo_tip = &P1->AddLabel();
  bo_tip->SetAutoSize(true);
  bo_tip->SetForeColor(kTooltipText);
  bo_tip->SetBackColor(kTooltipBack);
  P1->SetVisible(false);
}

void BA1::WireEvents() {
  for (int index = 0; index < static_cast<int>(npc.size()); ++index) {
    npc[index]->onMouseDown = [this, index](const MouseEvent& e) { npc_MouseDown(index, e); };
    npc[index]->onMouseMove = [this, index](const MouseEvent& e) { npc_MouseMove(index, e); };
    npc[index]->onMouseUp = [this](const MouseEvent& e) { EndSuppressionOnRelease(e); };
    npc[index]->onClick = [this, index] { npc_Click(index); };
  }
  window_->onResize = [this] { OnResize(); };
  window_->onMouseDown = [this](const MouseEvent& e) { OnSurfaceDown(e); };
  window_->onMouseMove = [this](const MouseEvent& e) { OnSurfaceMove(e); };
  window_->onMouseUp = [this](const MouseEvent& e) { OnSurfaceUp(e); };
  window_->onDoubleClick = [this] { OnDoubleClick(); };
  window_->onCloseRequest = [this] { npc_Click(kClose); };
  window_->onSystemSizeEnd = [this] { OnSystemSizeEnd(); };
  jbi->onClick = [this] { jbi_Click(); };
  jbi->onMouseMove = [this](const MouseEvent&) {
    window_->SetPointer(PointerShape::Arrow);
    jbi->SetForeColor(kBrightRed);
  };
  qk->onMouseMove = [this](const MouseEvent&) {
    window_->SetPointer(PointerShape::Arrow);
    qk->SetForeColor(kDarkRed);
  };
  shan->onMouseMove = [this](const MouseEvent&) {
    window_->SetPointer(PointerShape::Arrow);
    qk->SetForeColor(kClearListGrey);
  };
  for (Control* part :
       {static_cast<Control*>(m_ad), static_cast<Control*>(zz), static_cast<Control*>(jia)}) {
    part->onMouseMove = [this](const MouseEvent&) { window_->SetPointer(PointerShape::Arrow); };
  }
  jia->onClick = [this] { jia_Click(); };
  ggx->onClick = [this] { ggx_Click(); };
  gtv->onClick = [this] { gtv_Click(); };
  qk->onClick = [this] { qk_Click(); };
  Web1->onDownloadComplete = [this] { OnPortalLoaded(); };
  Web1->onNavigateError = [this](const std::string& address) { OnPortalError(address); };
  Web8->onNavigateError = [this](const std::string&) {
    bo_pad->SetVisible(false);
    AdPanelState = 1;
  };
  WireViewEvents();
  WireTicker();
  sizeSaveTimer_->SetInterval(kSizeSaveDelay);
  sizeSaveTimer_->onTick = [this] { StoreWindowSize(); };
}

}  // namespace lumora

namespace lumora {

void BA1::qk_Click() {
  qk->SetForeColor(kClearListGrey);
  MessageAnswer answer =
      platform_.GetDesktop().ShowMessage(window_.get(), "确定要删除全部[播放列表吗？", "提示：",
                                         MessageButtons::YesNo, MessageIcon::Question);
  if (answer == MessageAnswer::Yes) historyStore_.ClearHistory();
}

}  // namespace lumora
