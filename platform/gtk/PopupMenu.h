#pragma once

#include <gtk/gtk.h>

#include "platform/Menu.h"
#include "platform/gtk/GObjectPtr.h"

namespace lumora::gtk {

// A GtkMenu popped up on its own, never attached to a widget. Each item owns its command.
class PopupMenu final : public Menu {
 public:
  PopupMenu();
  ~PopupMenu() override;
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  void AddItem(const std::string& caption, std::function<void()> command) override;
  void AddSeparator() override;
  // Does nothing while the owner is not on the screen.
  void PopupAt(TopWindow& owner, Point windowPosition) override;
  void PopupAtPointer(TopWindow& owner) override;

  GtkMenu* Handle() const { return GTK_MENU(menu_.get()); }

 private:
  void Append(GtkWidget* item);

  GObjectPtr<GtkWidget> menu_;
};

}  // namespace lumora::gtk
