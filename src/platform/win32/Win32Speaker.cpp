#include "platform/win32/Win32Speaker.h"

#include <windows.h>

namespace almanouk {
namespace {

constexpr DWORD kPieceMs = 20;
// Beep's range of pitches.
constexpr int kLowest = 37, kHighest = 32767;

}  // namespace

Win32Speaker::Win32Speaker() : beeper_([this] { beep(); }) {}

Win32Speaker::~Win32Speaker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  changed_.notify_one();
  beeper_.join();
}

void Win32Speaker::writePort(std::uint16_t port, std::uint8_t value) {
  if (!state_.write(port, value)) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    frequency_ = state_.audibleFrequency();
  }
  changed_.notify_one();
}

void Win32Speaker::beep() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || frequency_ != 0; });
    if (ending_) return;
    const int frequency = frequency_;
    lock.unlock();
    if (frequency >= kLowest && frequency <= kHighest) Beep(static_cast<DWORD>(frequency), kPieceMs);
    else Sleep(kPieceMs);
    lock.lock();
  }
}

}  // namespace almanouk
