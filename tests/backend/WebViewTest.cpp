#include <gio/gio.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/EngineFolders.h"
#include "bench/ProcessMemory.h"
#include "core/FileIo.h"
#include "platform/gtk/GtkPlatform.h"
#include "platform/gtk/GtkTopWindow.h"
#include "platform/gtk/PictureControl.h"
#include "platform/gtk/WebEngine.h"
#include "platform/gtk/WebViewControl.h"
#include "server/DemoServer.h"
#include "server/HttpServer.h"
#include "tests/backend/BackendTestSupport.h"
#include "tests/support/TempDir.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

constexpr Rect kWindowBounds{60, 220, 320, 240};

guint ShownToplevelCount() {
  g_autoptr(GList) toplevels = gtk_window_list_toplevels();
  guint count = 0;
  for (GList* i = toplevels; i; i = i->next) count += gtk_widget_get_visible(GTK_WIDGET(i->data));
  return count;
}

// Whether a web process of this program has mapped a file whose path holds the part.
bool AWebProcessMaps(const std::string& part) {
  for (pid_t pid : bench::ProcessTree(getpid())) {
    if (bench::ProcessName(pid) != "WebKitWebProces") continue;
    std::optional<std::string> maps = ReadFileBytes("/proc/" + std::to_string(pid) + "/maps");
    if (maps && maps->find(part) != std::string::npos) return true;
  }
  return false;
}

// A view filling a shown window, its events recorded in events_, one line each.
class WebViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Start(0);
    window_ = platform_.CreateWindow();
    window_->SetBounds(kWindowBounds);
    window_->Surface().Fill(Color{0x0000FF});
    view_ = &window_->AddWebView();
    view_->SetGeometry({0, 0, kWindowBounds.width, kWindowBounds.height});
    view_->onBeforeNavigate2 = [this](const std::string& address, bool& cancel) {
      events_.push_back("before " + address);
      if (beforeNavigate) beforeNavigate(address, cancel);
    };
    auto record = [this](std::string event) {
      return [this, event](const std::string& address = "") { events_.push_back(event + address); };
    };
    view_->onDownloadBegin = record("begin");
    view_->onNavigateComplete2 = record("arrived");
    view_->onDownloadComplete = record("complete");
    view_->onDocumentComplete = record("document");
    view_->onNavigateError = record("error ");
    view_->onNewWindow2 = record("new window ");
    window_->Show();
  }

  bool LoadsDocument() {
    size_t before = Events("document").size();
    return PumpUntil([&] { return Events("document").size() > before; });
  }
  std::vector<std::string> Events(const std::string& prefix) const {
    std::vector<std::string> found;
    std::ranges::copy_if(events_, std::back_inserter(found),
                         [&](const std::string& event) { return event.starts_with(prefix); });
    return found;
  }
  // Runs a script in the page and returns its result as text.
  std::string Evaluate(const std::string& script, WebView* in = nullptr) {
    std::optional<std::string> result;
    webkit_web_view_evaluate_javascript(
        dynamic_cast<WebViewControl*>(in ? in : view_)->View(), script.c_str(), -1, nullptr,
        nullptr, nullptr,
        [](GObject* view, GAsyncResult* async, gpointer result) {
          g_autoptr(JSCValue) value =
              webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), async, nullptr);
          g_autofree char* text = value ? jsc_value_to_string(value) : g_strdup("");
          *static_cast<std::optional<std::string>*>(result) = text;
        },
        &result);
    PumpUntil([&] { return result.has_value(); });
    return result.value_or("");
  }

  // Whether the demo server was asked for this path under /box/.
  bool Requested(const std::string& path) const {
    return std::ranges::any_of(server_.RequestLog(), [&](const std::string& line) {
      return line.find(" /box/" + path + " ") != std::string::npos;
    });
  }

  DemoServer server_{LUMORA_TEST_SITE_DIR};
  GtkPlatform platform_;
  std::unique_ptr<TopWindow> window_;
  WebView* view_ = nullptr;
  std::vector<std::string> events_;
  std::function<void(const std::string& address, bool& cancel)> beforeNavigate;
};

TEST_F(WebViewTest, NavigationIsAskedOnceBeforeLoadingAndACancelledOneNeverReachesTheServer) {
  std::string address = server_.BaseUrl() + "index.html";
  bool requestedWhenAsked = true;
  beforeNavigate = [&](const std::string&, bool&) { requestedWhenAsked = Requested("index.html"); };

  view_->Navigate(address);
  EXPECT_EQ(events_, std::vector<std::string>{"before " + address});
  ASSERT_TRUE(LoadsDocument());
  // The window's process draws with the CPU only: it has loaded no GL driver.
  std::string maps = ReadFileBytes("/proc/self/maps").value_or("");
  for (auto* so : {"_dri.so", "_mesa.so", "libLLVM"}) EXPECT_EQ(maps.find(so), maps.npos) << so;
  EXPECT_FALSE(requestedWhenAsked);
  EXPECT_TRUE(Requested("index.html"));
  EXPECT_EQ(view_->CurrentAddress(), address);
  // Once the pages are idle, a video's player, sinks and a decoder start ahead of the first one.
  EXPECT_TRUE(PumpUntil([] {
    return AWebProcessMaps("/libgstplayback.so") && AWebProcessMaps("/libgstautodetect.so") &&
           AWebProcessMaps("/libgstvpx.so");
  }));

  view_->Refresh();
  ASSERT_TRUE(LoadsDocument());
  // A reload is not asked for.
  EXPECT_EQ(events_,
            (std::vector<std::string>{"before " + address, "begin", "arrived", "complete",
                                      "document", "begin", "arrived", "complete", "document"}));

  // Addresses the engine rewrites are not asked for twice either.
  std::string upperScheme =
      "HTTP" + server_.BaseUrl().substr(4) + "play.htm?name=a b&t=\xE4\xB8\xAD";
  Evaluate("window.left = 'kept'");
  view_->Navigate(upperScheme);
  ASSERT_TRUE(LoadsDocument());
  // A page left is not kept alive: going back loads it again.
  ASSERT_TRUE(view_->GoBack());
  ASSERT_TRUE(LoadsDocument());
  EXPECT_EQ(Evaluate("String(window.left)"), "undefined");
  view_->Navigate("http://127.0.0.1:" + std::to_string(server_.Port()));
  ASSERT_TRUE(LoadsDocument());
  EXPECT_EQ(Events("before").size(), 4u);
  EXPECT_EQ(Events("before")[1], "before " + upperScheme);

  // The handler cancels one and navigates instead, asked before the cancelled call returns.
  events_.clear();
  std::string cancelled = server_.BaseUrl() + "play.htm";
  beforeNavigate = [&](const std::string& asked, bool& cancel) {
    if (asked != cancelled) return;
    view_->Navigate(address);
    cancel = true;
  };
  view_->Navigate(cancelled);
  EXPECT_EQ(Events("before").size(), 2u);
  ASSERT_TRUE(LoadsDocument());
  EXPECT_EQ(events_, (std::vector<std::string>{"before " + cancelled, "before " + address, "begin",
                                               "arrived", "complete", "document"}));
  EXPECT_EQ(view_->CurrentAddress(), address);
  EXPECT_FALSE(Requested("play.htm"));
}

// The portal's cover lifts on DownloadComplete: it must not wait for every picture of the page. A
// missing page, a refused connection and a silent server are navigation errors.
TEST_F(WebViewTest, TheDownloadIsCompleteBeforeThePicturesFailedNavigationsAreErrors) {
  std::string missing = server_.BaseUrl() + "missing.html";
  view_->Navigate(missing);
  ASSERT_TRUE(LoadsDocument());
  EXPECT_EQ(Events("error"), std::vector<std::string>{"error " + missing});

  // Connections queue in a listener's backlog and are never answered; once it is closed, they
  // are refused.
  g_autoptr(GSocketListener) closed = g_socket_listener_new();
  guint16 closedPort = g_socket_listener_add_any_inet_port(closed, nullptr, nullptr);
  events_.clear();
  view_->WriteDocument("<img src='http://127.0.0.1:" + std::to_string(closedPort) + "/p.png'>");
  ASSERT_TRUE(PumpUntil([&] { return !Events("complete").empty(); }));
  EXPECT_EQ(Events("document").size(), 0u);
  g_socket_listener_close(closed);
  ASSERT_TRUE(LoadsDocument());
  EXPECT_EQ(Events("complete").size(), 1u) << "once a load";

  g_autoptr(GSocketListener) silent = g_socket_listener_new();
  guint16 silentPort = g_socket_listener_add_any_inet_port(silent, nullptr, nullptr);
  dynamic_cast<WebViewControl&>(*view_).SetStallLimit(300ms);
  for (guint16 port : {closedPort, silentPort}) {
    events_.clear();
    std::string address = "http://127.0.0.1:" + std::to_string(port) + "/box/";
    view_->Navigate(address);
    ASSERT_TRUE(PumpUntil([&] { return !Events("error").empty(); }));
    EXPECT_EQ(Events("error"), std::vector<std::string>{"error " + address});
    EXPECT_TRUE(PumpUntil([&] { return events_.back() == "complete"; }, 1s));
    EXPECT_EQ(Events("document").size(), 0u);
  }
}

TEST_F(WebViewTest, WrittenPageReplacesABlankOneAndItsLinksAndScriptsReachTheProgramOnly) {
  view_->Navigate("about:blank");
  view_->WriteDocument("<html><body><a href=\"KAVOVOD://12-a-b-%u4E2D/\">go</a></body></html>");
  ASSERT_TRUE(LoadsDocument());
  // Written at once.
  EXPECT_TRUE(PumpUntil([&] { return Evaluate("document.body.innerText") == "go"; }, 2s));
  EXPECT_EQ(Events("before"), std::vector<std::string>{"before about:blank"});
  events_.clear();

  beforeNavigate = [](const std::string&, bool& cancel) { cancel = true; };
  Evaluate("document.querySelector('a').click()");
  ASSERT_TRUE(PumpUntil([&] { return !Events("before").empty(); }));
  // The page still answers after the cancel: a load it started would have begun by then.
  EXPECT_EQ(Evaluate("document.body.innerText"), "go");
  // A link of the program's scheme arrives as written; cancelled, it is no load, nor a failed one.
  EXPECT_EQ(events_, std::vector<std::string>{"before kavovod://12-a-b-%u4E2D/"});
  EXPECT_EQ(view_->CurrentAddress(), "about:blank");

  view_->SetSilent(true);
  EXPECT_EQ(Evaluate("alert('hello'); confirm('sure?') ? 'yes' : 'no'"), "no");
}

TEST_F(WebViewTest, AHungWebProcessIsEndedAndThePageLoadsAgainInANewOne) {
  WebView& ping = window_->AddWebView();
  ping.SetLoadsOnce(true);
  ping.Navigate(server_.BaseUrl() + "tv/list.htm");
  WebView& written = window_->AddWebView();
  written.WriteDocument("<body>dark</body>");
  view_->Navigate(server_.BaseUrl() + "index.html");
  ASSERT_TRUE(LoadsDocument());
  ASSERT_TRUE(PumpUntil([&] { return Requested("tv/list.htm"); }));
  // A script that never returns holds the web process as a locked-up media player does.
  webkit_web_view_evaluate_javascript(dynamic_cast<WebViewControl*>(view_)->View(),
                                      "window.hung = true; while (true) {}", -1, nullptr, nullptr,
                                      nullptr, nullptr, nullptr);
  size_t documents = Events("document").size();
  view_->Navigate(server_.BaseUrl() + "pp.htm");
  // The user, seeing nothing happen, clicks into the view.
  ClickOnScreen(kWindowBounds.x + 100, kWindowBounds.y + 100);
  ASSERT_TRUE(PumpUntil([&] { return Events("document").size() > documents; }, 20s));
  EXPECT_EQ(Evaluate("String(window.hung)"), "undefined") << "a new process";
  // The page the program asked for last, loaded again without asking the program again.
  EXPECT_EQ(view_->CurrentAddress(), server_.BaseUrl() + "pp.htm");
  EXPECT_EQ(Events("before").size(), 2u);
  EXPECT_TRUE(PumpUntil([&] { return Evaluate("document.body.innerText", &written) == "dark"; }))
      << "a written page is written again";
  EXPECT_EQ(std::ranges::count_if(server_.RequestLog(),
                                  [](const std::string& line) {
                                    return line.find("/tv/list.htm") != std::string::npos;
                                  }),
            1)
      << "a view that loads once does not load again";
}

TEST_F(WebViewTest, NewWindowsFollowOnlyTheUsersClickAtMostOneASecond) {
  std::string address = server_.BaseUrl() + "js/ads/pop1.html";
  std::string link = "<body style='margin:0'><a target='_blank' href='" + address +
                     "' style='display:block;height:240px'>link</a><script>window.clicks = 0;"
                     "addEventListener('click', e => { if (e.isTrusted) ++window.clicks; });"
                     "</script>";
  guint toplevels = ShownToplevelCount();
  view_->WriteDocument(link + "<script>for (let i = 0; i < 1000; i++) window.open('" + address +
                       "?' + i); document.querySelector('a').click();</script>");
  ASSERT_TRUE(LoadsDocument());
  // The load's scripts ran before it finished; a round trip to the page lets their requests in.
  EXPECT_EQ(Evaluate("window.clicks"), "0");
  EXPECT_EQ(Events("new window"), std::vector<std::string>{}) << "none without a click";

  Point inView{kWindowBounds.x + 100, kWindowBounds.y + 100};
  ClickOnScreen(inView.x, inView.y, 1, 3);
  ASSERT_TRUE(PumpUntil([&] { return !Events("new window").empty(); })) << "a new window";
  auto firstOpened = std::chrono::steady_clock::now();
  ASSERT_TRUE(PumpUntil([&] { return Evaluate("window.clicks") == "3"; })) << "three clicks";
  // Three clicks within a second open one.
  EXPECT_EQ(Events("new window"), std::vector<std::string>{"new window " + address});

  // A second later a click handler's window.open is the user's again.
  std::string other = server_.BaseUrl() + "index.html";
  view_->WriteDocument("<body style='margin:0;height:240px' onclick=\"window.open('" + other +
                       "')\">");
  ASSERT_TRUE(LoadsDocument());
  PumpUntil([&] { return std::chrono::steady_clock::now() > firstOpened + 1s; });
  ClickOnScreen(inView.x, inView.y);
  ASSERT_TRUE(PumpUntil([&] { return Events("new window").size() == 2; })) << "one more";
  EXPECT_EQ(Events("new window").back(), "new window " + other);
  EXPECT_FALSE(Requested("js/ads/pop1.html"));
  EXPECT_EQ(ShownToplevelCount(), toplevels) << "no window opens";
}

// A page's text field keeps every key, the program's shortcuts too; elsewhere in the page the keys
// the page leaves unused reach the window.
TEST_F(WebViewTest, ATextFieldKeepsEveryKeyAndThePageLeavesTheRestToTheWindow) {
  std::vector<Key> keys;
  window_->onKeyDown = [&](const KeyEvent& key) {
    keys.push_back(key.key);
    return true;
  };
  view_->WriteDocument(
      "<body style='margin:0'><input style='width:300px;height:40px'><script>"
      "window.downs = []; addEventListener('keydown', e => downs.push(e.key));"
      "</script>");
  ASSERT_TRUE(LoadsDocument());
  ClickOnScreen(kWindowBounds.x + 100, kWindowBounds.y + 20);
  ASSERT_TRUE(PumpUntil([&] { return Evaluate("document.activeElement.localName") == "input"; }));
  TypeOnScreen("a ctrl+1 F5 ctrl+4 b");
  ASSERT_TRUE(PumpUntil([&] { return Evaluate("document.querySelector('input').value") == "ab"; }));
  EXPECT_EQ(keys, std::vector<Key>{}) << "the field had them";

  ClickOnScreen(kWindowBounds.x + 100, kWindowBounds.y + 150);
  TypeOnScreen("ctrl+1 F5");
  ASSERT_TRUE(PumpUntil([&] { return keys.size() >= 2; }));
  EXPECT_EQ(keys, (std::vector<Key>{Key::Digit1, Key::F5}));
  // The page sees each key once.
  EXPECT_EQ(Evaluate("downs.join(' ')"), "a Control 1 F5 Control 4 b Control 1 F5");
}

// Tab at a page's last link leaves the page for the control that comes next, and only for that.
TEST_F(WebViewTest, TabAtThePagesEndGoesToTheNextControlOnly) {
  view_->SetGeometry({0, 0, kWindowBounds.width, 200});
  std::vector<GtkWidget*> controls;
  for (int x : {0, 100}) {
    Picture& control = window_->AddPicture();
    control.SetGeometry({x, 200, 100, 40});
    control.SetAccessible({AccessibleRole::PushButton, "control"});
    controls.push_back(dynamic_cast<PictureControl&>(control).Widget());
  }
  view_->WriteDocument("<a href='#'>the only link</a>");
  ASSERT_TRUE(LoadsDocument());
  ClickOnScreen(kWindowBounds.x + 200, kWindowBounds.y + 150);
  TypeOnScreen("Tab Tab");
  GtkWindow* window = dynamic_cast<GtkTopWindow&>(*window_).Handle();
  ASSERT_TRUE(
      PumpUntil([&] { return std::ranges::count(controls, gtk_window_get_focus(window)); }));
  EXPECT_EQ(gtk_window_get_focus(window), controls[0]);
}

TEST_F(WebViewTest, ContextMenuIsTheProgramsToSuppressInAnyDocument) {
  std::vector<Point> asked;
  view_->onContextMenu = [&](Point at) {
    asked.push_back(at);
    return false;
  };
  guint toplevels = ShownToplevelCount();
  // A page, then a plain text document.
  for (auto [page, at] : {std::pair{"index.html", Point{150, 100}}, {"lib/gun.txt", {40, 30}}}) {
    view_->Navigate(server_.BaseUrl() + page);
    ASSERT_TRUE(LoadsDocument());
    asked.clear();
    ClickOnScreen(kWindowBounds.x + at.x, kWindowBounds.y + at.y, 3);
    ASSERT_TRUE(PumpUntil([&] { return !asked.empty(); })) << page;
    EXPECT_EQ(asked, std::vector<Point>{at}) << page;
    // An engine menu would have been made in the same dispatch and mapped by now.
    ASSERT_TRUE(Settle(GTK_WIDGET(dynamic_cast<GtkTopWindow&>(*window_).Handle())));
    EXPECT_EQ(ShownToplevelCount(), toplevels) << "no engine menu over " << page;
  }
}

// The engine in a test program of its own, started as the program starts: with the relative XDG
// variables forgotten and the folders for the engine's data and cache given, below the temporary
// root folder it is started with.
class WebEngineRole : public WebViewTest {
 protected:
  void SetUp() override {
    ForgetRelativeXdgFolders();
    platform_.UseWebDataFolders(root_ / "engine-data", root_ / "engine-cache");
    WebViewTest::SetUp();
  }
  const std::filesystem::path root_ = g_getenv("LUMORA_TEST_ROOT");
};

// Every file in a folder with its content.
std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    found.push_back(entry.path().lexically_relative(folder).string() + " " +
                    ReadFileBytes(entry.path()).value_or(""));
  }
  std::ranges::sort(found);
  return found;
}

// Pages keep their data in the engine's folders and can save no file: what the view cannot show
// is dropped as a failed navigation, and a download started any other way is cancelled.
TEST_F(WebEngineRole, DISABLED_KeepsSiteDataInItsFoldersAndSavesNoFile) {
  view_->Navigate(server_.BaseUrl() + "index.html");
  ASSERT_TRUE(LoadsDocument());
  EXPECT_EQ(Evaluate("localStorage.setItem('seen', 'yes'); localStorage.getItem('seen')"), "yes");
  EXPECT_TRUE(PumpUntil([&] {
    return std::filesystem::exists(root_ / "engine-data/localstorage");
  })) << "the page's storage in the data folder";
  EXPECT_TRUE(PumpUntil([&] {
    return std::filesystem::exists(root_ / "engine-cache/WebKitCache");
  })) << "the page in the cache folder";

  HttpServer files([](const RequestLine& request) -> HttpResponse {
    const std::string path{request.Path()}, served = "from the server";
    if (path == "/thesis.pdf") {
      return {200,
              "application/pdf",
              "%PDF-1.4 " + served,
              {{"Content-Disposition", "attachment; filename=\"thesis.pdf\""}}};
    }
    if (path == "/data.bin") return {200, "application/octet-stream", served, {}};
    if (path == "/notes.txt") return {200, "text/plain", served, {}};
    return {200,
            "text/html",
            "<a href='notes.txt' download>save</a><script>document.querySelector('a').click()"
            "</script>",
            {}};
  });
  std::string site = "http://127.0.0.1:" + std::to_string(files.Listen(0)) + "/";
  for (std::string name : {"thesis.pdf", "data.bin"}) {
    events_.clear();
    view_->Navigate(site + name);
    ASSERT_TRUE(PumpUntil([&] { return !events_.empty() && events_.back() == "complete"; }))
        << name;
    EXPECT_EQ(events_, (std::vector<std::string>{"before " + site + name, "begin",
                                                 "error " + site + name, "complete"}));
  }
  // A link with the download attribute would start a download without a response decision.
  int downloadsEnded = 0;
  g_signal_connect(SharedWebContext(), "download-started",
                   G_CALLBACK(+[](WebKitWebContext*, WebKitDownload* download, int* ended) {
                     g_signal_connect_swapped(download, "finished",
                                              G_CALLBACK(+[](int* count) { ++*count; }), ended);
                   }),
                   &downloadsEnded);
  view_->Navigate(site + "page.html");
  EXPECT_TRUE(PumpUntil([&] { return downloadsEnded == 1; })) << "the download ended";
}

// The role runs in a new test program with the relative XDG variables the engine must ignore,
// a working folder of its own and a download folder where a file of each name the server offers
// waits.
TEST(WebEngineTest, KeepsItsDataInTheFoldersGivenAndSavesNothingElsewhere) {
  test::TempDir root;
  for (auto* f : {"config", "Downloads", "cwd"}) std::filesystem::create_directory(root / f);
  std::ofstream(root / "config/user-dirs.dirs")
      << "XDG_DOWNLOAD_DIR=\"" << (root / "Downloads").string() << "\"\n";
  for (std::string f : {"thesis.pdf", "data.bin", "notes.txt"}) root.Write("Downloads/" + f, "own");
  std::vector<std::string> before = FolderContents(root / "Downloads");
  g_autoptr(GSubprocessLauncher) launcher = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_NONE);
  g_subprocess_launcher_set_cwd(launcher, (root / "cwd").c_str());
  g_subprocess_launcher_setenv(launcher, "LUMORA_TEST_ROOT", root.Path().c_str(), TRUE);
  g_subprocess_launcher_setenv(launcher, "HOME", (root / "home").c_str(), TRUE);
  g_subprocess_launcher_setenv(launcher, "XDG_CONFIG_HOME", (root / "config").c_str(), TRUE);
  g_subprocess_launcher_setenv(launcher, "XDG_DATA_HOME", "data", TRUE);
  g_subprocess_launcher_setenv(launcher, "XDG_CACHE_HOME", "cache", TRUE);
  g_autoptr(GSubprocess) role =
      StartTestAgain(launcher, "WebEngineRole.DISABLED_KeepsSiteDataInItsFoldersAndSavesNoFile");
  EXPECT_EQ(ExitCode(role), 0) << "the role's checks held";
  EXPECT_TRUE(std::filesystem::is_empty(root / "cwd"));
  EXPECT_EQ(FolderContents(root / "Downloads"), before);
}

}  // namespace
}  // namespace lumora::gtk
