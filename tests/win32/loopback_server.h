#pragma once

// The loopback server now lives with the other shared test helpers; tests written
// against this path still find it here.
#include "tests/support/LoopbackServer.h"
