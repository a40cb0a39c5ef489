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

TEST_F(HeadlessWebViewTest, RecordsEveryLoadWithHowItCame) {
  view_->Navigate("about:blank");
  view_->WriteDocument("<html></html>");
  view_->Navigate2("/home/user/c.htm");
  view_->FollowLink("http://server/a");
  EXPECT_EQ(view_->Loads(), (std::vector<Load>{{LoadKind::Navigate, "about:blank"},
                                               {LoadKind::WriteDocument, "about:blank"},
                                               {LoadKind::Navigate2, "/home/user/c.htm"},
                                               {LoadKind::Link, "http://server/a"}}));
  EXPECT_EQ(asked_,
            (std::vector<std::string>{"about:blank", "/home/user/c.htm", "http://server/a"}))
      << "writing a document is no navigation";
  EXPECT_EQ(view_->CurrentAddress(), "http://server/a");
  EXPECT_EQ(view_->Document(), "<html></html>");
}

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

TEST_F(HeadlessWebViewTest, HistoryGoesBackAndForwardUntilANewPage) {
  for (const char* address : {"a", "b", "c"}) view_->Navigate(address);
  EXPECT_TRUE(view_->GoBack());
  EXPECT_TRUE(view_->GoBack());
  EXPECT_FALSE(view_->GoBack());
  EXPECT_EQ(view_->CurrentAddress(), "a");
  EXPECT_TRUE(view_->GoForward());
  EXPECT_EQ(view_->Loads().back(), (Load{LoadKind::Forward, "b"}));
  view_->Navigate("d");
  EXPECT_FALSE(view_->GoForward());
  EXPECT_TRUE(view_->GoBack());
  EXPECT_EQ(view_->CurrentAddress(), "b");
  EXPECT_EQ(view_->LoadedAddresses(),
            (std::vector<std::string>{"a", "b", "c", "b", "a", "b", "d", "b"}));
}

TEST_F(HeadlessWebViewTest, ATravelIsApprovedLikeANavigation) {
  view_->Navigate("blocked:");
  view_->Navigate("a");
  view_->Navigate("b");
  view_->onBeforeNavigate2 = [](const std::string&, bool& cancel) { cancel = true; };
  EXPECT_TRUE(view_->GoBack()) << "there was an earlier page";
  EXPECT_EQ(view_->CurrentAddress(), "b");

  view_->onBeforeNavigate2 = [this](const std::string& address, bool&) {
    if (address == "a") view_->Navigate("c");
  };
  EXPECT_TRUE(view_->GoBack());
  EXPECT_EQ(view_->CurrentAddress(), "c") << "the navigation started inside wins";
  EXPECT_TRUE(view_->GoBack());
  EXPECT_EQ(view_->CurrentAddress(), "b");
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

TEST_F(HeadlessWebViewTest, EngineEventsReachOnlyTheHandlersSet) {
  view_->onBeforeNavigate2 = nullptr;
  view_->onDocumentComplete = [this] { events_.push_back("document"); };
  view_->Navigate("a");
  view_->StartLoad();
  view_->FinishLoad();
  view_->FailLoad();
  view_->RequestNewWindow("b");
  EXPECT_TRUE(view_->OpenContextMenu({1, 2})) << "the engine's menu shows by default";

  Point menuAt;
  view_->onContextMenu = [&](Point at) {
    menuAt = at;
    return false;
  };
  view_->onNewWindow2 = [this](const std::string& address) { events_.push_back(address); };
  EXPECT_FALSE(view_->OpenContextMenu({5, 7}));
  EXPECT_EQ(menuAt, (Point{5, 7}));
  view_->RequestNewWindow("http://ads/");
  EXPECT_EQ(events_, (std::vector<std::string>{"document", "http://ads/"}));
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
