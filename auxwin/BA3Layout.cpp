#include <string>

#include "auxwin/BA3.h"
#include "core/Product.h"
#include "shell/BA1.h"
#include "shell/Theme.h"
#include "shell/WindowFrame.h"

namespace lumora {
namespace {

constexpr Color kDialogBack{0xFAAF41};
constexpr Color kBodyBack{0xF0F0F0};
constexpr Color kTabColumnEdge{0xC0C0C0};
constexpr Color kDialogPageBack{0xFFFFFF};
constexpr Color kTitleRule{0x989898};
constexpr Color kSettingsRule{0xC0C0C0};
constexpr Color kAboutRule{0x808080};
constexpr Color kLink{0x0000FF};
constexpr Rect kCloseCell{100, 0, 20, 21};
constexpr Size kCloseSize{20, 21};
const Font kDialogFont{kSongTypeface, 9, false, false};

Picture& AddPanel(Container& holder, Color back) {
  Picture& panel = holder.AddPicture();
  panel.SetBackColor(back);
  return panel;
}

// A horizontal rule one pixel high from `from` to `toX`.
void AddRule(Container& holder, Point from, int toX, Color color) {
  AddPanel(holder, color).SetGeometry({from.x, from.y, toX - from.x, 1});
}

Label& AddText(Container& holder, Point at, const std::string& text, const Font& font) {
  Label& label = holder.AddLabel();
  label.SetFont(font);
  label.SetAutoSize(true);
  label.SetCaption(text);
  label.Move(at);
  return label;
}

}  // namespace

void BA3::CreateBody() {
  ni_name = &AddText(*window_, {16, 9}, "软件设置", {kSongTypeface, 9, true, false});
  ni_name->SetForeColor(kProductLabelGrey);
  guan = &window_->AddPicture();
  Line5 = &AddPanel(*window_, kTitleRule);
  P1 = &AddPanel(*window_, kBodyBack);
  P2 = &AddPanel(*P1, kTabColumnEdge);
  Pic4 = &AddPanel(*P2, kBodyBack);
  for (int page : {kSettingsPage, kAboutPage}) {
    d_z[page] = &Pic4->AddLabel();
    d_z[page]->SetFont(kDialogFont);
  }
  P3 = &AddPanel(*P1, kDialogPageBack);
  for (int page : {kAboutPage, kSettingsPage}) pz[page] = &AddPanel(*P3, kDialogPageBack);
}

void BA3::CreateSettingsPage() {
  Picture& page = *pz[kSettingsPage];
  L1[2] = &AddText(page, {32, 16}, "常规设置", kDialogFont);
  AddRule(page, {32, 32}, 280, kSettingsRule);
  struct BoxPlace {
    int index;
    const char* caption;
    Rect geometry;
  };
  static constexpr BoxPlace kBoxes[] = {
      {kHideToTrayBox, "关闭软件最小化到托盘", {40, 56, 152, 17}},
      {kTrayBalloonsBox, "托盘显示气泡提示", {40, 88, 128, 17}},
      {kSaveSizeBox, "保存软件界面大小", {40, 120, 120, 17}},
  };
  for (const BoxPlace& place : kBoxes) {
    CheckBox& box = page.AddCheckBox();
    box.SetFont(kDialogFont);
    box.SetCaption(place.caption);
    box.SetGeometry(place.geometry);
    Check1[place.index] = &box;
  }
}

void BA3::CreateAboutPage() {
  Picture& page = *pz[kAboutPage];
  std::string product(kProductName);
  L1[4] = &AddText(page, {56, 24}, product, {kSongTypeface, 10.5, true, false});
  L1[8] = &AddText(page, {56, 56}, "版本 " + std::string(kAppVersion) + "    发布日期 2011.09.05",
                   kDialogFont);
  AddRule(page, {56, 80}, 328, kAboutRule);
  L1[9] = &AddText(page, {56, 96}, product + "是一款以P2P技术为核心的播放软件。", kDialogFont);
  L1[6] = &AddText(page, {56, 118}, "软件以搜索引擎的方式整合了互联网上的媒体资", kDialogFont);
  L1[7] = &AddText(page, {56, 140}, "源。为用户提供方便、快捷的浏览体验。", kDialogFont);
  L1[0] = &AddText(page, {56, 168}, "官方网址: " + siteUrl_, kDialogFont);
  L1[0]->SetForeColor(kLink);
}

void BA3::CreateButtons() {
  struct ButtonPlace {
    Button** button;
    const char* caption;
    int x;
  };
  const ButtonPlace buttons[] = {
      {&cmdOK, "确定", 184}, {&cmdCancel, "取消", 280}, {&cmdApply, "应用(&A)", 368}};
  for (const ButtonPlace& place : buttons) {
    Button& button = P1->AddButton();
    button.SetFont(kDialogFont);
    button.SetCaption(place.caption);
    button.SetGeometry({place.x, 248, 73, 25});
    *place.button = &button;
  }
}

void BA3::OnResize() {
  F2_Paint();
  Size client = window_->ClientSize();
  ni_name->Move({16, 9});
  P1->SetGeometry({2, 30, client.width - 4, client.height - 32});
  Size body = P1->Geometry().Extent();
  P2->SetGeometry({0, 0, 130, body.height - 40});
  Size column = P2->Geometry().Extent();
  P3->SetGeometry({130, 0, body.width - 130, column.height});
  Pic4->SetGeometry({0, 0, column.width - 1, column.height - 1});
  int tabWidth = Pic4->Geometry().width;
  d_z[kSettingsPage]->SetGeometry({0, 0, tabWidth, 35});
  d_z[kAboutPage]->SetGeometry({0, 31, tabWidth, 35});
  Size pageArea = P3->Geometry().Extent();
  for (Picture* page : pz) page->SetGeometry({0, 0, pageArea.width, pageArea.height - 1});
  L1[0]->Move({L1[0]->Geometry().x, 180});
  Line5->SetGeometry({0, 29, client.width, 1});
}

void BA3::F2_Paint() {
  Bitmap& surface = window_->Surface();
  surface.Fill(kDialogBack);
  PaintSkinFrame(surface, owner_.Skin()[SkinSheet::kFrame], window_->ClientSize());
  window_->Refresh();
  RoundWindow(*window_);
  Size client = window_->ClientSize();
  guan->SetGeometry({client.width - 28, 5, kCloseSize.width, kCloseSize.height});
  PaintCloseButton(false);
  guan->Refresh();
}

void BA3::PaintCloseButton(bool hover) {
  guan->Surface().Blit(
      {0, 0}, owner_.Skin()[hover ? SkinSheet::kButtonsHover : SkinSheet::kButtons], kCloseCell);
}

}  // namespace lumora
