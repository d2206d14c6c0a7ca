#include "platform/KeyQueue.h"

namespace almanouk {

void KeyQueue::push(Key key) {
  if (keys_.size() == kCapacity) keys_.pop_front();
  keys_.push_back(key);
  ++arrivals_;
}

void KeyQueue::putBack(Key key) {
  if (keys_.size() == kCapacity) keys_.pop_back();
  keys_.push_front(key);
}

Key KeyQueue::pop() {
  if (keys_.empty()) return {};
  Key key = keys_.front();
  keys_.pop_front();
  return key;
}

}  // namespace almanouk
