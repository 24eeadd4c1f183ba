#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A seam under the scene's plain OpenGL calls, made with the linker's --wrap: each
// wrapped entry point forwards to the real one, records itself and forwards, or does
// nothing, depending on the mode. Native builds only.

enum class GlMode {
  Plain,  // forward only
  Trace,  // record, then forward
  Null,   // neither: measures the scene's own work
};

struct GlArg {
  double value = 0.0;
  bool is_float = false;
};

struct GlCall {
  std::string name;
  std::vector<GlArg> args;

  float Float(size_t i) const { return static_cast<float>(args.at(i).value); }
  long long Int(size_t i) const { return static_cast<long long>(args.at(i).value); }
};

void SetGlMode(GlMode mode);
GlMode CurrentGlMode();

// The calls recorded since the last clear, in order.
const std::vector<GlCall>& GlTraceCalls();
void ClearGlTrace();

// One line of the trace file: the name, then the arguments separated by single
// blanks, floats as %.9g and integers and enums in decimal.
std::string FormatGlCall(const GlCall& call);

// Records in Trace mode for the lifetime of the object, then restores the mode.
class ScopedGlTrace {
 public:
  ScopedGlTrace() : previous_(CurrentGlMode()) {
    ClearGlTrace();
    SetGlMode(GlMode::Trace);
  }
  ~ScopedGlTrace() { SetGlMode(previous_); }
  ScopedGlTrace(const ScopedGlTrace&) = delete;
  ScopedGlTrace& operator=(const ScopedGlTrace&) = delete;

 private:
  GlMode previous_;
};
