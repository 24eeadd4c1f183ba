#pragma once

#include <utility>

// Runs a step when the scope is left, on every path: the one idiom for undoing a
// temporary change (a count raised, a time-out armed) where no handle owner fits.
template <typename Step>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Step step) : step_(std::move(step)) {}
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  ~ScopeExit() { step_(); }

 private:
  Step step_;
};
