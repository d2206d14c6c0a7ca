#include "platform/KeyQueue.h"

#include <gtest/gtest.h>

using namespace almanouk;

TEST(KeyQueue, KeepsTheLastFifteenInOrder) {
  KeyQueue queue;
  EXPECT_EQ(queue.pop(), "");
  for (char c = 'a'; c < 'a' + 16; ++c) queue.push(std::string(1, c));
  EXPECT_EQ(queue.size(), 15u);
  for (char c = 'b'; c < 'a' + 16; ++c) EXPECT_EQ(queue.pop(), std::string(1, c));
  EXPECT_EQ(queue.pop(), "");
  EXPECT_EQ(queue.arrivals(), 16u);
}
