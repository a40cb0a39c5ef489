#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

struct NetworkAdapter {
  std::string name;
  bool loopback = false;
  bool hasIpAddress = false;
  std::vector<std::uint8_t> hardwareAddress;  // empty when the adapter has none
};

// The machine's network adapters in the system's own enumeration order.
class NetworkAdapterSource {
 public:
  virtual ~NetworkAdapterSource() = default;
  virtual std::vector<NetworkAdapter> List() const = 0;
};

}  // namespace lumora
