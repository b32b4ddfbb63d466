#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/rtl/RingQueue.h"

// Pushes and pops in the given runs (a positive number pushes that many fresh values, a negative
// one pops that many) on a ring and on a deque: both give the same items in the same order.
TEST(RingQueue, KeepsFirstInFirstOutThroughWrapsAndGrowth) {
  struct TCase {
    const char* Name;
    std::vector<int> Runs;
  };
  const TCase cases[] = {
      {"fill and drain", {10, -10}},
      {"wrap without growth", {12, -8, 10, -14}},
      {"grow while wrapped", {14, -10, 30, -34}},
      {"grow twice", {100, -37, 100, -163}},
      {"interleaved", {3, -1, 3, -2, 20, -5, 1, -19}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRingQueue<uint32_t> ring;
    std::deque<uint32_t> model;
    uint32_t next = 0;
    for (const int run : c.Runs) {
      for (int i = 0; i < run; ++i) {
        ring.PushBack(next);
        model.push_back(next++);
      }
      for (int i = 0; i < -run; ++i) {
        ASSERT_FALSE(ring.Empty());
        EXPECT_EQ(ring.Front(), model.front());
        ring.PopFront();
        model.pop_front();
      }
      EXPECT_EQ(ring.Count(), model.size());
    }
    EXPECT_TRUE(ring.Empty());
  }
}

TEST(RingQueue, RecyclingAtASteadyCountKeepsTheBuffer) {
  TRingQueue<uint32_t> ring;
  for (uint32_t i = 0; i < 20; ++i) ring.PushBack(i);
  const size_t capacity = ring.Capacity();
  EXPECT_EQ(capacity, 32u);
  for (uint32_t i = 20; i < 1000; ++i) {
    EXPECT_EQ(ring.Front(), i - 20);
    ring.PopFront();
    ring.PushBack(i);
  }
  EXPECT_EQ(ring.Capacity(), capacity);
  EXPECT_EQ(ring.Count(), 20u);
}
