#include <gtest/gtest.h>

#include <tuple>

#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"

namespace lumora {
namespace {

using std::chrono::milliseconds;

class ServerFetchTest : public ::testing::Test {
 protected:
  headless::HeadlessPlatform platform_;
  ServerFetch fetch_{platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock()};
};

TEST_F(ServerFetchTest, AnyStatusGivesItsBodyFromGbkAndAFailedRequestOrALateAnswerTheEmptyText) {
  platform_.Time().Post(milliseconds(0), [&] {
    platform_.Http().Answer(0, {true, 404, Utf8ToGbk("<h1>找不到</h1>")}, milliseconds(250));
  });
  EXPECT_EQ(fetch_.FetchText("http://server/box/lib/wen.txt"), "<h1>找不到</h1>");
  WallTime start = platform_.Time().Now();
  platform_.Time().Post(milliseconds(0), [&] { platform_.Http().Answer(1, {}); });
  EXPECT_EQ(fetch_.FetchText("http://server/x"), "");
  EXPECT_EQ(platform_.Time().Now(), start);
  EXPECT_EQ(platform_.Http().RequestedUrls(),
            (std::vector<std::string>{"http://server/box/lib/wen.txt", "http://server/x"}));

  // An answer arriving after the give-up is dropped and the next fetch gets its own.
  platform_.Time().Post(milliseconds(0), [&] {
    platform_.Http().Answer(2, {true, 200, "late"}, milliseconds(5000));
  });
  EXPECT_EQ(fetch_.FetchText("http://server/slow"), "");
  platform_.Time().Advance(std::chrono::seconds(10));
  platform_.Time().Post(milliseconds(0), [&] { platform_.Http().Answer(3, {true, 200, "next"}); });
  EXPECT_EQ(fetch_.FetchText("http://server/next"), "next");
}

// The wait ends when the clock's count of whole seconds has gone up by four, so a start late in
// a second gives up after just over three seconds. Other handlers keep running meanwhile.
TEST(ServerFetchTimeoutTest, SilentServerIsAbandonedWhenTheSecondsCountAdvancesByFour) {
  for (auto [startInSecond, waited, ticksExpected] :
       {std::tuple{0, 4000, 8}, std::tuple{900, 3100, 6}}) {
    headless::HeadlessPlatform platform(headless::HeadlessPlatform::kDefaultStart +
                                        milliseconds(startInSecond));
    ServerFetch fetch(platform.GetHttpClient(), platform.GetEventLoop(), platform.GetClock());
    WallTime start = platform.Time().Now();
    int ticks = 0;
    for (int i = 1; i <= 10; ++i) platform.Time().Post(milliseconds(500 * i), [&] { ++ticks; });
    EXPECT_EQ(fetch.FetchText("http://server/silent"), "");
    EXPECT_EQ(platform.Time().Now() - start, milliseconds(waited)) << startInSecond;
    EXPECT_EQ(ticks, ticksExpected) << startInSecond;
    EXPECT_FALSE(platform.Http().IsPending(0));
  }
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

}  // namespace
}  // namespace lumora
