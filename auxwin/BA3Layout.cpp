#include <string>
#include <utility>

#include "auxwin/BA3.h"
#include "core/Product.h"
#include "shell/SkinSheets.h"
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
  title_ = &AddText(*window_, {16, 9}, "软件设置", {kSongTypeface, 9, true, false});
  title_->SetForeColor(kProductLabelGrey);
  closeButton_ = &window_->AddPicture();
  titleRule_ = &AddPanel(*window_, kTitleRule);
  body_ = &AddPanel(*window_, kBodyBack);
  tabColumn_ = &AddPanel(*body_, kTabColumnEdge);
  tabHolder_ = &AddPanel(*tabColumn_, kBodyBack);
  for (Page page : {Page::kSettings, Page::kAbout}) {
    TabOf(page) = &tabHolder_->AddLabel();
    TabOf(page)->SetFont(kDialogFont);
  }
  pageArea_ = &AddPanel(*body_, kDialogPageBack);
  for (Page page : {Page::kAbout, Page::kSettings}) {
    PageOf(page) = &AddPanel(*pageArea_, kDialogPageBack);
  }
}

void BA3::CreateSettingsPage() {
  Picture& page = *PageOf(Page::kSettings);
  texts_.push_back(&AddText(page, {32, 16}, "常规设置", kDialogFont));
  AddRule(page, {32, 32}, 280, kSettingsRule);
  struct BoxPlace {
    CheckBox** box;
    const char* caption;
    Rect geometry;
  };
  const BoxPlace boxes[] = {
      {&hideToTrayBox_, "关闭软件最小化到托盘", {40, 56, 152, 17}},
      {&trayBalloonsBox_, "托盘显示气泡提示", {40, 88, 128, 17}},
      {&saveSizeBox_, "保存软件界面大小", {40, 120, 120, 17}},
  };
  for (const BoxPlace& place : boxes) {
    CheckBox& box = page.AddCheckBox();
    box.SetFont(kDialogFont);
    box.SetCaption(place.caption);
    box.SetGeometry(place.geometry);
    *place.box = &box;
  }
}

void BA3::CreateAboutPage() {
  Picture& page = *PageOf(Page::kAbout);
  std::string product(kProductName);
  texts_.push_back(&AddText(page, {56, 24}, product, {kSongTypeface, 10.5, true, false}));
  texts_.push_back(&AddText(
      page, {56, 56}, "版本 " + std::string(kAppVersion) + "    发布日期 2011.09.05", kDialogFont));
  AddRule(page, {56, 80}, 328, kAboutRule);
  const std::pair<int, std::string> description[] = {
      {96, product + "是一款以P2P技术为核心的播放软件。"},
      {118, "软件以搜索引擎的方式整合了互联网上的媒体资"},
      {140, "源。为用户提供方便、快捷的浏览体验。"},
  };
  for (const auto& [top, text] : description) {
    texts_.push_back(&AddText(page, {56, top}, text, kDialogFont));
  }
  siteLink_ = &AddText(page, {56, 168}, "官方网址: " + siteUrl_, kDialogFont);
  siteLink_->SetForeColor(kLink);
}

void BA3::CreateButtons() {
  struct ButtonPlace {
    Button** button;
    const char* caption;
    int x;
  };
  const ButtonPlace buttons[] = {
      {&okButton_, "确定", 184}, {&cancelButton_, "取消", 280}, {&applyButton_, "应用(&A)", 368}};
  for (const ButtonPlace& place : buttons) {
    Button& button = body_->AddButton();
    button.SetFont(kDialogFont);
    button.SetCaption(place.caption);
    button.SetGeometry({place.x, 248, 73, 25});
    *place.button = &button;
  }
}

void BA3::OnResize() {
  PaintFrame();
  Size client = window_->ClientSize();
  title_->Move({16, 9});
  body_->SetGeometry({2, 30, client.width - 4, client.height - 32});
  Size body = body_->Geometry().Extent();
  tabColumn_->SetGeometry({0, 0, 130, body.height - 40});
  Size column = tabColumn_->Geometry().Extent();
  pageArea_->SetGeometry({130, 0, body.width - 130, column.height});
  tabHolder_->SetGeometry({0, 0, column.width - 1, column.height - 1});
  int tabWidth = tabHolder_->Geometry().width;
  TabOf(Page::kSettings)->SetGeometry({0, 0, tabWidth, 35});
  TabOf(Page::kAbout)->SetGeometry({0, 31, tabWidth, 35});
  Size pageSize = pageArea_->Geometry().Extent();
  for (Picture* page : pages_) page->SetGeometry({0, 0, pageSize.width, pageSize.height - 1});
  siteLink_->Move({siteLink_->Geometry().x, 180});
  titleRule_->SetGeometry({0, 29, client.width, 1});
}

void BA3::PaintFrame() {
  Bitmap& surface = window_->Surface();
  surface.Fill(kDialogBack);
  PaintSkinFrame(surface, skin_[SkinSheet::kFrame], window_->ClientSize());
  window_->Refresh();
  RoundWindow(*window_);
  Size client = window_->ClientSize();
  closeButton_->SetGeometry({client.width - 28, 5, kCloseSize.width, kCloseSize.height});
  PaintCloseButton(false);
  closeButton_->Refresh();
}

void BA3::PaintCloseButton(bool hover) {
  closeButton_->Surface().Blit(
      {0, 0}, skin_[hover ? SkinSheet::kButtonsHover : SkinSheet::kButtons], kCloseCell);
}

}  // namespace lumora
