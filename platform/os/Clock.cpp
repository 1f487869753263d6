#include "platform/os/Clock.h"

#include <chrono>
#include <thread>

namespace os {
namespace {

class RealClock final : public Clock {
 public:
  void Sleep(int ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

}  // namespace

Clock& SystemClock() {
  static RealClock clock;
  return clock;
}

}  // namespace os
