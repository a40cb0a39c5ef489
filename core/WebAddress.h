#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Desktop.h"

namespace lumora {

// An http or https address read as a URI (a scheme, an authority with a host, then path, query
// and fragment), in the form handed on: scheme and host in lower case, every character a URI
// does not allow percent-encoded, escapes already there kept. Nothing when it is no such address
// or does not parse: a control character, no host, a bad port or a '%' that starts no escape.
// Only these addresses may leave the program: the desktop would open local files or start
// programs as readily, and a handler that reads the address otherwise than this program does
// (a line break, a blank, a quote) could be made to open something else.
std::optional<std::string> NormalizedWebAddress(std::string_view address);

// True for an address NormalizedWebAddress accepts.
bool IsWebAddress(std::string_view address);

// Opens a web address, in its normalised form, with the user's default handler; anything else is
// dropped. True when the address was handed on.
bool OpenWebAddress(Desktop& desktop, const std::string& address);

}  // namespace lumora
