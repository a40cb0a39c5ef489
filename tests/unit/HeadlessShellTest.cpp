#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace lumora::headless {
namespace {

using CommandLine = std::vector<std::string>;

TEST(HeadlessDesktopTest, MessageBoxesTakeScriptedAnswersThenTheirDefaults) {
  HeadlessPlatform platform;
  auto owner = platform.CreateWindow();
  Desktop& desktop = platform.GetDesktop();
  platform.Desktop().QueueAnswer(MessageAnswer::Yes);
  platform.Desktop().QueueAnswer(MessageAnswer::No);
  EXPECT_EQ(
      desktop.ShowMessage(owner.get(), "q1", "t", MessageButtons::YesNo, MessageIcon::Question),
      MessageAnswer::Yes);
  EXPECT_EQ(desktop.ShowMessage(nullptr, "q2", "t", MessageButtons::YesNo, MessageIcon::None),
            MessageAnswer::No);
  EXPECT_EQ(desktop.ShowMessage(nullptr, "q3", "t", MessageButtons::YesNo, MessageIcon::None),
            MessageAnswer::No);
  EXPECT_EQ(desktop.ShowMessage(nullptr, "i", "t", MessageButtons::Ok, MessageIcon::Information),
            MessageAnswer::Ok);

  const auto& messages = platform.Desktop().Messages();
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(messages[0].owner, owner.get());
  EXPECT_EQ(messages[0].icon, MessageIcon::Question);
  EXPECT_EQ(messages[1].text, "q2");
  EXPECT_TRUE(messages[1].scripted);
  EXPECT_FALSE(messages[2].scripted);
  EXPECT_EQ(messages[3].buttons, MessageButtons::Ok);
  EXPECT_FALSE(messages[3].scripted);
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  SingleInstanceTest() {
    first_->GetSingleInstance().onHandOver = [this](const CommandLine& commandLine) {
      handedOver_.push_back(commandLine);
    };
  }

  std::unique_ptr<HeadlessPlatform> Process() {
    return std::make_unique<HeadlessPlatform>(HeadlessPlatform::kDefaultStart, machine_);
  }

  std::shared_ptr<InstanceRegistry> machine_ = std::make_shared<InstanceRegistry>();
  std::unique_ptr<HeadlessPlatform> first_ = Process();
  std::vector<CommandLine> handedOver_;
};

TEST_F(SingleInstanceTest, ALaterStartHandsItsCommandLineToTheRunningOne) {
  EXPECT_TRUE(first_->GetSingleInstance().Claim("Lumora|BA1", {"lumora"}));
  EXPECT_TRUE(first_->GetSingleInstance().Claim("Lumora|BA1", {"lumora"})) << "already running";
  auto second = Process();
  EXPECT_FALSE(second->GetSingleInstance().Claim("Lumora|BA1", {"lumora", "-x"}));
  EXPECT_TRUE(handedOver_.empty()) << "the hand-over arrives through the running one's loop";
  first_->Time().ProcessEvents(std::chrono::milliseconds(0));
  EXPECT_EQ(handedOver_, (std::vector<CommandLine>{{"lumora", "-x"}}));
}

}  // namespace
}  // namespace lumora::headless
