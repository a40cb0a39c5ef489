#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"

namespace lumora::headless {
namespace {

class HeadlessWebViewTest : public ::testing::Test {
 protected:
  HeadlessWebViewTest() {
    view_->onBeforeNavigate2 = [this](const std::string& address, bool& cancel) {
      asked_.push_back(address);
      cancel = address.starts_with("blocked:");
    };
  }

  std::unique_ptr<HeadlessWebView> view_ = std::make_unique<HeadlessWebView>();
  std::vector<std::string> asked_;
  std::vector<std::string> events_;
};

TEST_F(HeadlessWebViewTest, CancelledNavigationsLeaveNoTrace) {
  view_->Navigate("http://server/a");
  view_->Navigate("blocked:1");
  view_->FollowLink("blocked:2");
  EXPECT_EQ(view_->LoadedAddresses(), std::vector<std::string>{"http://server/a"});
  EXPECT_EQ(view_->CurrentAddress(), "http://server/a");
  EXPECT_FALSE(view_->GoBack());
}

TEST_F(HeadlessWebViewTest, NavigationFromInsideTheHandlerCompletesFirst) {
  view_->onBeforeNavigate2 = [this](const std::string& address, bool& cancel) {
    asked_.push_back(address);
    if (address == "play://1") {
      view_->Navigate("player://1");
      cancel = true;
    }
    if (address == "track://1") view_->Navigate("http://server/stats");
  };
  view_->Navigate("play://1");
  view_->Navigate("track://1");
  EXPECT_EQ(asked_, (std::vector<std::string>{"play://1", "player://1", "track://1",
                                              "http://server/stats"}));
  EXPECT_EQ(view_->LoadedAddresses(),
            (std::vector<std::string>{"player://1", "http://server/stats", "track://1"}));
  EXPECT_EQ(view_->CurrentAddress(), "track://1");
}

TEST_F(HeadlessWebViewTest, EngineEventsComeInTheEngineOrder) {
  view_->Navigate("http://server/x");
  view_->onDownloadBegin = [this] { events_.push_back("begin"); };
  view_->onDownloadComplete = [this] { events_.push_back("complete"); };
  view_->onDocumentComplete = [this] { events_.push_back("document"); };
  view_->onNavigateError = [this](const std::string& address) { events_.push_back(address); };
  view_->StartLoad();
  view_->FinishLoad();
  view_->FailLoad();
  EXPECT_EQ(events_, (std::vector<std::string>{"begin", "complete", "document", "http://server/x",
                                               "complete"}));
}

TEST_F(HeadlessWebViewTest, AViewDestroyedByItsHandlerStopsRaising) {
  view_->onBeforeNavigate2 = [this](const std::string&, bool&) { view_.reset(); };
  view_->Navigate("close://");

  view_ = std::make_unique<HeadlessWebView>();
  view_->onDownloadComplete = [this] { view_.reset(); };
  view_->onDocumentComplete = [this] { events_.push_back("document"); };
  view_->FinishLoad();
  EXPECT_TRUE(events_.empty());
}

TEST_F(HeadlessWebViewTest, AHandlerMayReplaceItselfWhileItRuns) {
  std::string note = "asked for a page of the server: ";
  view_->onBeforeNavigate2 = [this, note](const std::string& address, bool&) {
    view_->onBeforeNavigate2 = nullptr;
    asked_.push_back(note + address);
  };
  view_->Navigate("a");
  view_->Navigate("b");
  EXPECT_EQ(asked_, std::vector<std::string>{note + "a"});
  EXPECT_EQ(view_->CurrentAddress(), "b");
}

}  // namespace
}  // namespace lumora::headless
