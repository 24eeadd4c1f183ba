#pragma once

// Parsed once for every Windows layer instead of in each of their sources: the Windows
// headers (lean, as every source asks for them) and the standard library they use most.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>
