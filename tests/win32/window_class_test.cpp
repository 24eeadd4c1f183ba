#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "win32/SystemError.h"
#include "win32/WindowClass.h"

namespace {

// The filler every window kind registers with: a class it fills registers as it is.
WNDCLASSEXA PlainClass(const char* name) {
  return WindowClassOf(name, DefWindowProcA, GetModuleHandleA(nullptr));
}

struct RegistrationCase {
  const char* what;
  WNDCLASSEXA window_class;
  std::string expected;
};

TEST(RegisteringAWindowClass, SucceedsOnceOrAgainAndOtherwiseSaysWhy) {
  WNDCLASSEXA unsized = PlainClass("TessarynTestUnsized");
  unsized.cbSize = 0;
  const RegistrationCase cases[] = {
      {"a new class", PlainClass("TessarynTestClass"), ""},
      {"the same class again", PlainClass("TessarynTestClass"), ""},
      {"a description of the wrong size", unsized,
       "RegisterClassEx failed: " + SystemErrorText(ERROR_INVALID_PARAMETER)},
  };
  for (const RegistrationCase& c : cases) {
    EXPECT_EQ(RegisterWindowClass(c.window_class), c.expected) << c.what;
  }
  try {
    RequireWindowClass(unsized);
    ADD_FAILURE() << "a refused class passed";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), cases[2].expected);
  }
  UnregisterClassA("TessarynTestClass", GetModuleHandleA(nullptr));
}

}  // namespace
