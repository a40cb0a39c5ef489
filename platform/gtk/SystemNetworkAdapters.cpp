#include "platform/gtk/SystemNetworkAdapters.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <map>
#include <memory>

namespace lumora::gtk {
namespace {

struct FreeIfAddrs {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

}  // namespace

std::vector<NetworkAdapter> SystemNetworkAdapters::List() const {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0) return {};
  std::unique_ptr<ifaddrs, FreeIfAddrs> list(raw);
  std::map<unsigned, NetworkAdapter> byIndex;
  for (ifaddrs* entry = list.get(); entry != nullptr; entry = entry->ifa_next) {
    unsigned index = if_nametoindex(entry->ifa_name);
    NetworkAdapter& adapter = byIndex[index];
    adapter.name = entry->ifa_name;
    adapter.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
    if (entry->ifa_addr == nullptr) continue;
    int family = entry->ifa_addr->sa_family;
    if (family == AF_INET || family == AF_INET6) adapter.hasIpAddress = true;
    if (family == AF_PACKET) {
      const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
      adapter.hardwareAddress.assign(link->sll_addr, link->sll_addr + link->sll_halen);
    }
  }
  std::vector<NetworkAdapter> adapters;
  for (auto& [index, adapter] : byIndex) adapters.push_back(std::move(adapter));
  return adapters;
}

}  // namespace lumora::gtk
