#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace almanouk {

// The keyboard queue: up to 15 keystrokes in typing order; a keystroke that
// arrives while 15 wait pushes out the oldest.
class KeyQueue {
 public:
  static constexpr std::size_t kCapacity = 15;

  void push(std::string key);
  // The oldest keystroke, or the empty string at once when none waits.
  std::string pop();
  bool empty() const { return keys_.empty(); }
  std::size_t size() const { return keys_.size(); }
  // Counts every keystroke ever pushed; lets a wait notice a key that arrived after it began.
  std::uint64_t arrivals() const { return arrivals_; }

 private:
  std::deque<std::string> keys_;
  std::uint64_t arrivals_ = 0;
};

}  // namespace almanouk
