#pragma once

// The GTK backend raises its events through the platform's one guarded Raise.
#include "platform/Raise.h"
