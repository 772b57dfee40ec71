#pragma once
// Cooperative yielding without cost in tight loops: loops that must let timers, sockets and
// repaints run ask a throttle whether it is time, and serve pending events at most once per
// interval. Asking costs one clock read.
#include <chrono>

namespace qm {

class ThrottledYield {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultInterval{5};

  explicit ThrottledYield(Clock::duration interval = kDefaultInterval)
      : interval_(interval), last_(Clock::now() - interval) {}

  // True at most once per interval (the first call is always due); the caller then serves
  // events.
  bool due() {
    const Clock::time_point now = Clock::now();
    if (now - last_ < interval_) return false;
    last_ = now;
    return true;
  }

  // Serves pending events when due.
  void operator()();

 private:
  Clock::duration interval_;
  Clock::time_point last_;
};

// Serves the application's pending events once; nothing when no application object exists.
void ServePendingEvents();

// The process-wide throttle for code outside the interpreter (loader, window, dialogs).
void YieldThrottled();

}  // namespace qm
