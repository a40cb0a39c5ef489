#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace lumora::headless {
namespace {

using std::chrono::milliseconds;

class HeadlessTimeTest : public ::testing::Test {
 protected:
  // A timer that notes "name@milliseconds since the start" on every tick.
  std::unique_ptr<Timer> NotingTimer(const std::string& name, milliseconds interval) {
    std::unique_ptr<Timer> timer = platform_.CreateTimer();
    timer->SetInterval(interval);
    timer->onTick = [this, name] { notes_.push_back(name + "@" + std::to_string(Elapsed())); };
    timer->SetEnabled(true);
    return timer;
  }

  long Elapsed() {
    return std::chrono::duration_cast<milliseconds>(platform_.Time().Now() - start_).count();
  }

  HeadlessPlatform platform_;
  WallTime start_ = platform_.Time().Now();
  std::vector<std::string> notes_;
};

TEST_F(HeadlessTimeTest, TimersTickInTimeOrderDuringOneLongAdvance) {
  auto slow = NotingTimer("slow", milliseconds(300));
  auto fast = NotingTimer("fast", milliseconds(200));
  platform_.Time().Advance(milliseconds(650));
  EXPECT_EQ(notes_,
            (std::vector<std::string>{"fast@200", "slow@300", "fast@400", "slow@600", "fast@600"}));
  EXPECT_EQ(Elapsed(), 650);
}

TEST_F(HeadlessTimeTest, WaitingMovesTimeToTheNextTickOnly) {
  auto timer = NotingTimer("t", milliseconds(500));
  platform_.Time().ProcessEvents(milliseconds(2000));
  EXPECT_EQ(notes_, std::vector<std::string>{"t@500"});
  EXPECT_EQ(Elapsed(), 500);
}

TEST_F(HeadlessTimeTest, ReEnablingOrSettingTheIntervalStartsANewPeriod) {
  auto timer = NotingTimer("t", milliseconds(100));
  platform_.Time().Advance(milliseconds(60));
  timer->SetEnabled(true);  // already enabled: the period goes on
  platform_.Time().Advance(milliseconds(110));
  timer->SetEnabled(false);
  timer->SetEnabled(true);
  platform_.Time().Advance(milliseconds(150));
  timer->SetInterval(milliseconds(100));
  platform_.Time().Advance(milliseconds(150));
  EXPECT_EQ(notes_, (std::vector<std::string>{"t@100", "t@270", "t@420"}));
}

TEST_F(HeadlessTimeTest, StoppedTimersNeverTick) {
  auto disabled = NotingTimer("disabled", milliseconds(100));
  disabled->SetEnabled(false);
  auto zero = NotingTimer("zero", milliseconds(0));
  auto destroyed = NotingTimer("destroyed", milliseconds(100));
  destroyed.reset();
  platform_.Time().Advance(milliseconds(1000));
  EXPECT_TRUE(notes_.empty());
  EXPECT_TRUE(zero->Enabled());
}

TEST_F(HeadlessTimeTest, ATickMayDisableOrDestroyItsOwnTimer) {
  auto once = NotingTimer("once", milliseconds(100));
  once->onTick = [&] {
    notes_.push_back("once");
    once->SetEnabled(false);
  };
  auto gone = NotingTimer("gone", milliseconds(150));
  gone->onTick = [&] {
    notes_.push_back("gone");
    gone.reset();
  };
  platform_.Time().Advance(milliseconds(1000));
  EXPECT_EQ(notes_, (std::vector<std::string>{"once", "gone"}));
  EXPECT_FALSE(once->Enabled());
}

TEST_F(HeadlessTimeTest, MainLoopRunsUntilNothingIsLeft) {
  platform_.Time().Post(milliseconds(30),
                        [&] { notes_.push_back("b@" + std::to_string(Elapsed())); });
  platform_.Time().Post(milliseconds(10),
                        [&] { notes_.push_back("a@" + std::to_string(Elapsed())); });
  platform_.RunMainLoop();
  EXPECT_EQ(notes_, (std::vector<std::string>{"a@10", "b@30"}));
}

TEST_F(HeadlessTimeTest, QuitEndsTheMainLoopBeforeLaterTasks) {
  platform_.Time().Post(milliseconds(10), [&] { platform_.QuitMainLoop(); });
  platform_.Time().Post(milliseconds(20), [&] { notes_.push_back("late"); });
  EXPECT_FALSE(platform_.QuitRequested());
  platform_.RunMainLoop();
  EXPECT_TRUE(notes_.empty());
  EXPECT_EQ(Elapsed(), 10);
  EXPECT_FALSE(platform_.QuitRequested()) << "the quit is spent on the loop it ended";

  platform_.QuitMainLoop();
  EXPECT_TRUE(platform_.QuitRequested());
  platform_.RunMainLoop();
  EXPECT_TRUE(notes_.empty()) << "a quit requested before the loop ends it at once";
  platform_.RunMainLoop();
  EXPECT_EQ(notes_, std::vector<std::string>{"late"});
}

}  // namespace
}  // namespace lumora::headless
