// The link router of the program on the headless backend: the input is a link's payload, a line
// break, then the server's play-data reply. Each scheme gets the payload; the play list must stay
// whole. Every input starts from a fresh program in an emptied folder: state kept from earlier
// inputs (a growing play list, recorded requests) would slow each run and make findings depend on
// order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/LumoraApp.h"
#include "core/FileIo.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/BA1.h"
#include "tests/fuzz/ScratchFolder.h"

using namespace lumora;
using std::chrono::milliseconds;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = ScratchFolder();
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::filesystem::remove_all(entry.path());
  }
  headless::HeadlessPlatform platform;
  LumoraApp app(platform, ContentServer("http://server/box/", "http://site/"), folder);
  if (!app.Start({"lumora"})) std::abort();
  RouterWindow& views = *app.MainWindow();
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\n');
  std::string payload = input.substr(0, split);
  std::string reply = split == std::string::npos ? std::string() : input.substr(split + 1);
  // The user follows the link; the server answers a request it makes at once.
  auto follow = [&](WebView& view, const std::string& url) {
    size_t request = platform.Http().RequestedUrls().size();
    platform.Time().Post(milliseconds(1), [&, request] {
      if (platform.Http().RequestedUrls().size() > request) {
        platform.Http().Answer(request, {true, 200, reply});
      }
    });
    bool cancel = false;
    view.onBeforeNavigate2(url, cancel);
    platform.Time().Advance(milliseconds(2));
  };
  for (const char* scheme : {"kavovod://", "kaqvod://"})
    follow(views.PortalView(), scheme + payload);
  follow(views.ChannelView(), "katvs://" + payload);
  follow(views.HistoryView(), "open://" + payload);
  follow(views.HistoryView(), "delk://" + payload);
  std::optional<std::string> list = ReadFileBytes(folder / "date.dat");
  if (!list) std::abort();
  for (std::string_view line : SplitLines(*list)) {
    std::string decoded = GbkToUtf8(line);
    if (!decoded.empty() && SplitFields(decoded, "|").size() != 7) std::abort();
  }
  return 0;
}
