#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

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

// A child that starts a grandchild holding `megabytes` of touched private memory; both stay
// until released.
class ProcessChain {
 public:
  explicit ProcessChain(std::size_t megabytes) {
    int ready[2];
    int hold[2];
    if (pipe(ready) != 0 || pipe(hold) != 0) std::abort();
    child_ = fork();
    if (child_ == 0) {
      // Only this process may hold the release end, or closing it would not end the chain.
      close(ready[0]);
      close(hold[1]);
      RunChild(megabytes, ready[1], hold[0]);
    }
    close(ready[1]);
    close(hold[0]);
    release_ = hold[1];
    if (read(ready[0], &grandchild_, sizeof grandchild_) != sizeof grandchild_) grandchild_ = -1;
    close(ready[0]);
  }
  ~ProcessChain() {
    close(release_);
    waitpid(child_, nullptr, 0);
  }
  ProcessChain(const ProcessChain&) = delete;
  ProcessChain& operator=(const ProcessChain&) = delete;

  pid_t Child() const { return child_; }
  pid_t Grandchild() const { return grandchild_; }

 private:
  // Every page written, so all of it is resident and private; kept until the process ends.
  static void TouchMemory(std::size_t bytes) {
    auto* memory = static_cast<volatile char*>(std::malloc(bytes));
    for (std::size_t at = 0; at < bytes; at += 4096) memory[at] = 1;
  }

  [[noreturn]] static void RunChild(std::size_t megabytes, int ready, int hold) {
    pid_t grandchild = fork();
    if (grandchild == 0) {
      TouchMemory(megabytes << 20);
      pid_t self = getpid();
      if (write(ready, &self, sizeof self) != sizeof self) _exit(1);
      char byte;
      // Returns once the test closes its end.
      _exit(read(hold, &byte, 1) == 0 ? 0 : 1);
    }
    close(ready);
    close(hold);
    waitpid(grandchild, nullptr, 0);
    _exit(0);
  }

  pid_t child_ = -1;
  pid_t grandchild_ = -1;
  int release_ = -1;
};

TEST(ProcessMemoryTest, SumsTheWholeTreeBelowAProcess) {
  constexpr std::size_t kMegabytes = 64;
  ProcessChain chain(kMegabytes);
  ASSERT_GT(chain.Grandchild(), 0);

  std::vector<pid_t> tree = ProcessTree(getpid());
  EXPECT_EQ(tree.front(), getpid());
  EXPECT_NE(std::find(tree.begin(), tree.end(), chain.Child()), tree.end());
  EXPECT_NE(std::find(tree.begin(), tree.end(), chain.Grandchild()), tree.end());
  EXPECT_EQ(ProcessTree(chain.Grandchild()), (std::vector<pid_t>{chain.Grandchild()}));

  std::optional<long> grandchild = PssKb(chain.Grandchild());
  ASSERT_TRUE(grandchild.has_value());
  EXPECT_GE(*grandchild, static_cast<long>(kMegabytes * 1024));
  TreeMemory below = MeasureTree(chain.Child());
  EXPECT_EQ(below.processes, 2);
  EXPECT_EQ(below.unreadable, 0);
  // Pages the child still shares with this process shift while this one runs: allow a little.
  EXPECT_NEAR(below.pssKb, *PssKb(chain.Child()) + *grandchild, 1024);
  long whole = MeasureTree(getpid()).pssKb;
  EXPECT_GT(whole - *PssKb(getpid()), static_cast<long>(kMegabytes * 1024));
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
