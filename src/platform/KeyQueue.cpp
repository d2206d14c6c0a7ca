#include "platform/KeyQueue.h"

#include <utility>

namespace almanouk {

void KeyQueue::push(std::string key) {
  if (keys_.size() == kCapacity) keys_.pop_front();
  keys_.push_back(std::move(key));
  ++arrivals_;
}

std::string KeyQueue::pop() {
  if (keys_.empty()) return {};
  std::string key = std::move(keys_.front());
  keys_.pop_front();
  return key;
}

}  // namespace almanouk
