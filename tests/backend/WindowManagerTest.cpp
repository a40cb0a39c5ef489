#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "auxwin/tankou.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkTopWindow.h"
#include "server/DemoServer.h"
#include "tests/backend/BackendTestSupport.h"

// From gdk/gdkx.h, whose X11 macros clash with the platform's names.
extern "C" unsigned long gdk_x11_window_get_xid(GdkWindow* window);

namespace lumora::gtk {
namespace {

using namespace lumora::testing;
using ::testing::AllOf;
using ::testing::HasSubstr;

GtkWidget* HandleOf(TopWindow& window) {
  return GTK_WIDGET(dynamic_cast<GtkTopWindow&>(window).Handle());
}

// Whether the window manager has mapped the window: GDK takes it out of the withdrawn state then.
bool MappedByTheWindowManager(GtkWidget* handle) {
  GdkWindow* window = gtk_widget_get_window(handle);
  return window && !(gdk_window_get_state(window) & GDK_WINDOW_STATE_WITHDRAWN);
}

// The window's size as the window system last reported it.
Size SystemSize(GtkWidget* handle) {
  GdkWindow* window = gtk_widget_get_window(handle);
  return {gdk_window_get_width(window), gdk_window_get_height(window)};
}

// Maximising, minimising and the system's move loop need a window manager: the test runs one
// (openbox) for its own duration.
class WindowManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_autofree char* openbox = g_find_program_in_path("openbox");
    if (!openbox) GTEST_SKIP() << "openbox is not installed";
    window_ = platform_.CreateWindow();
    const char* argv[] = {openbox, "--sm-disable", nullptr};
    ASSERT_TRUE(g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_DO_NOT_REAP_CHILD,
                              nullptr, nullptr, &windowManager_, nullptr));
    // It names itself on the root window once it manages the screen; one that ran before may
    // have left its name there.
    std::string managing = "_OPENBOX_PID(CARDINAL) = " + std::to_string(windowManager_) + "\n";
    ASSERT_TRUE(PumpUntil([&] { return Shell("xprop -root _OPENBOX_PID") == managing; }));
  }
  void TearDown() override {
    window_.reset();
    if (windowManager_ == 0) return;
    kill(windowManager_, SIGTERM);
    waitpid(windowManager_, nullptr, 0);
    g_spawn_close_pid(windowManager_);
  }
  // Waits until the window manager has handled everything asked of it so far, this window's
  // mapping included: it answers a new title of the window by naming the title it shows.
  bool CaughtUp(TopWindow& window) {
    std::string title = "round trip " + std::to_string(++roundTrips_);
    window.SetTitle(title);
    std::string id =
        std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(HandleOf(window))));
    return PumpUntil([&] {
      return Shell("xprop -id " + id + " _NET_WM_VISIBLE_NAME").find(title) != std::string::npos;
    });
  }

  GtkPlatform platform_;
  std::unique_ptr<TopWindow> window_;
  GPid windowManager_ = 0;
  int roundTrips_ = 0;
};

// The user moves and sizes the window; a popup ad comes up beside it, kept above it; the program
// and the window manager maximise, restore and minimise it.
TEST_F(WindowManagerTest, MovesSizesAndStatesReachTheWindowAndAPopupAdLeavesItTheFocus) {
  TopWindow& window = *window_;
  window.SetBounds({100, 100, 300, 200});
  Rect work = platform_.GetDesktop().WorkArea();
  window.SetMaximizedBounds(work);
  // The window manager takes the release that ends a size loop; the backend still tells.
  std::vector<Size> sizeLoopEnds;
  window.onSystemSizeEnd = [&] { sizeLoopEnds.push_back(window.ClientSize()); };
  HitCode edge = HitCode::Caption;
  bool loopStarted = false;
  window.onMouseMove = [&](const MouseEvent& event) {
    if (!event.leftHeld || std::exchange(loopStarted, true)) return;
    edge == HitCode::Caption ? window.BeginSystemMove() : window.BeginSystemSize(edge);
  };
  int resizes = 0;
  window.onResize = [&] { ++resizes; };
  window.Show();
  GtkWidget* handle = HandleOf(window);
  ASSERT_TRUE(PumpUntil([&] { return MappedByTheWindowManager(handle); }));
  ASSERT_TRUE(CaughtUp(window)) << "the window manager named the window's new title";

  // A window that does not have the focus yet gives its first press to the window manager,
  // which would start the loop from wherever the pointer went meanwhile.
  ClickOnScreen(250, 200);
  ASSERT_TRUE(PumpUntil([&] { return gtk_window_is_active(GTK_WINDOW(handle)); }));
  DragOnScreen(250, 200, 310, 245);
  ASSERT_TRUE(PumpUntil([&] { return window.Bounds().Origin() == (Point{160, 145}); }));
  EXPECT_EQ(window.ClientSize(), (Size{300, 200}));
  edge = HitCode::BottomRight;
  loopStarted = false;
  DragOnScreen(458, 343, 518, 373);
  EXPECT_TRUE(PumpUntil([&] { return window.ClientSize() == (Size{360, 230}); }));
  EXPECT_TRUE(PumpUntil([&] { return !sizeLoopEnds.empty(); }));
  EXPECT_EQ(sizeLoopEnds, std::vector<Size>{(Size{360, 230})}) << "once, after the release";

  // The site's popup list shows its first page 14 s after the load, at the bottom right of the
  // screen with its page's size, as a notification that leaves the focus where the user left it.
  std::string focus = Shell("xdotool getwindowfocus");
  DemoServer site(LUMORA_TEST_SITE_DIR);
  site.Start(0);
  tankou popup(platform_, ContentServer(site.BaseUrl(), site.BaseUrl()));
  popup.Load();
  GtkWidget* popupHandle = HandleOf(*popup.Window());
  ASSERT_TRUE(PumpUntil([&] { return MappedByTheWindowManager(popupHandle); }, 30s));
  ASSERT_TRUE(CaughtUp(window)) << "the window manager named the window's new title";
  EXPECT_EQ(Shell("xdotool getwindowfocus"), focus);
  // Its bottom keeps 32 pixels above the screen's bottom edge, or above a higher panel.
  int bottom = std::min(platform_.GetDesktop().ScreenSize().height - 32, work.y + work.height);
  Rect expected{work.x + work.width - 300, bottom - 180, 300, 180};
  // The window manager's word on the place may come after the window showed.
  EXPECT_TRUE(PumpUntil([&] { return popup.Window()->Bounds() == expected; }));
  std::string id = std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(popupHandle)));
  EXPECT_THAT(Shell("xprop _NET_WM_STATE _NET_WM_WINDOW_TYPE -id " + id),
              AllOf(HasSubstr("_NET_WM_STATE_ABOVE"), HasSubstr("_NET_WM_STATE_SKIP_TASKBAR"),
                    HasSubstr("_NET_WM_WINDOW_TYPE_NOTIFICATION")));
  EXPECT_TRUE(PumpUntil([&] {
    return ScreenPixel(expected.x + 280, expected.y + 7) !=
           ScreenPixel(expected.x + 240, expected.y + 7);
  })) << "the close picture lies over the page's top-right corner";

  resizes = 0;
  window.SetState(WindowState::Maximized);
  ASSERT_TRUE(PumpUntil([&] { return window.State() == WindowState::Maximized; }));
  ASSERT_TRUE(PumpUntil([&] { return window.ClientSize() == work.Extent(); }));
  EXPECT_GE(resizes, 2) << "for the state and for the size";

  window.SetState(WindowState::Normal);
  ASSERT_TRUE(PumpUntil([&] { return window.State() == WindowState::Normal; }));
  EXPECT_TRUE(PumpUntil([&] { return window.ClientSize() == (Size{360, 230}); }));

  // Resized, maximised by the window manager (its menu, a key, a panel), restored by the
  // program: the program centres the window right after restoring, so it must see the size the
  // window had at once.
  window.SetBounds({120, 110, 320, 210});
  ASSERT_TRUE(PumpUntil([&] { return SystemSize(handle) == (Size{320, 210}); }));
  gdk_window_maximize(gtk_widget_get_window(handle));
  ASSERT_TRUE(PumpUntil([&] {
    return window.State() == WindowState::Maximized && window.ClientSize() == work.Extent();
  }));
  window.SetState(WindowState::Normal);
  EXPECT_EQ(window.ClientSize(), (Size{320, 210}));
  ASSERT_TRUE(PumpUntil([&] {
    return !(gdk_window_get_state(gtk_widget_get_window(handle)) & GDK_WINDOW_STATE_MAXIMIZED) &&
           SystemSize(handle) == (Size{320, 210});
  })) << "the window manager restored the window";
  EXPECT_EQ(window.ClientSize(), (Size{320, 210}));
  EXPECT_EQ(window.State(), WindowState::Normal);

  window.SetState(WindowState::Minimized);
  EXPECT_TRUE(PumpUntil([&] { return window.State() == WindowState::Minimized; }));
  window.Present();
  EXPECT_TRUE(PumpUntil([&] { return window.State() == WindowState::Normal; }));
}

}  // namespace
}  // namespace lumora::gtk
