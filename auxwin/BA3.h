#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace lumora {

class SkinSheets;

// The settings and about dialog: a small frameless window painted from the main window's skin,
// owned by the main window, with a settings page (three check boxes) and an about page (texts
// and the site link) chosen by two tabs. Loaded when first shown, unloaded when closed.
class BA3 {
 public:
  static constexpr Size kClientSize{472, 313};
  enum class Page { kAbout = 0, kSettings = 1 };

  BA3(Platform& platform, TopWindow& owner, const SkinSheets& skin, std::string siteUrl,
      std::filesystem::path appDir);
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
  // Switches the loaded dialog to a page: its tab lit, its page shown (d_z_Click).
  void ShowPage(Page page);

  TopWindow& Window() { return *window_; }

 private:
  void Load();
  void CreateBody();
  void CreateSettingsPage();
  void CreateAboutPage();
  void CreateButtons();
  void WireEvents();
  void LoadBoxes();
  void OnResize();
  void PaintFrame();  // F2_Paint
  void PaintCloseButton(bool hover);
  void OnCloseButtonMove(const MouseEvent& event);
  void OnSurfaceMove(const MouseEvent& event);
  void OnLinkMove(const MouseEvent& event);
  void OnLinkClick();
  void ShowLinkNormal();
  void Apply();          // cmdApply_Click
  void ApplyAndClose();  // cmdOK_Click
  Label*& TabOf(Page page) { return pageTabs_[static_cast<size_t>(page)]; }
  Picture*& PageOf(Page page) { return pages_[static_cast<size_t>(page)]; }

  Platform& platform_;
  TopWindow& owner_;
  const SkinSheets& skin_;
  std::string siteUrl_;
  std::filesystem::path appDir_;
  std::filesystem::path configPath_;  // ConfigPath
  bool linkJustClicked_ = false;      // LinkClicked: while set, hovering leaves the link plain
  std::unique_ptr<TopWindow> window_;
  // The window of the last closing, kept until the next one: closing runs inside the window's
  // own event handlers.
  std::unique_ptr<TopWindow> closed_;

  // Parts of the loaded dialog; those of a closed one stay until the next load.
  Label* title_ = nullptr;               // ni_name
  Picture* closeButton_ = nullptr;       // guan
  Picture* body_ = nullptr;              // P1: everything below the title band
  Picture* tabColumn_ = nullptr;         // P2
  Picture* tabHolder_ = nullptr;         // Pic4
  Picture* pageArea_ = nullptr;          // P3
  Picture* titleRule_ = nullptr;         // Line5
  std::array<Label*, 2> pageTabs_{};     // d_z, by Page
  std::array<Picture*, 2> pages_{};      // pz, by Page
  CheckBox* hideToTrayBox_ = nullptr;    // Check1(5)
  CheckBox* trayBalloonsBox_ = nullptr;  // Check1(8)
  CheckBox* saveSizeBox_ = nullptr;      // Check1(0)
  std::vector<Label*> texts_;            // L1 but the link: a click shows the link plain
  Label* siteLink_ = nullptr;            // L1(0)
  Button* okButton_ = nullptr;           // cmdOK
  Button* cancelButton_ = nullptr;       // cmdCancel
  Button* applyButton_ = nullptr;        // cmdApply
};

}  // namespace lumora
