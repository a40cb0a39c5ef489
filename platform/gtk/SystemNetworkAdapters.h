#pragma once

#include "platform/NetworkAdapters.h"

namespace lumora::gtk {

// The kernel's interfaces in interface-index order, from getifaddrs.
class SystemNetworkAdapters : public NetworkAdapterSource {
 public:
  std::vector<NetworkAdapter> List() const override;
};

}  // namespace lumora::gtk
