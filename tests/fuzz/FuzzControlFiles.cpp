// The server's control files of the extras: the input's first byte answers the update offer (Yes
// when odd, so the update launch runs for half the inputs), the rest holds the update control
// file, the ticker list and the popup ad list, separated by NUL bytes. The program starts on the
// headless backend, the server answers with them, and two minutes of virtual time run: the offer,
// the ticker and the popups must cope with whatever the server sends.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/LumoraApp.h"
#include "core/FileIo.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/fuzz/ScratchFolder.h"

using namespace lumora;
using std::chrono::milliseconds;

namespace {

// Answers every request of a control file as it comes, for as long as the program fetches them.
void AnswerControlFiles(headless::HeadlessPlatform& platform, const std::string& input) {
  std::vector<std::string> urls = platform.Http().RequestedUrls();
  for (size_t i = 0; i < urls.size(); ++i) {
    if (!platform.Http().IsPending(i)) continue;
    int part = urls[i].ends_with("lib/wen.txt") ? 0 : urls[i].ends_with("lib/gun.txt") ? 1 : 2;
    std::string_view text = FieldOrEmpty(SplitFields(input, std::string_view("\0", 1)), part);
    platform.Http().Answer(i, {true, 200, std::string(text)});
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path folder = ScratchFolder();
  if (size == 0) return 0;
  bool acceptsUpdate = (data[0] & 1) != 0;
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  headless::HeadlessPlatform platform;
  if (acceptsUpdate) platform.Desktop().QueueAnswer(MessageAnswer::Yes);
  LumoraApp app(platform, ContentServer("http://server/box/", "http://site/"), folder);
  if (!app.Start({"lumora"})) return 0;
  // The files are fetched within the first seconds: the check at 6 s, the ticker and popup list
  // right after it.
  int rounds = 0;
  std::function<void()> answer = [&] {
    AnswerControlFiles(platform, input);
    if (++rounds < 400) platform.Time().Post(milliseconds(25), answer);
  };
  platform.Time().Post(milliseconds(5), answer);
  platform.Time().Advance(std::chrono::seconds(130));
  return 0;
}
