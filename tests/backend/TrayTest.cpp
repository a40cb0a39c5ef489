#include <cairo.h>
#include <gio/gio.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkTrayIcon.h"
#include "platform/gtk/PopupMenu.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;
using ::testing::AllOf;
using ::testing::HasSubstr;

// A service the test owns on the session bus, over a connection of its own as another program
// would have: one object whose method calls are recorded and answered with `reply` (null answers
// with no values). The name is held once the constructor returns; destroying the service takes
// it off the bus. Calls are served by the main context, which the test must iterate.
class FakeBusService {
 public:
  struct Call {
    std::string sender;
    std::string parameters;  // as g_variant_print prints them, with type annotations
  };

  FakeBusService(
      const char* name, const char* path, const char* xml,
      std::function<GVariant*()> reply = [] { return nullptr; })
      : node_(g_dbus_node_info_new_for_xml(xml, nullptr), g_dbus_node_info_unref),
        reply_(std::move(reply)) {
    g_autofree char* address =
        g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    bus_.reset(g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr));
    static const GDBusInterfaceVTable vtable{OnMethodCall, nullptr, nullptr, {}};
    object_ = g_dbus_connection_register_object(bus_.get(), path, node_->interfaces[0], &vtable,
                                                this, nullptr, nullptr);
    g_autoptr(GVariant) owned = g_dbus_connection_call_sync(
        bus_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", name, 4u /* do not queue */), nullptr,
        G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    EXPECT_TRUE(owned) << name;
  }
  ~FakeBusService() {
    g_dbus_connection_unregister_object(bus_.get(), object_);
    g_dbus_connection_close_sync(bus_.get(), nullptr, nullptr);
  }

  GDBusConnection* Bus() const { return bus_.get(); }
  std::vector<Call> calls;

 private:
  static void OnMethodCall(GDBusConnection*, const char* sender, const char*, const char*,
                           const char*, GVariant* parameters, GDBusMethodInvocation* invocation,
                           gpointer data) {
    auto* self = static_cast<FakeBusService*>(data);
    g_autofree char* printed = g_variant_print(parameters, TRUE);
    self->calls.push_back({sender, printed});
    g_dbus_method_invocation_return_value(invocation, self->reply_());
  }

  GObjectPtr<GDBusConnection> bus_;
  std::unique_ptr<GDBusNodeInfo, decltype(&g_dbus_node_info_unref)> node_;
  std::function<GVariant*()> reply_;
  guint object_ = 0;
};

// A tray host's watcher: items register with it.
constexpr char kWatcherXml[] = R"xml(<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
  </interface></node>)xml";

constexpr char kNotificationsXml[] = R"xml(<node>
  <interface name="org.freedesktop.Notifications"><method name="Notify">
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/><arg type="u" direction="out"/>
  </method></interface></node>)xml";

// Calls a method from a peer, pumping the main loop for the answer: the answer printed, or
// "error".
std::string CallAndWait(GDBusConnection* from, const std::string& service, const char* path,
                        const char* interface, const char* method, GVariant* parameters) {
  std::optional<std::string> answer;
  // Times out before the pump does, so the answer never outlives this call.
  g_dbus_connection_call(
      from, service.c_str(), path, interface, method, parameters, nullptr, G_DBUS_CALL_FLAGS_NONE,
      3000, nullptr,
      [](GObject* bus, GAsyncResult* result, gpointer answer) {
        g_autoptr(GVariant) reply =
            g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr);
        g_autofree char* printed = reply ? g_variant_print(reply, FALSE) : g_strdup("error");
        *static_cast<std::optional<std::string>*>(answer) = printed;
      },
      &answer);
  PumpUntil([&] { return answer.has_value(); });
  return answer.value_or("error");
}

// Where the open menu is on the screen; nothing while it is closed.
std::optional<Point> MenuOrigin(PopupMenu& menu) {
  if (!gtk_widget_get_mapped(GTK_WIDGET(menu.Handle()))) return std::nullopt;
  Point origin;
  GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(menu.Handle()));
  gdk_window_get_origin(gtk_widget_get_window(toplevel), &origin.x, &origin.y);
  return origin;
}

// No tray test may make GLib or the toolkit warn: what they log goes to the standard error.
class TrayTest : public ::testing::Test {
 protected:
  void SetUp() override { ::testing::internal::CaptureStderr(); }
  void TearDown() override {
    std::string logged = ::testing::internal::GetCapturedStderr();
    for (auto* l : {"WARNING **", "CRITICAL **"}) EXPECT_EQ(logged.find(l), logged.npos) << logged;
  }
  TrayTest() {
    menu_.AddItem("Back", [this] { clicks_.push_back("Back chosen"); });
    menu_.AddSeparator();
    menu_.AddItem("Quit", [this] { clicks_.push_back("Quit chosen"); });
    tray_.onLeftClick = [this] { clicks_.push_back("left"); };
    tray_.onRightClick = [this] {
      clicks_.push_back("right");
      menu_.PopupAtPointer(*window_);
    };
  }
  GtkTrayIcon& Tray() { return dynamic_cast<GtkTrayIcon&>(tray_); }
  bool ShowsXEmbedIcon() {
    return PumpUntil([&] { return Tray().XEmbedIcon() && !Tray().Item(); });
  }
  // A user's choice of the item at this index: the menu closes, then the item runs.
  void Choose(guint index) {
    g_autoptr(GList) items = gtk_container_get_children(GTK_CONTAINER(menu_.Handle()));
    GtkWidget* item = GTK_WIDGET(g_list_nth_data(items, index));
    gtk_menu_shell_activate_item(GTK_MENU_SHELL(menu_.Handle()), item, TRUE);
  }
  // A tray host's watcher comes; the item registers with it.
  void StartWatcher() {
    watcher_ = std::make_unique<FakeBusService>("org.kde.StatusNotifierWatcher",
                                                "/StatusNotifierWatcher", kWatcherXml);
    ASSERT_TRUE(PumpUntil([&] { return !watcher_->calls.empty(); }));
    // The bus name the item registered, printed "('name',)".
    const std::string& registered = watcher_->calls[0].parameters;
    item_ = registered.substr(2, registered.size() - 5);
  }
  // A call of the host to the registered item.
  std::string CallItem(const char* path, const char* interface, const char* method,
                       GVariant* parameters) {
    return CallAndWait(watcher_->Bus(), item_, path, interface, method, parameters);
  }

  GtkPlatform platform_;
  TrayIcon& tray_ = platform_.GetTrayIcon();
  std::unique_ptr<TopWindow> window_ = platform_.CreateWindow();
  std::unique_ptr<Menu> ownedMenu_ = platform_.CreateMenu();
  PopupMenu& menu_ = dynamic_cast<PopupMenu&>(*ownedMenu_);
  std::vector<std::string> clicks_;
  std::unique_ptr<FakeBusService> watcher_;
  std::string item_;
};

TEST_F(TrayTest, XEmbedWithoutAWatcherThenAnItemForTheWatcherThatComesAndTheMenuAtAClick) {
  std::vector<bool> shown;
  tray_.onShownChanged = [&] { shown.push_back(tray_.IsShown()); };
  Bitmap halfRed(Size{2, 1});  // premultiplied here, straight on the bus
  cairo_t* cr = cairo_create(halfRed.Surface());
  cairo_set_source_rgba(cr, 1, 0, 0, 0.5);
  cairo_paint(cr);
  cairo_destroy(cr);
  tray_.Add(halfRed, "Lumora");
  ASSERT_TRUE(ShowsXEmbedIcon());
  EXPECT_FALSE(tray_.IsShown()) << "no notification area embeds the icon";
  GtkStatusIcon* icon = Tray().XEmbedIcon()->Handle();
  g_signal_emit_by_name(icon, "activate");
  g_signal_emit_by_name(icon, "popup-menu", 3u, 0u);
  ASSERT_TRUE(PumpUntil([&] { return MenuOrigin(menu_).has_value(); }));
  Choose(0);
  tray_.ShowBalloon("Lumora", "no notification service listens");

  StartWatcher();
  EXPECT_FALSE(Tray().XEmbedIcon());
  EXPECT_TRUE(PumpUntil([&] { return tray_.IsShown(); })) << "the watcher took the item";
  std::string all = CallItem("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "GetAll",
                             g_variant_new("(s)", "org.kde.StatusNotifierItem"));
  EXPECT_THAT(all, AllOf(HasSubstr("'Title': <'Lumora'>"), HasSubstr("'ItemIsMenu': <false>"),
                         HasSubstr("'Status': <'Active'>"),
                         HasSubstr("'IconPixmap': <[(2, 1, [byte 0x80, 0xff, 0x00, 0x00, 0x80, "
                                   "0xff, 0x00, 0x00])]>")));

  PointAtScreen(700, 500);
  for (const char* method : {"Activate", "SecondaryActivate", "ContextMenu"}) {
    ASSERT_EQ(CallItem("/StatusNotifierItem", "org.kde.StatusNotifierItem", method,
                       g_variant_new("(ii)", 5, 5)),
              "()");
  }
  ASSERT_TRUE(PumpUntil([&] { return MenuOrigin(menu_).has_value(); }));
  EXPECT_EQ(MenuOrigin(menu_), (Point{701, 501})) << "the menu opens at the pointer";
  Choose(2);
  EXPECT_FALSE(MenuOrigin(menu_));
  EXPECT_EQ(clicks_, (std::vector<std::string>{"left", "right", "Back chosen", "left", "right",
                                               "Quit chosen"}));

  watcher_.reset();
  EXPECT_TRUE(ShowsXEmbedIcon()) << "back to XEmbed when the watcher goes";
  EXPECT_FALSE(tray_.IsShown());
  tray_.Remove();
  EXPECT_FALSE(Tray().XEmbedIcon());
  EXPECT_EQ(shown, (std::vector<bool>{true, false}));

  // The program menu pops up at a position of its window from a click there, never over a hidden
  // window.
  menu_.PopupAt(*window_, {20, 30});
  EXPECT_FALSE(PumpUntil([&] { return MenuOrigin(menu_).has_value(); }, 100ms));
  window_->onMouseDown = [&](const MouseEvent&) { menu_.PopupAt(*window_, {20, 30}); };
  window_->SetBounds({300, 200, 240, 160});
  window_->Surface().Fill(Color{0x0000FF});
  window_->Show();
  ASSERT_TRUE(PumpUntil([] { return ScreenPixel(310, 210) == 0x0000FF; }));
  ClickOnScreen(310, 210);
  ASSERT_TRUE(PumpUntil([&] { return MenuOrigin(menu_).has_value(); }));
  EXPECT_EQ(MenuOrigin(menu_), (Point{320, 230}));
}

TEST_F(TrayTest, ItemExportsTheMenuRunsTheItemAHostClicksAndBalloonsReplaceTheLast) {
  guint32 nextId = 41;
  FakeBusService notifications("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                               kNotificationsXml, [&] { return g_variant_new("(u)", nextId++); });
  tray_.ShowBalloon("Lumora", "before the icon");  // no icon yet: nothing to show
  tray_.ExportMenu(&menu_);
  tray_.Add(Bitmap(), "Lumora");
  StartWatcher();
  auto menuCall = [&](const char* method, GVariant* parameters) {
    return CallItem("/MenuBar", "com.canonical.dbusmenu", method, parameters);
  };
  auto layout = [&](int parent) {
    const char* allProperties[] = {nullptr};
    return menuCall("GetLayout", g_variant_new("(ii^as)", parent, -1, allProperties));
  };
  auto menuPath = [&] {
    return CallItem("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                    g_variant_new("(ss)", "org.kde.StatusNotifierItem", "Menu"));
  };

  EXPECT_EQ(menuPath(), "(<objectpath '/MenuBar'>,)");
  EXPECT_EQ(layout(0),
            "(1, (0, {'children-display': <'submenu'>}, ["
            "<(1, {'label': <'Back'>, 'enabled': <true>, 'visible': <true>}, @av [])>, "
            "<(2, {'type': <'separator'>, 'visible': <true>}, @av [])>, "
            "<(3, {'label': <'Quit'>, 'enabled': <true>, 'visible': <true>}, @av [])>]))");
  EXPECT_EQ(layout(3), "(1, (3, {'label': <'Quit'>, 'enabled': <true>, 'visible': <true>}, []))");
  EXPECT_EQ(layout(4), "error");
  const char* label[] = {"label", nullptr};
  EXPECT_EQ(menuCall("GetGroupProperties",
                     g_variant_new("(@ai^as)", g_variant_new_parsed("[1, 2, 9]"), label)),
            "([(1, {'label': <'Back'>}), (2, {})],)");
  EXPECT_EQ(menuCall("GetProperty", g_variant_new("(is)", 1, "label")), "(<'Back'>,)");

  for (int id : {2, 3}) {
    ASSERT_EQ(menuCall("Event", g_variant_new("(isvu)", id, "clicked", g_variant_new_int32(0), 0u)),
              "()");
  }
  EXPECT_TRUE(PumpUntil([&] { return !clicks_.empty(); }));
  EXPECT_EQ(clicks_, std::vector<std::string>{"Quit chosen"}) << "a separator runs nothing";

  tray_.ExportMenu(nullptr);
  EXPECT_EQ(menuPath(), "(<objectpath '/NO_DBUSMENU'>,)");
  EXPECT_EQ(layout(0), "error");

  // Balloons carry the program's icon and desktop entry, so the desktop shows them as its own;
  // each replaces the last.
  tray_.ShowBalloon("Lumora note:", "Could not read the data \xC3\xBC");
  ASSERT_TRUE(PumpUntil([&] { return notifications.calls.size() == 1; }));
  // The answer with the id reaches the tray before this ping does.
  CallAndWait(notifications.Bus(), notifications.calls[0].sender, "/", "org.freedesktop.DBus.Peer",
              "Ping", nullptr);
  tray_.ShowBalloon("Lumora note:", "Again");
  ASSERT_TRUE(PumpUntil([&] { return notifications.calls.size() == 2; }));

  EXPECT_EQ(notifications.calls[0].parameters,
            "('Lumora', uint32 0, 'lumora', 'Lumora note:', "
            "'Could not read the data \xC3\xBC', @as [], "
            "{'desktop-entry': <'io.lumora.Lumora'>}, -1)");
  EXPECT_THAT(notifications.calls[1].parameters, HasSubstr("uint32 41"));
}

}  // namespace
}  // namespace lumora::gtk
