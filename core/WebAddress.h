#pragma once

#include <string>
#include <string_view>

#include "platform/Desktop.h"

namespace lumora {

// True for an http or https address: the only kind a page or a server's text may hand to the
// desktop, which would otherwise open local files or start programs as readily.
bool IsWebAddress(std::string_view address);

// Opens a web address with the user's default handler; anything else is dropped. True when the
// address was handed on.
bool OpenWebAddress(Desktop& desktop, const std::string& address);

}  // namespace lumora
