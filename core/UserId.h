#pragma once

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/NetworkAdapters.h"

namespace lumora {

// The installation's id sent with the usage ping: the hardware address of the first adapter
// with an IP address, or, when that gives nothing usable, digits made from the time.

// "0A-1B-2C-3D-4E-5F" for the first non-loopback adapter that has an IP address, or "" when
// there is none or its address is unusable. Later adapters are never examined.
std::string GetMacAddress(const std::vector<NetworkAdapter>& adapters);

// Year, month, day, hour, minute, second (no leading zeros) and a random number 100 to 999.
std::string MakeFallbackId(const LocalDateTime& now, int random100To999);
std::string MakeFallbackId(const Clock& clock);

// GetMacAddress of the machine's adapters, else a fallback id.
std::string ObtainUserId(const NetworkAdapterSource& adapters, const Clock& clock);

}  // namespace lumora
