#pragma once

// Parsed once per test program instead of in every test file: the Windows headers (lean,
// as every source asks for them), GoogleTest and the standard library the tests use.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>
