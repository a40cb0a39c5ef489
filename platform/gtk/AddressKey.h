#pragma once

#include <string>

namespace lumora::gtk {

// A form of an address that stays the same through the web engine's normalisation (scheme and
// host case, default port, empty path, percent-encoding), so a navigation the engine reports can
// be matched with the address it was asked to load.
std::string AddressKey(const std::string& address);

}  // namespace lumora::gtk
