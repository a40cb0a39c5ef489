#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace lumora {

class BA1;

// The settings and about dialog: a small frameless window painted from the main window's skin,
// owned by the main window, with a settings page (three check boxes) and an about page (texts
// and the site link) chosen by two tabs. Loaded when first shown, unloaded when closed; part
// names follow the dialog's own short names.
class BA3 {
 public:
  static constexpr Size kClientSize{472, 313};
  enum Page { kAboutPage = 0, kSettingsPage = 1 };
  // Indices of the check boxes in Check1.
  enum Box { kSaveSizeBox = 0, kHideToTrayBox = 5, kTrayBalloonsBox = 8 };

  BA3(Platform& platform, BA1& owner, std::string siteUrl, std::filesystem::path appDir);
  ~BA3();
  BA3(const BA3&) = delete;
  BA3& operator=(const BA3&) = delete;

  bool Loaded() const { return window_ != nullptr; }
  // Shows the dialog modeless over the main window, loading it first when it is not loaded.
  void Show();
  // Brings the shown dialog to the front with the focus.
  void Focus();
  // Closes the dialog; the next Show loads it afresh.
  void Unload();

  void d_z_Click(int index);  // switches to a page
  void F2_Paint();            // paints the frame and the close button
  void cmdApply_Click();
  void cmdOK_Click();

  TopWindow& Window() { return *window_; }

  // Parts of the loaded dialog; null while it is not loaded.
  Label* ni_name = nullptr;           // title
  Picture* guan = nullptr;            // close button
  Picture* P1 = nullptr;              // body below the title band
  Picture* P2 = nullptr;              // tab column
  Picture* Pic4 = nullptr;            // holds the tabs
  Picture* P3 = nullptr;              // page area
  Picture* Line5 = nullptr;           // rule under the title band
  std::array<Label*, 2> d_z{};        // tabs, by page
  std::array<Picture*, 2> pz{};       // pages
  std::array<CheckBox*, 9> Check1{};  // check boxes at the Box indices
  std::array<Label*, 10> L1{};        // texts; L1[0] is the site link
  Button* cmdOK = nullptr;
  Button* cmdCancel = nullptr;
  Button* cmdApply = nullptr;
  bool LinkClicked = false;  // while set, hovering does not highlight the link

 private:
  void Load();
  void CreateBody();
  void CreateSettingsPage();
  void CreateAboutPage();
  void CreateButtons();
  void WireEvents();
  void LoadBoxes();
  void OnResize();
  void PaintCloseButton(bool hover);
  void OnCloseButtonMove(const MouseEvent& event);
  void OnSurfaceMove(const MouseEvent& event);
  void OnLinkMove(const MouseEvent& event);
  void OnTextClick(int index);
  void ShowLinkNormal();

  Platform& platform_;
  BA1& owner_;
  std::string siteUrl_;
  std::filesystem::path appDir_;
  std::filesystem::path ConfigPath;
  std::unique_ptr<TopWindow> window_;
  // The window of the last closing, kept until the next one: closing runs inside the window's
  // own event handlers.
  std::unique_ptr<TopWindow> closed_;
};

}  // namespace lumora
