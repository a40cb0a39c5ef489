#include "platform/headless/FakeHttpClient.h"

#include "platform/Raise.h"

namespace lumora::headless {
namespace {

class FakeRequest : public HttpRequest {
 public:
  explicit FakeRequest(std::function<void()> abandon) : abandon_(std::move(abandon)) {}
  ~FakeRequest() override { abandon_(); }

 private:
  std::function<void()> abandon_;
};

}  // namespace

std::unique_ptr<HttpRequest> FakeHttpClient::Get(const std::string& url,
                                                 std::function<void(HttpResult)> onDone) {
  auto pending = std::make_shared<Pending>(Pending{url, std::move(onDone)});
  requests_.push_back(pending);
  return std::make_unique<FakeRequest>([pending] { pending->finished = true; });
}

std::vector<std::string> FakeHttpClient::RequestedUrls() const {
  std::vector<std::string> urls;
  for (const auto& request : requests_) urls.push_back(request->url);
  return urls;
}

bool FakeHttpClient::IsPending(size_t index) const {
  return !requests_.at(index)->finished;
}

void FakeHttpClient::Answer(size_t index, HttpResult result, std::chrono::milliseconds delay) {
  std::shared_ptr<Pending> pending = requests_.at(index);
  loop_.Post(delay, [pending, result = std::move(result)]() mutable {
    if (pending->finished) return;
    pending->finished = true;
    Raise(pending->onDone, std::move(result));
  });
}

}  // namespace lumora::headless
