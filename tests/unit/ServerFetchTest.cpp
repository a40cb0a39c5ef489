#include <gtest/gtest.h>

#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class ServerFetchTest : public ::testing::Test {
 protected:
  explicit ServerFetchTest(milliseconds startInSecond = milliseconds(0))
      : platform_(WallTime(seconds(1'700'000'000) + startInSecond)) {}

  milliseconds Elapsed(WallTime since) {
    return std::chrono::duration_cast<milliseconds>(platform_.Time().Now() - since);
  }

  headless::HeadlessPlatform platform_;
  ServerFetch fetch_{platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock()};
};

TEST_F(ServerFetchTest, ReturnsTheBodyOfAnyStatusDecodedFromGbk) {
  platform_.Time().Post(milliseconds(0), [&] {
    platform_.Http().Answer(0, {true, 404, Utf8ToGbk("<h1>找不到</h1>")}, milliseconds(250));
  });
  EXPECT_EQ(fetch_.FetchText("http://server/box/lib/wen.txt"), "<h1>找不到</h1>");
  EXPECT_EQ(platform_.Http().RequestedUrls(),
            std::vector<std::string>{"http://server/box/lib/wen.txt"});
}

TEST_F(ServerFetchTest, FailedRequestGivesTheEmptyTextAtOnce) {
  WallTime start = platform_.Time().Now();
  platform_.Time().Post(milliseconds(0), [&] { platform_.Http().Answer(0, {}); });
  EXPECT_EQ(fetch_.FetchText("http://server/x"), "");
  EXPECT_EQ(Elapsed(start), milliseconds(0));
}

TEST_F(ServerFetchTest, SilentServerIsAbandonedWhenTheSecondsCountAdvancesByFour) {
  WallTime start = platform_.Time().Now();
  int ticks = 0;
  for (int i = 1; i <= 10; ++i) platform_.Time().Post(milliseconds(500 * i), [&] { ++ticks; });
  EXPECT_EQ(fetch_.FetchText("http://server/silent"), "");
  EXPECT_EQ(Elapsed(start), seconds(4));
  EXPECT_EQ(ticks, 8);  // handlers kept running during the wait
  EXPECT_FALSE(platform_.Http().IsPending(0));
}

class ServerFetchLateInSecondTest : public ServerFetchTest {
 protected:
  ServerFetchLateInSecondTest() : ServerFetchTest(milliseconds(900)) {}
};

TEST_F(ServerFetchLateInSecondTest, GivesUpAfterJustOverThreeSeconds) {
  WallTime start = platform_.Time().Now();
  EXPECT_EQ(fetch_.FetchText("http://server/silent"), "");
  EXPECT_EQ(Elapsed(start), milliseconds(3100));
}

TEST_F(ServerFetchTest, NestedFetchInsideTheWaitCompletesFirst) {
  std::string inner;
  platform_.Time().Post(milliseconds(100), [&] {
    platform_.Time().Post(milliseconds(100), [&] {
      platform_.Http().Answer(1, {true, 200, "in"});
    });
    inner = fetch_.FetchText("http://server/inner");
    platform_.Http().Answer(0, {true, 200, "out"});
  });
  EXPECT_EQ(fetch_.FetchText("http://server/outer"), "out");
  EXPECT_EQ(inner, "in");
}

TEST_F(ServerFetchTest, AnswerArrivingAfterTheGiveUpIsDropped) {
  platform_.Time().Post(milliseconds(0), [&] {
    platform_.Http().Answer(0, {true, 200, "late"}, milliseconds(5000));
  });
  EXPECT_EQ(fetch_.FetchText("http://server/slow"), "");
  platform_.Time().Advance(seconds(10));
  platform_.Time().Post(milliseconds(0), [&] { platform_.Http().Answer(1, {true, 200, "next"}); });
  EXPECT_EQ(fetch_.FetchText("http://server/next"), "next");
}

}  // namespace
}  // namespace lumora
