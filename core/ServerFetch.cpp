#include "core/ServerFetch.h"

#include <algorithm>
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
  // Never called: by then the fetch has given up.
  return FetchText(url, kGiveUpAfterWholeSeconds, [] {});
}

std::string ServerFetch::FetchText(const std::string& url, std::chrono::milliseconds patience,
                                   const std::function<void()>& whileWaiting) {
  std::optional<HttpResult> answer;
  WallTime start = clock_.Now();
  WallTime giveUp = GiveUpTime(start);
  WallTime patientUntil = start + patience;
  bool waitedLong = false;
  // Destroying the request on return abandons it, so its callback never outlives answer.
  std::unique_ptr<HttpRequest> request =
      http_.Get(url, [&answer](HttpResult result) { answer = std::move(result); });
  while (!answer) {
    WallTime now = clock_.Now();
    if (now >= giveUp) return {};
    if (!waitedLong && now >= patientUntil) {
      waitedLong = true;
      whileWaiting();
      continue;
    }
    WallTime wakeUp = waitedLong ? giveUp : std::min(patientUntil, giveUp);
    loop_.ProcessEvents(std::chrono::ceil<std::chrono::milliseconds>(wakeUp - now));
  }
  return answer->complete ? GbkToUtf8(answer->body) : std::string();
}

}  // namespace lumora
