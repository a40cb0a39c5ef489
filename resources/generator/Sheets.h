#pragma once

#include "resources/generator/Canvas.h"
#include "resources/generator/Gif.h"

// Every picture of the program, each drawn into a canvas of its own size.
namespace lumora::skin {

enum class Look { kNormal, kHover };

// 101: the window drawn at 80 x 100; the frame painter cuts its corners and edges from it.
void DrawFrame(Canvas& canvas);
// 102 and 103: menu, minimise, maximise, close and compact mode.
void DrawWindowButtons(Canvas& canvas, Look look);
// 106: restore, normal and hover.
void DrawRestoreButton(Canvas& canvas);
// 107: always on top, off and on, each normal and hover.
void DrawTopmostButton(Canvas& canvas);
// 104 and 105: sheets the shell does not read.
void DrawPlainChrome(Canvas& canvas);
void DrawPlainPage(Canvas& canvas);

// 108 and 109: the four page tabs.
void DrawPageTabs(Canvas& canvas, bool selected);
// 110: the list tabs, selected row above the unselected one.
void DrawListTabs(Canvas& canvas);
// 111: the side-bar header, stretched sideways.
void DrawSideBarHeader(Canvas& canvas);
// 112: the side-bar handle, closing arrow then opening arrow.
void DrawSideBarHandle(Canvas& canvas);

// The program's mark for the window and the tray, at any square size.
void DrawIcon(Canvas& canvas);
// The loading cover's pictures.
void DrawWaiting(Canvas& canvas);
void DrawLoadError(Canvas& canvas);
// The exit ad window's close picture, 51 x 21.
void DrawExitAdClose(Canvas& canvas);
// The popup ad window's close picture: "关闭" and a cross on a dark pill, 40 x 14.
void DrawPopupClose(Canvas& canvas);
// The history page's delete icon: a small cross in a few shades for a GIF.
IndexedImage MakeDeleteIcon();

}  // namespace lumora::skin
