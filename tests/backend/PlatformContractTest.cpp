#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkTopWindow.h"
#include "platform/gtk/PictureControl.h"
#include "platform/headless/HeadlessInput.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::testing {
namespace {

using std::chrono::milliseconds;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;
using ::testing::StartsWith;

// A window at a free place of the screen.
constexpr Rect kBounds{60, 80, 240, 160};

// What a test of the contract needs of a backend beyond the platform itself: the user's pointer
// at a position of a window, and the window system catching up with what it was asked. In memory
// the pointer is routed directly and nothing is ever under way outside the loop's queue.
struct HeadlessDriver {
  static constexpr const char* kName = "headless";

  void Click(TopWindow& window, Point at) { headless::ClickAt(window, at); }
  void MoveTo(TopWindow& window, Point at) { headless::MoveAt(window, at); }
  bool Settle(TopWindow&) { return true; }

  headless::HeadlessPlatform platform;
};

// Under the test's X server: real pointer input at the window's place on the screen, which needs
// no window manager.
struct GtkDriver {
  static constexpr const char* kName = "gtk";

  void Click(TopWindow& window, Point at) {
    ClickOnScreen(window.Bounds().x + at.x, window.Bounds().y + at.y);
  }
  void MoveTo(TopWindow& window, Point at) {
    PointAtScreen(window.Bounds().x + at.x, window.Bounds().y + at.y);
  }
  bool Settle(TopWindow& window) {
    return testing::Settle(GTK_WIDGET(dynamic_cast<gtk::GtkTopWindow&>(window).Handle()));
  }

  gtk::GtkPlatform platform;
};

// What every backend must do alike, so that the headless backend the program's tests run on
// cannot drift from the real one. Each test runs once on each backend.
template <class Driver>
class PlatformContractTest : public ::testing::Test {
 protected:
  PlatformContractTest() { window_->SetBounds(kBounds); }

  // Shows the window once the test has placed its controls.
  void ShowWindow() {
    window_->Show();
    ASSERT_TRUE(driver_.Settle(*window_)) << "the window system caught up with the show";
  }
  // Runs the main loop until done holds or five seconds have passed on the platform's own clock:
  // virtual time in the headless backend, real time in GTK. Returns done().
  bool RunUntil(const std::function<bool()>& done) {
    Clock& clock = platform_.GetClock();
    for (WallTime end = clock.Now() + 5s; !done() && clock.Now() < end;) {
      platform_.GetEventLoop().ProcessEvents(10ms);
    }
    return done();
  }
  bool Saw(const std::string& event) const { return std::ranges::count(events_, event) > 0; }
  // A timer of the platform with this interval, enabled or not, and this handler.
  std::unique_ptr<Timer> MakeTimer(milliseconds interval, bool enabled,
                                   std::function<void()> onTick) {
    std::unique_ptr<Timer> timer = platform_.CreateTimer();
    timer->SetInterval(interval);
    timer->onTick = std::move(onTick);
    timer->SetEnabled(enabled);
    return timer;
  }
  template <class Kind>
  static Kind& Place(Kind& control, Rect geometry) {
    control.SetGeometry(geometry);
    return control;
  }

  // Records the mouse events of a control or of the window's surface as "name event x,y".
  template <class Target>
  void Record(Target& target, const std::string& name) {
    auto record = [this, name](const std::string& event) {
      return [this, prefix = name + " " + event + " "](const MouseEvent& at) {
        events_.push_back(prefix + std::to_string(at.x) + "," + std::to_string(at.y));
      };
    };
    target.onMouseDown = record("down");
    target.onMouseUp = record("up");
    target.onMouseMove = record("move");
    if constexpr (std::is_base_of_v<Control, Target>) {
      target.onClick = [this, name] { events_.push_back(name + " click"); };
    }
  }

  Driver driver_;
  Platform& platform_ = driver_.platform;
  std::unique_ptr<TopWindow> window_ = platform_.CreateWindow();
  std::vector<std::string> events_;
};

struct BackendName {
  template <class Driver>
  static std::string GetName(int) {
    return Driver::kName;
  }
};

using Backends = ::testing::Types<HeadlessDriver, GtkDriver>;
TYPED_TEST_SUITE(PlatformContractTest, Backends, BackendName);

TYPED_TEST(PlatformContractTest, HandlerThatThrowsIsReportedAndTheLoopGoesOn) {
  TopWindow& window = *this->window_;
  Button& button = this->Place(window.AddButton(), {10, 10, 100, 30});
  CheckBox& box = this->Place(window.AddCheckBox(), {120, 10, 100, 30});
  button.SetCaption("Go");
  box.SetCaption("Go");
  Picture& picture = this->Place(window.AddPicture(), {10, 60, 100, 60});
  int clicks = 0, presses = 0, ticks = 0;
  auto failing = [](int& count, const char* handler) {
    return [&count, handler] {
      ++count;
      throw std::runtime_error(std::string("the ") + handler + "'s handler failed");
    };
  };
  button.onClick = failing(clicks, "button");
  box.onClick = failing(clicks, "check box");
  picture.onMouseDown = [&](const MouseEvent&) {
    ++presses;
    throw 42;
  };
  std::unique_ptr<Timer> timer = this->MakeTimer(20ms, false, failing(ticks, "timer"));
  this->ShowWindow();

  ::testing::internal::CaptureStderr();
  timer->SetEnabled(true);
  for (int round = 1; round <= 2; ++round) {
    for (Point at : {Point{40, 25}, {130, 25}, {40, 90}}) this->driver_.Click(window, at);
    EXPECT_TRUE(this->RunUntil([&] {
      return clicks == 2 * round && presses == round && ticks > round;
    })) << "round "
        << round << ": " << clicks << " clicks, " << presses << " presses, " << ticks << " ticks";
  }
  timer->SetEnabled(false);
  std::string reports = ::testing::internal::GetCapturedStderr();
  for (const char* report : {"the button's handler failed", "the check box's handler failed",
                             "the timer's handler failed", "unknown exception"}) {
    EXPECT_THAT(reports, HasSubstr(report));
  }
}

TYPED_TEST(PlatformContractTest,
           TimersTickByIntervalAndEnablingOrderTillStoppedAndQuitEndsTheLoop) {
  Platform& platform = this->platform_;
  Clock& clock = platform.GetClock();
  // Quits the loop should the timers under test not, so that a fault fails rather than hangs.
  std::unique_ptr<Timer> guard = this->MakeTimer(5s, true, [&] { platform.QuitMainLoop(); });
  WallTime start = clock.Now();
  platform.QuitMainLoop();
  platform.RunMainLoop();
  EXPECT_LT(clock.Now() - start, 1s) << "a quit asked before the loop ran ends it at once";

  // Enabled in this order; each handler stops its own timer, the last one quits the loop.
  const std::pair<const char*, milliseconds> kTimers[] = {
      {"last", 300ms}, {"first", 100ms}, {"early", 200ms}, {"late", 200ms}};
  std::vector<std::string> ticks;
  std::vector<std::unique_ptr<Timer>> timers;
  for (const auto& [name, interval] : kTimers) {
    timers.push_back(
        this->MakeTimer(interval, true, [&, i = timers.size(), name = name, interval = interval] {
          EXPECT_GE(clock.Now() - start, interval) << name << " ticked before its interval";
          ticks.push_back(name);
          timers[i]->SetEnabled(false);
          if (ticks.size() == 4) platform.QuitMainLoop();
        }));
  }
  auto idle = this->MakeTimer(10ms, false, [&] { ticks.push_back("never enabled"); });
  platform.RunMainLoop();
  // By the last tick, the first timer would have ticked twice more had its handler not stopped it.
  EXPECT_EQ(ticks, (std::vector<std::string>{"first", "early", "late", "last"}));

  // A timer left enabled ticks every interval until its handler destroys it.
  WallTime enabled = clock.Now();
  std::vector<WallTime::duration> intervals;
  std::unique_ptr<Timer> timer;
  timer = this->MakeTimer(20ms, true, [&] {
    intervals.push_back(clock.Now() - enabled);
    if (intervals.size() == 3) timer.reset();
  });
  EXPECT_TRUE(this->RunUntil([&] { return timer == nullptr; }));
  ASSERT_EQ(intervals.size(), 3u);
  EXPECT_GE(intervals[2], 60ms);
}

TYPED_TEST(PlatformContractTest, PointerEventsGoToTheShownControlUnderThePointerInItsPixels) {
  TopWindow& window = *this->window_;
  Picture& panel = this->Place(window.AddPicture(), {20, 20, 120, 80});
  Label& label = this->Place(window.AddLabel(), {40, 30, 60, 30});  // above the panel
  Picture& hiddenPanel = this->Place(window.AddPicture(), {160, 20, 60, 60});
  // Shown itself, in a hidden picture.
  Label& child = this->Place(hiddenPanel.AddLabel(), {0, 0, 60, 60});
  label.SetVisible(false);
  hiddenPanel.SetVisible(false);
  this->Record(window, "window");
  this->Record(panel, "panel");
  this->Record(label, "label");
  this->Record(child, "child");
  this->ShowWindow();

  this->driver_.Click(window, {50, 40});
  this->driver_.Click(window, {170, 30});
  EXPECT_TRUE(
      this->RunUntil([&] { return this->Saw("panel click") && this->Saw("window up 170,30"); }));
  this->driver_.MoveTo(window, {130, 90});
  EXPECT_TRUE(this->RunUntil([&] { return this->Saw("panel move 110,70"); }));
  EXPECT_THAT(this->events_,
              IsSupersetOf({"panel down 30,20", "panel up 30,20", "window down 170,30"}));
  EXPECT_THAT(this->events_, Each(Not(StartsWith("label")))) << "hidden";
  EXPECT_THAT(this->events_, Each(Not(StartsWith("child")))) << "in a hidden picture";

  label.SetVisible(true);
  ASSERT_TRUE(this->driver_.Settle(window)) << "the label is on the screen before the click";
  this->events_.clear();
  this->driver_.Click(window, {50, 40});
  EXPECT_TRUE(this->RunUntil([&] { return this->Saw("label click"); }));
  EXPECT_THAT(this->events_, IsSupersetOf({"label down 10,10", "label up 10,10"}));
  EXPECT_THAT(this->events_, Each(Not(StartsWith("panel down"))));
}

TYPED_TEST(PlatformContractTest, WindowAndControlGeometryReadBackAsSetShowMapsOnceSizesResizeOnce) {
  TopWindow& window = *this->window_;
  int resizes = 0;
  int maps = 0;
  window.onResize = [&] { ++resizes; };
  window.onMapped = [&] { ++maps; };
  Picture& picture = window.AddPicture();
  const std::vector<std::pair<Control*, Rect>> placed = {
      {&picture, {10, 10, 100, 60}},
      {&picture.AddLabel(), {-5, -5, 40, 20}},  // reaching out of its picture
      {&window.AddLabel(), {120, 10, 50, 20}},
      {&window.AddImage(), {180, 10, 30, 30}},
      {&window.AddCheckBox(), {10, 80, 100, 24}},
      {&window.AddButton(), {120, 80, 90, 30}},
      {&window.AddWebView(), {10, 115, 200, 40}}};
  for (auto [control, geometry] : placed) control->SetGeometry(geometry);
  this->ShowWindow();
  EXPECT_EQ(resizes, 1) << "the first show";
  EXPECT_TRUE(this->RunUntil([&] { return maps == 1; })) << "on the screen once shown";
  EXPECT_EQ(window.Bounds(), kBounds);
  EXPECT_EQ(window.Surface().Extent(), kBounds.Extent());
  for (auto [control, geometry] : placed) control->Move({geometry.x + 3, geometry.y + 2});
  ASSERT_TRUE(this->driver_.Settle(window));
  for (auto [control, geometry] : placed) {
    EXPECT_EQ(control->Geometry(),
              (Rect{geometry.x + 3, geometry.y + 2, geometry.width, geometry.height}));
  }

  picture.Surface().Fill(Color{0x00FF00});
  picture.SetGeometry({13, 12, 120, 60});
  EXPECT_EQ(picture.Surface().Extent(), (Size{120, 60}));
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFF00FF00u) << "kept without a back colour";
  EXPECT_EQ(picture.Surface().PixelAt({110, 5}), 0u) << "the new part is transparent";
  picture.SetBackColor(Color{0xFF0000});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFFFF0000u);
  picture.Surface().Fill(Color{0x00FF00});
  picture.Move({10, 10});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFF00FF00u) << "a move alone keeps it";
  picture.SetGeometry({10, 10, 100, 60});
  EXPECT_EQ(picture.Surface().PixelAt({5, 5}), 0xFFFF0000u) << "cleared to the back colour";

  window.SetBounds({90, 80, kBounds.width, kBounds.height});
  EXPECT_EQ(resizes, 1) << "a move alone";
  window.SetBounds({90, 90, 220, 150});
  window.SetBounds({90, 90, 210, 140});
  EXPECT_EQ(resizes, 3) << "each new size at once";
  EXPECT_EQ(window.ClientSize(), (Size{210, 140}));
  ASSERT_TRUE(this->driver_.Settle(window));
  EXPECT_EQ(window.Bounds(), (Rect{90, 90, 210, 140}));
  EXPECT_EQ(resizes, 3) << "the window system's late reports of the sizes on the way";
  EXPECT_EQ(maps, 1) << "new sizes map nothing";
  EXPECT_EQ(window.Surface().Extent(), (Size{210, 140}));
}

// What only the real backend shows: its painting on the screen, and the events of the X server
// beyond the contract's. The window's surface is blue; tests show it.
class GtkWindowTest : public PlatformContractTest<GtkDriver> {
 protected:
  static constexpr std::uint32_t kBlue = 0x0000FF, kGreen = 0x00FF00, kRed = 0xFF0000;

  GtkWindowTest() { window_->Surface().Fill(Color{kBlue}); }
  std::uint32_t PixelAt(int x, int y) { return ScreenPixel(kBounds.x + x, kBounds.y + y); }
  bool ShowsAt(int x, int y, std::uint32_t color) {
    return PumpUntil([&] { return PixelAt(x, y) == color; });
  }
  Picture& AddPicture(Rect geometry, std::optional<std::uint32_t> backColor = {},
                      Picture* parent = nullptr) {
    Picture& picture = Place(parent ? parent->AddPicture() : window_->AddPicture(), geometry);
    if (backColor) picture.SetBackColor(Color{*backColor});
    return picture;
  }
};

// The web engine raises "realize" again on the ancestors of a view it realizes late; a page so
// realized twice while hidden must still show its children in place once shown.
TEST_F(GtkWindowTest, PaintsControlsInOrderClippedByTheirPictureAlsoAfterARealizeAgain) {
  Picture& picture = AddPicture({10, 10, 60, 40});
  picture.Surface().Fill(Color{kGreen});
  Place(window_->AddLabel(), {100, 10, 50, 20}).SetBackColor(Color{kRed});
  Place(window_->AddLabel(), {150, 100, 30, 20});
  Picture& lower = AddPicture({10, 60, 40, 40}, kRed);
  AddPicture({30, 80, 40, 40}, kGreen);
  AddPicture({-2, -2, 44, 44}, kRed, &AddPicture({100, 40, 40, 40}));
  Picture& page = AddPicture({170, 100, 60, 50}, kRed);
  page.SetVisible(false);
  AddPicture({20, 20, 30, 20}, kGreen, &page);
  window_->Show();

  EXPECT_TRUE(ShowsAt(30, 30, kGreen));
  // A label without a back colour shows the window; a later control is on top; a picture clips
  // its children. The window's rounded region is left to the region and GUI tests.
  const std::tuple<int, int, std::uint32_t> kPixels[] = {
      {160, 110, kBlue}, {5, 5, kBlue},    {69, 49, kGreen}, {70, 50, kBlue},
      {120, 15, kRed},   {40, 90, kGreen}, {100, 40, kRed},  {139, 79, kRed},
      {99, 60, kBlue},   {120, 39, kBlue}, {140, 60, kBlue}, {120, 80, kBlue}};
  for (auto [x, y, color] : kPixels) EXPECT_EQ(PixelAt(x, y), color) << x << "," << y;
  picture.Surface().Fill(Color{kRed});
  picture.Refresh();
  EXPECT_TRUE(ShowsAt(30, 30, kRed));
  lower.SetVisible(false);
  EXPECT_TRUE(ShowsAt(15, 65, kBlue));
  lower.SetVisible(true);
  EXPECT_TRUE(ShowsAt(15, 65, kRed));
  EXPECT_EQ(PixelAt(40, 90), kGreen) << "the later control stays on top when the other shows again";

  g_signal_emit_by_name(dynamic_cast<gtk::PictureControl&>(page).Widget(), "realize");
  page.SetVisible(true);
  EXPECT_TRUE(ShowsAt(200, 130, kGreen));
  EXPECT_EQ(PixelAt(175, 105), kRed);
}

// Which control a press goes to, and where, is the platform contract's; the GTK backend also
// raises each press of a double click, and a move outside when the pointer leaves a control.
TEST_F(GtkWindowTest, DoubleClickRaisesBothPressesAndLeavingAControlIsAMoveOutside) {
  Picture& picture = AddPicture({100, 20, 40, 40}, kGreen);
  std::vector<std::string> events;
  window_->onMouseDown = [&](const MouseEvent& event) {
    events.push_back("down " + std::to_string(event.x) + "," + std::to_string(event.y));
  };
  window_->onDoubleClick = [&] { events.push_back("double click"); };
  std::vector<MouseEvent> moves;
  picture.onMouseMove = [&](const MouseEvent& event) { moves.push_back(event); };
  window_->Show();
  ASSERT_TRUE(ShowsAt(110, 30, kGreen));

  ClickOnScreen(kBounds.x + 150, kBounds.y + 100, 1, 2);
  PointAtScreen(kBounds.x + 110, kBounds.y + 35);
  ASSERT_TRUE(PumpUntil([&] { return !moves.empty(); })) << "the pointer came onto the picture";
  EXPECT_EQ(events, (std::vector<std::string>{"down 150,100", "down 150,100", "double click"}));
  EXPECT_EQ((Point{moves.back().x, moves.back().y}), (Point{10, 15}));
  PointAtScreen(kBounds.x + 150, kBounds.y + 120);
  ASSERT_TRUE(PumpUntil([&] { return moves.back().x < 0; })) << "the pointer left the picture";
  EXPECT_EQ(moves.back().y, -1);
}

}  // namespace
}  // namespace lumora::testing
