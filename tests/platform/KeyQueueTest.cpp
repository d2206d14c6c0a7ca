#include "platform/KeyQueue.h"

#include <gtest/gtest.h>

using namespace almanouk;

TEST(KeyQueue, KeepsTheLastFifteenInOrder) {
  KeyQueue queue;
  EXPECT_TRUE(queue.pop().empty());
  for (char c = 'a'; c < 'a' + 16; ++c) queue.push(Key::character(c));
  EXPECT_EQ(queue.size(), 15u);
  queue.putBack(Key::character('a'));  // full: the newest goes
  EXPECT_EQ(queue.pop(), Key::character('a'));
  for (char c = 'b'; c < 'a' + 15; ++c) EXPECT_EQ(queue.pop(), Key::character(c));
  EXPECT_TRUE(queue.pop().empty());
  EXPECT_EQ(queue.arrivals(), 16u);
}
