// The link router on the headless backend: the input is a link's payload, a line break, then
// the server's play-data reply. Each scheme gets the payload; the play list must stay whole.
// Every input starts from a fresh program in an emptied folder: state kept from earlier inputs
// (a growing play list, recorded requests) would slow each run and make findings depend on order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/Startup.h"
#include "content/LinkRouter.h"
#include "core/FileIo.h"
#include "core/ServerFetch.h"
#include "core/TextCodec.h"
#include "platform/headless/HeadlessPlatform.h"
#include "shell/BA1.h"
#include "tests/fuzz/ScratchFolder.h"

using namespace lumora;

namespace {

void EmptyFolder(const std::filesystem::path& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::filesystem::remove_all(entry.path());
  }
}

struct Program {
  explicit Program(const std::filesystem::path& dir) : folder(dir) {
    EmptyFolder(folder);
    RunStartup(folder, platform.GetNetworkAdapters(), platform.GetClock());
    window = std::make_unique<BA1>(platform, server, folder);
    router = std::make_unique<LinkRouter>(*window, fetch, server, [](const std::string&) {});
    router->Attach();
    window->Load();
  }

  void Follow(WebView& view, const std::string& url, const std::string& reply) {
    size_t request = platform.Http().RequestedUrls().size();
    platform.Time().Post(std::chrono::milliseconds(1), [this, request, reply] {
      if (platform.Http().RequestedUrls().size() > request) {
        platform.Http().Answer(request, {true, 200, reply});
      }
    });
    bool cancel = false;
    view.onBeforeNavigate2(url, cancel);
    platform.Time().Advance(std::chrono::milliseconds(2));
  }

  std::filesystem::path folder;
  headless::HeadlessPlatform platform;
  ContentServer server{"http://server/box/", "http://site/"};
  ServerFetch fetch{platform.GetHttpClient(), platform.GetEventLoop(), platform.GetClock()};
  std::unique_ptr<BA1> window;
  std::unique_ptr<LinkRouter> router;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = ScratchFolder();
  Program program(folder);
  RouterWindow& views = *program.window;
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\n');
  std::string payload = input.substr(0, split);
  std::string reply = split == std::string::npos ? std::string() : input.substr(split + 1);
  for (const char* scheme : {"kavovod://", "kaqvod://"}) {
    program.Follow(views.PortalView(), scheme + payload, reply);
  }
  program.Follow(views.ChannelView(), "katvs://" + payload, reply);
  program.Follow(views.HistoryView(), "open://" + payload, reply);
  program.Follow(views.HistoryView(), "delk://" + payload, reply);
  std::optional<std::string> list = ReadFileBytes(folder / "date.dat");
  if (!list) std::abort();
  for (std::string_view line : SplitLines(*list)) {
    std::string decoded = GbkToUtf8(line);
    if (!decoded.empty() && SplitFields(decoded, "|").size() != 7) std::abort();
  }
  return 0;
}
