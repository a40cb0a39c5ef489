#pragma once

namespace lumora::gtk {

// Whether the session bus answers, asked once. Without one the program still runs: single
// instance goes through its own socket, the tray through XEmbed only, notifications stay away.
// The address of a dead bus is then forgotten, so that nothing else (the web engine's sandbox
// above all, which aborts on it) tries to reach it; one line on stderr says so.
bool SessionBusReachable();

}  // namespace lumora::gtk
