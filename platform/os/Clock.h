#pragma once
// Pauses that a test can replace: protocol code waits through a Clock, so
// its pacing is kept in production and costs nothing in unit tests.
namespace os {

class Clock {
 public:
  virtual ~Clock() = default;
  // Blocks the calling thread for `ms` milliseconds.
  virtual void Sleep(int ms) = 0;
};

// The real clock.
Clock& SystemClock();

}  // namespace os
