#pragma once

#include <functional>
#include <utility>

// An event slot: one handler of the owning window, or none. The sender comes first.
template <typename... Args>
class Event {
 public:
  using Handler = std::function<void(Args...)>;

  void Bind(Handler handler) { handler_ = std::move(handler); }
  void Clear() { handler_ = nullptr; }
  explicit operator bool() const { return static_cast<bool>(handler_); }

  void operator()(Args... args) const {
    if (handler_) {
      handler_(std::forward<Args>(args)...);
    }
  }

 private:
  Handler handler_;
};
