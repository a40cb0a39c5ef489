#include <gtest/gtest.h>

#include "app/Startup.h"
#include "content/LinkRouter.h"
#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessWebView.h"
#include "shell/BA1.h"
#include "tests/support/TempDir.h"

namespace lumora {
namespace {

constexpr const char* kBase = "http://server/box/";

class RouterTest : public ::testing::Test {
 protected:
  RouterTest() {
    RunStartup(dir_.Path(), platform_.GetNetworkAdapters(), platform_.GetClock());
    router_.Attach();
    form_.Load();
  }

  // The server's next answer to a play-data request.
  void ReplyWith(const std::string& text) {
    size_t request = platform_.Http().RequestedUrls().size();
    platform_.Time().Post(std::chrono::milliseconds(20), [this, request, text] {
      platform_.Http().Answer(request, {true, 200, Utf8ToGbk(text)});
    });
  }
  // A link the user follows in a view; true when the router took it.
  bool Follow(WebView* view, const std::string& url) {
    bool cancel = false;
    view->onBeforeNavigate2(url, cancel);
    return cancel;
  }
  std::string List() { return dir_.Read("date.dat"); }
  std::string LastRequest() { return platform_.Http().RequestedUrls().back(); }

  test::TempDir dir_;
  headless::HeadlessPlatform platform_;
  ServerFetch fetch_{platform_.GetHttpClient(), platform_.GetEventLoop(), platform_.GetClock()};
  BA1 form_{platform_, ContentServer(kBase, "http://site/"), dir_.Path()};
  std::vector<std::string> balloons_;
  LinkRouter router_{form_, fetch_, ContentServer(kBase, "http://site/"),
                     [this](const std::string& text) { balloons_.push_back(text); }};
};

TEST_F(RouterTest, PlayLinkAsksTheServerAndFollowsThePlayerLinkItMakesOrShowsTheBalloon) {
  ReplyWith("0");
  EXPECT_TRUE(Follow(form_.Web1, "kavovod://abc-a-b-T"));
  EXPECT_EQ(LastRequest(), "http://server/box/h.asp?id=0&v=a&v1=b");
  EXPECT_EQ(balloons_, std::vector<std::string>{"读取数据出错，请返回重试！"});
  EXPECT_EQ(form_.Web2->CurrentAddress(), "about:blank");
  EXPECT_EQ(form_.CurrentPageTab, 8) << "the player page comes to the front first";
  EXPECT_TRUE(Follow(form_.Web1, "kavovod://5-0-0-T"));  // no answer in time
  EXPECT_EQ(balloons_.size(), 2u);

  ReplyWith("x$y z$w");
  EXPECT_TRUE(Follow(form_.Web1, "kavovod://12-a-b-%u4E2D/"));
  EXPECT_EQ(LastRequest(), "http://server/box/h.asp?id=12&v=a&v1=b");
  EXPECT_EQ(form_.Web2->CurrentAddress(), "http://server/box/play.htm?w$$$y%20z");
  EXPECT_EQ(List(), "\r\n") << "v is not a number, so nothing is recorded";
  EXPECT_EQ(form_.CurrentListTab, 11);
  EXPECT_EQ(form_.PlayerState, 1);
  EXPECT_EQ(balloons_.size(), 2u);

  // Field separators inside the pieces cannot shift what is recorded.
  ReplyWith("x&&&999$name$m/101/0/1");
  EXPECT_TRUE(Follow(form_.Web1, "kavovod://101-1-2-T&&&7&&&8/"));
  EXPECT_TRUE(List().starts_with("101|T78|x999|name|1|2|0\r\n")) << List();
  EXPECT_EQ(form_.Web2->CurrentAddress(), "http://server/box/play.htm?m/101/0/1$$$name");
}

TEST_F(RouterTest, PlayerLinkPlaysRecordsCompleteEntriesAndOpensTheInformationPage) {
  EXPECT_TRUE(Follow(form_.Web1, "kaqvod://A&&&B&&&T&&&E&&&7&&&1&&&2"));
  EXPECT_EQ(form_.Web2->CurrentAddress(), "http://server/box/play.htm?A$$$B");
  EXPECT_EQ(form_.Web5->CurrentAddress(), "about:blank") << "no eighth field: no information page";
  EXPECT_TRUE(List().starts_with("7|T|E|B|1|2|0\r\n"));
  EXPECT_EQ(form_.CurrentListTab, 11);
  EXPECT_TRUE(form_.Pic2->Visible());
  EXPECT_FALSE(form_.m_ad->Visible());
  EXPECT_TRUE(Follow(form_.Web1, "kaqvod://A&&&C&&&T&&&E&&&7&&&1&&&2&&&0"));
  EXPECT_EQ(form_.Web5->CurrentAddress(), "http://server/box/pp.htm?7-1-2-T-0");

  EXPECT_TRUE(Follow(form_.Web1, "kaqvod://A&&&B&&&&&&E&&&8&&&1&&&2&&&0"));
  EXPECT_TRUE(Follow(form_.Web1, "kaqvod://A&&&B&&&T&&&E&&&9&&&x&&&2&&&0"));
  EXPECT_EQ(form_.Web2->CurrentAddress(), "http://server/box/play.htm?A$$$B");
  EXPECT_TRUE(List().starts_with("7|")) << "empty title and non-numeric v record nothing";
  EXPECT_TRUE(Follow(form_.Web1, "kaqvod://A&&&B&&&T&&&E&&&9"));
  EXPECT_TRUE(List().starts_with("9|T|E|B|0|0|0\r\n")) << "missing v and v1 count as 0";

  // The schemes are taken anywhere in the address, and the information view forwards them.
  EXPECT_TRUE(Follow(form_.Web1, "http://x/?u=kaqvod://A&&&B&&&T&&&E&&&4&&&1&&&2"));
  EXPECT_TRUE(List().starts_with("4|"));
  EXPECT_TRUE(Follow(form_.Web5, "http://x/?u=kaqvod://A&&&C&&&T&&&E&&&6&&&1&&&2"));
  EXPECT_EQ(form_.Web2->CurrentAddress(), "http://server/box/play.htm?http://x/?u=A$$$C");
  EXPECT_FALSE(Follow(form_.Web1, "http://server/box/index.html"));
  EXPECT_FALSE(Follow(form_.Web5, "http://server/box/pp.htm?1"));
}

TEST_F(RouterTest, TvLinksNeedTheExactSchemeAndEachPlayerClosesTheOther) {
  EXPECT_FALSE(Follow(form_.Web11, "KATVS://1"));
  EXPECT_FALSE(Follow(form_.Web11, "x-katvs://1"));
  form_.SetPlayerState(1);
  EXPECT_TRUE(Follow(form_.Web11, "katvs://ch=3&name=%u7EAA"));
  EXPECT_EQ(form_.Web10->CurrentAddress(), "http://server/box/tv/kavotv.htm?ch=3&name=%u7EAA");
  EXPECT_TRUE(form_.gtv->Visible());
  EXPECT_EQ(form_.PlayerState, 3);
  EXPECT_FALSE(form_.Pic2->Visible());
  EXPECT_TRUE(form_.m_ad->Visible());
  EXPECT_EQ(form_.Web2->CurrentAddress(), "about:blank");

  form_.SetPlayerState(1);
  EXPECT_FALSE(form_.gtv->Visible());
  EXPECT_EQ(form_.Web10->CurrentAddress(), "http://server/box/tv/ad.htm");
  EXPECT_TRUE(form_.Pic2->Visible());
  form_.ggx_Click();
  EXPECT_EQ(form_.PlayerState, 0);
  EXPECT_FALSE(form_.Pic2->Visible());
}

TEST_F(RouterTest, OpenAndDeleteAddressPlayListLinesAndOnlyThem) {
  std::filesystem::remove(dir_ / "date.dat");
  EXPECT_TRUE(Follow(form_.Web3, "open://1/"));
  EXPECT_EQ(form_.Web5->CurrentAddress(), "about:blank") << "no list, nothing opens";

  dir_.Write("date.dat", "1|a|e|b|0|0|0\r\n\r\n3|%u4E2D|e|b|2|5|0\r\n");
  EXPECT_TRUE(Follow(form_.Web3, "open://x/"));
  EXPECT_TRUE(Follow(form_.Web3, "delk://"));
  EXPECT_EQ(form_.Web5->CurrentAddress(), "about:blank");
  EXPECT_EQ(List(), "1|a|e|b|0|0|0\r\n\r\n3|%u4E2D|e|b|2|5|0\r\n");

  EXPECT_TRUE(Follow(form_.Web3, "open://3/"));
  EXPECT_EQ(form_.Web5->CurrentAddress(), "http://server/box/pp.htm?3-2-5-%u4E2D-25");
  EXPECT_EQ(form_.CurrentListTab, 11);
  EXPECT_TRUE(Follow(form_.Web3, "open://99"));
  EXPECT_EQ(form_.Web5->CurrentAddress(), "http://server/box/pp.htm?----");
  EXPECT_TRUE(Follow(form_.Web3, "delk://3/"));
  EXPECT_EQ(List(), "1|a|e|b|0|0|0\r\n");
  EXPECT_NE(dir_.Read("c.htm").find("open://1>"), std::string::npos);
}

}  // namespace
}  // namespace lumora
