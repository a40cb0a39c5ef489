#include <cmath>

#include "resources/generator/Draw.h"
#include "resources/generator/Sheets.h"

// The page tabs of the caption band and the side bar's header, list tabs and handle.
namespace lumora::skin {
namespace {

constexpr int kPageTabWidth = 68;
constexpr const char* kPageTitles[] = {"影视", "播放", "电视", "淘宝"};

constexpr int kListTabWidth = 60;
constexpr int kListTabHeight = 21;
constexpr const char* kListTitles[] = {"正在播放", "历史观看", "本机影片"};

constexpr int kHandleWidth = 7;
constexpr int kHandleHeight = 40;

struct TabColours {
  Rgb upper;
  Rgb lower;
  Rgb text;
};
constexpr TabColours kSelectedTab{colour::kAccentLight, colour::kAccentDark, colour::kGlyphHover};
constexpr TabColours kIdleTab{colour::kIdleTabLight, colour::kIdleTabDark, colour::kIdleTabText};

void PageTab(cairo_t* cr, int left, int height, const char* title, const TabColours& colours) {
  RoundedRectPath(cr, left + 1, 1, kPageTabWidth - 2, height - 2, 4);
  SetVerticalGradient(cr, colours.upper, colours.lower, 1, height - 1);
  cairo_fill(cr);
  cairo_move_to(cr, left + 4, 1.5);
  cairo_line_to(cr, left + kPageTabWidth - 4, 1.5);
  SetColour(cr, colour::kGlyphHover, 0.3);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  DrawCentredText(cr, title, {15, colours.text}, {left, 0, kPageTabWidth, height});
}

void SelectedListTab(cairo_t* cr, int left, const char* title) {
  RoundedRectPath(cr, left + 2, 1, kListTabWidth - 4, kListTabHeight - 2, 3);
  SetColour(cr, colour::kListTabPlate);
  cairo_fill(cr);
  cairo_rectangle(cr, left + 16, kListTabHeight - 3, kListTabWidth - 32, 2);
  SetColour(cr, colour::kAccent);
  cairo_fill(cr);
  // Raised a little, clear of the accent line.
  DrawCentredText(cr, title, {12, colour::kGlyphHover},
                  {left, 0, kListTabWidth, kListTabHeight - 4});
}

void IdleListTab(cairo_t* cr, int left, const char* title) {
  DrawCentredText(cr, title, {12, colour::kListTabIdleText},
                  {left, kListTabHeight, kListTabWidth, kListTabHeight});
}

// A chevron pointing right, in the middle of a handle cell at the origin.
void RightArrow(cairo_t* cr) {
  double middle = kHandleHeight / 2.0;
  cairo_move_to(cr, 2.5, middle - 3.5);
  cairo_line_to(cr, 4.8, middle);
  cairo_line_to(cr, 2.5, middle + 3.5);
  SetColour(cr, colour::kPageText);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

Rgb HandleAt(double x, double y) {
  bool edge = x < 1 || x >= kHandleWidth - 1 || y < 1 || y >= kHandleHeight - 1;
  return edge ? colour::kHandleEdge : colour::kHandle;
}

}  // namespace

void DrawPageTabs(Canvas& canvas, bool selected) {
  canvas.Shade(canvas.Bounds(),
               [](double, double y) { return CaptionShade(place::kPageTabTop + y); });
  int left = 0;
  for (const char* title : kPageTitles) {
    PageTab(canvas.Context(), left, canvas.Logical().height, title,
            selected ? kSelectedTab : kIdleTab);
    left += kPageTabWidth;
  }
}

void DrawListTabs(Canvas& canvas) {
  canvas.Shade(canvas.Bounds(), [](double, double y) {
    return HeaderShade(place::kListTabTop + std::fmod(y, kListTabHeight));
  });
  int left = 0;
  for (const char* title : kListTitles) {
    SelectedListTab(canvas.Context(), left, title);
    IdleListTab(canvas.Context(), left, title);
    left += kListTabWidth;
  }
}

void DrawSideBarHeader(Canvas& canvas) {
  canvas.Shade(canvas.Bounds(), [](double, double y) { return HeaderShade(y); });
}

void DrawSideBarHandle(Canvas& canvas) {
  Rect closing{0, 0, kHandleWidth, kHandleHeight};
  canvas.Shade(closing, HandleAt);
  RightArrow(canvas.Context());
  canvas.MirrorCell(closing, {kHandleWidth, 0});
}

}  // namespace lumora::skin
