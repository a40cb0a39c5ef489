#include <gtest/gtest.h>

#include <chrono>

#include "platform/gtk/GtkPlatform.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;
using Clock = std::chrono::steady_clock;

class TimerTest : public ::testing::Test {
 protected:
  GtkPlatform platform_;
  std::unique_ptr<Timer> timer_ = platform_.CreateTimer();
  std::vector<Clock::time_point> ticks_;
};

// The main loop runs until a quit, and a quit before it runs ends it at once.
TEST_F(TimerTest, TicksOnlyWhileEnabledInTheMainLoopUntilQuit) {
  timer_->onTick = [this] {
    ticks_.push_back(Clock::now());
    if (ticks_.size() == 3) platform_.QuitMainLoop();
  };
  timer_->SetInterval(20ms);
  PumpFor(60ms);
  EXPECT_TRUE(ticks_.empty());

  Clock::time_point start = Clock::now();
  timer_->SetEnabled(true);
  platform_.RunMainLoop();
  ASSERT_EQ(ticks_.size(), 3u);
  EXPECT_GE(ticks_[2] - start, 55ms);

  timer_->SetEnabled(false);
  PumpFor(80ms);
  EXPECT_EQ(ticks_.size(), 3u);
  platform_.QuitMainLoop();
  platform_.RunMainLoop();
}

TEST_F(TimerTest, TickHandlerMayThrowStopOrDestroyItsTimer) {
  timer_->onTick = [this] {
    ticks_.push_back(Clock::now());
    throw std::runtime_error("cannot read date.dat");
  };
  timer_->SetInterval(10ms);
  timer_->SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&] { return ticks_.size() >= 2; }, 2s)) << "reported, the loop goes on";

  timer_->onTick = [this] {
    ticks_.push_back(Clock::now());
    timer_->SetEnabled(false);
  };
  ticks_.clear();
  PumpFor(80ms);
  EXPECT_EQ(ticks_.size(), 1u);

  timer_->onTick = [this] { timer_.reset(); };
  timer_->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return timer_ == nullptr; }, 2s));
  PumpFor(30ms);
}

}  // namespace
}  // namespace lumora::gtk
