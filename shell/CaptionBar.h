#pragma once

#include <array>
#include <functional>

#include "platform/Platform.h"
#include "shell/ChromeClicks.h"
#include "shell/SkinSheets.h"

namespace lumora {

// The compact player mode (CompactMode): off, or the window showing only the video player of the
// player page or only the TV player.
enum class CompactMode { Off, Player, Tv };

// The window buttons of the caption (the elements 0 to 5 of npc), their tooltip, the
// always-on-top state and the controls of compact mode: the exit glyph and the compact caption.
class CaptionBar {
 public:
  CaptionBar(Platform& platform, TopWindow& window, const SkinSheets& skin, ChromeClicks& clicks);

  void Paint();
  void Layout(Size client);
  void LayoutCompact(Size client);

  // Hides the buttons and shows the exit glyph, and the compact caption for the video player.
  void EnterCompact(CompactMode mode);
  // Restores a maximised window and shows the buttons again.
  void LeaveCompact();
  CompactMode Compact() const { return compact_; }

  // The maximise button's command, also run by a double click on the window's surface.
  void ToggleMaximize();
  // The maximise button shows and says what a click on it does in the window's present state,
  // however the state came about: the button, a double click or the window manager.
  void ShowWindowState();
  void HideTooltip();
  // The menu button's command: asks for the program menu under the button.
  void OpenMenu();
  // Undoes the exit glyph's hover colour.
  void ResetHover();

  std::function<void()> onClose;
  std::function<void()> onCompact;
  std::function<void()> onLeaveCompact;
  // The menu button asks for the program menu at this window position.
  std::function<void(Point at)> onMenu;

 private:
  enum Button { kMinimize, kMaximize, kClose, kCompact, kOnTop, kMenu, kButtonCount };

  void CreateButtons(ChromeClicks& clicks);
  void CreateCompactControls();
  void Click(Button button);
  void PointerMove(Button button, const MouseEvent& event);
  void PaintButton(Button button, bool hover);
  void ShowTooltip(Button button);
  void SetTip(Button button, const char* text);
  void ToggleOnTop();

  Platform& platform_;
  TopWindow& window_;
  const SkinSheets& skin_;
  std::array<Picture*, kButtonCount> buttons_{};  // npc(0) to npc(5)
  Picture* tooltip_ = nullptr;                    // P1
  Label* tooltipText_ = nullptr;                  // bo_tip
  Label* exitCompact_ = nullptr;                  // jbi
  Label* compactCaption_ = nullptr;               // ni_bo1
  bool onTop_ = false;
  CompactMode compact_ = CompactMode::Off;
};

}  // namespace lumora
