#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/LoadTally.h"
#include "bench/ProcessMemory.h"

namespace lumora::bench {
namespace {

TEST(LoadTallyTest, CountsEachViewsFirstFinishOnce) {
  LoadTally tally(3);
  EXPECT_TRUE(tally.MarkFinished(1));
  EXPECT_FALSE(tally.MarkFinished(1));
  EXPECT_FALSE(tally.MarkFinished(3));  // no such view
  EXPECT_TRUE(tally.MarkFinished(0));
  EXPECT_FALSE(tally.AllFinished());
  EXPECT_EQ(tally.Unfinished(), (std::vector<std::size_t>{2}));
  EXPECT_TRUE(tally.MarkFinished(2));
  EXPECT_TRUE(tally.AllFinished());
  EXPECT_TRUE(tally.Unfinished().empty());
}

TEST(ProcessMemoryTest, ReadsTheParentAfterACommandWithSpacesAndParentheses) {
  EXPECT_EQ(ParentFromStat("4242 (Web Content) (x)) S 17 4242 4242 0 -1 4194560"), 17);
  EXPECT_EQ(ParentFromStat("1 (init) S 0 1 1"), 0);
  EXPECT_EQ(ParentFromStat("4242 (name) S"), std::nullopt);
  EXPECT_EQ(ParentFromStat("4242 (name) S 17x 1"), std::nullopt);
  EXPECT_EQ(ParentFromStat("no command here"), std::nullopt);
}

TEST(ProcessMemoryTest, AProcessThatIsGoneHasNoMemory) {
  pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(PssKb(child), std::nullopt);
  EXPECT_EQ(MeasureTree(child).unreadable, 1);
}

}  // namespace
}  // namespace lumora::bench
