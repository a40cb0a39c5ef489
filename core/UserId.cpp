#include "core/UserId.h"

#include <random>

namespace lumora {
namespace {

std::string FormatHardwareAddress(const std::vector<std::uint8_t>& address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : address) {
    if (!text.empty()) text += '-';
    text += kHex[byte >> 4];
    text += kHex[byte & 0xF];
  }
  return text;
}

bool IsUsableAddress(const std::string& text) {
  return text.size() == 17 && text.find("00-00-00-00-00-00") == std::string::npos &&
         text.find("00-53-45-00-00-00") == std::string::npos;
}

}  // namespace

std::string GetMacAddress(const std::vector<NetworkAdapter>& adapters) {
  for (const NetworkAdapter& adapter : adapters) {
    if (adapter.loopback || !adapter.hasIpAddress) continue;
    std::string text = FormatHardwareAddress(adapter.hardwareAddress);
    return IsUsableAddress(text) ? text : std::string();
  }
  return {};
}

std::string MakeFallbackId(const LocalDateTime& now, int random100To999) {
  std::string id;
  for (int part :
       {now.year, now.month, now.day, now.hour, now.minute, now.second, random100To999}) {
    id += std::to_string(part);
  }
  return id;
}

std::string MakeFallbackId(const Clock& clock) {
  std::mt19937 generator(
      static_cast<std::mt19937::result_type>(clock.Now().time_since_epoch().count()));
  std::uniform_int_distribution<int> draw(100, 999);
  return MakeFallbackId(clock.LocalNow(), draw(generator));
}

std::string ObtainUserId(const NetworkAdapterSource& adapters, const Clock& clock) {
  std::string id = GetMacAddress(adapters.List());
  return id.empty() ? MakeFallbackId(clock) : id;
}

}  // namespace lumora
