#pragma once

#include "platform/Platform.h"
#include "platform/headless/FakeHttpClient.h"
#include "platform/headless/VirtualTime.h"

namespace lumora::headless {

// Network adapters a test hands in.
class FakeNetworkAdapters : public NetworkAdapterSource {
 public:
  std::vector<NetworkAdapter> List() const override { return adapters; }
  std::vector<NetworkAdapter> adapters;
};

// The in-memory backend: virtual time, scripted answers, nothing touches the real system.
class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(WallTime start = WallTime(std::chrono::seconds(1'700'000'000)))
      : time_(start), http_(time_) {}

  Clock& GetClock() override { return time_; }
  EventLoop& GetEventLoop() override { return time_; }
  HttpClient& GetHttpClient() override { return http_; }
  NetworkAdapterSource& GetNetworkAdapters() override { return adapters_; }

  VirtualTime& Time() { return time_; }
  FakeHttpClient& Http() { return http_; }
  FakeNetworkAdapters& Adapters() { return adapters_; }

 private:
  VirtualTime time_;
  FakeHttpClient http_;
  FakeNetworkAdapters adapters_;
};

}  // namespace lumora::headless
