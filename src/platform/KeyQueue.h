#pragma once

#include <cstdint>
#include <deque>

#include "platform/Keys.h"

namespace almanouk {

// The keyboard queue: up to 15 keystrokes in typing order; a keystroke that
// arrives while 15 wait pushes out the oldest.
class KeyQueue {
 public:
  static constexpr std::size_t kCapacity = 15;

  void push(Key key);
  // Puts a key that was taken back in front, to be read again first.
  void putBack(Key key);
  // The oldest keystroke, or no key at once when none waits.
  Key pop();
  bool empty() const { return keys_.empty(); }
  std::size_t size() const { return keys_.size(); }
  // Counts every keystroke ever pushed; lets a wait notice a key that arrived after it began.
  std::uint64_t arrivals() const { return arrivals_; }

 private:
  std::deque<Key> keys_;
  std::uint64_t arrivals_ = 0;
};

}  // namespace almanouk
