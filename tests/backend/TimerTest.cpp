#include <gtest/gtest.h>

#include <chrono>

#include "platform/gtk/GtkPlatform.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;
using Clock = std::chrono::steady_clock;

// The main loop runs until a quit, and a quit before it runs ends it at once. A handler that
// throws is reported and the loop goes on; one may stop or destroy its own timer.
TEST(TimerTest, TicksOnlyWhileEnabledUntilQuitAndItsHandlerMayThrowStopOrDestroyIt) {
  GtkPlatform platform;
  std::unique_ptr<Timer> timer = platform.CreateTimer();
  std::vector<Clock::time_point> ticks;
  timer->onTick = [&] {
    ticks.push_back(Clock::now());
    if (ticks.size() == 3) platform.QuitMainLoop();
  };
  timer->SetInterval(20ms);
  PumpFor(60ms);
  EXPECT_TRUE(ticks.empty());

  Clock::time_point start = Clock::now();
  timer->SetEnabled(true);
  platform.RunMainLoop();
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_GE(ticks[2] - start, 55ms);

  timer->SetEnabled(false);
  PumpFor(80ms);
  EXPECT_EQ(ticks.size(), 3u);
  platform.QuitMainLoop();
  platform.RunMainLoop();

  ticks.clear();
  timer->onTick = [&] {
    ticks.push_back(Clock::now());
    throw std::runtime_error("cannot read date.dat");
  };
  timer->SetInterval(10ms);
  timer->SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks.size() >= 2; }, 2s));

  timer->onTick = [&] {
    ticks.push_back(Clock::now());
    timer->SetEnabled(false);
  };
  ticks.clear();
  PumpFor(80ms);
  EXPECT_EQ(ticks.size(), 1u);

  timer->onTick = [&] { timer.reset(); };
  timer->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return timer == nullptr; }, 2s));
  PumpFor(30ms);
}

}  // namespace
}  // namespace lumora::gtk
