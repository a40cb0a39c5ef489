#include "core/ServerFetch.h"

#include <memory>
#include <optional>

#include "core/TextCodec.h"

namespace lumora {
namespace {

constexpr std::chrono::seconds kGiveUpAfterWholeSeconds{4};

// The first moment whose whole-second count is 4 past that of start.
WallTime GiveUpTime(WallTime start) {
  return std::chrono::floor<std::chrono::seconds>(start) + kGiveUpAfterWholeSeconds;
}

}  // namespace

std::string ServerFetch::FetchText(const std::string& url) {
  std::optional<HttpResult> answer;
  WallTime giveUp = GiveUpTime(clock_.Now());
  // Destroying the request on return abandons it, so its callback never outlives answer.
  std::unique_ptr<HttpRequest> request =
      http_.Get(url, [&answer](HttpResult result) { answer = std::move(result); });
  while (!answer) {
    WallTime now = clock_.Now();
    if (now >= giveUp) return {};
    loop_.ProcessEvents(std::chrono::ceil<std::chrono::milliseconds>(giveUp - now));
  }
  return answer->complete ? GbkToUtf8(answer->body) : std::string();
}

}  // namespace lumora
