// The ring between the JACK callback and a normal thread: order kept, a full ring refuses instead of
// overwriting, positions keep working past many wraps, and one writer with one reader lose nothing.
#include <gtest/gtest.h>

#include <thread>

#include "host/EventRing.h"

namespace {

TEST(EventRing, KeepsOrderRefusesWhenFullAndWraps) {
  EventRing<int, 4> ring;
  int value = -1;
  EXPECT_FALSE(ring.pop(value));
  for (int round = 0; round < 100; ++round) {
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.push(round * 4 + i));
    EXPECT_FALSE(ring.push(999)) << "full: the oldest is not overwritten";
    EXPECT_EQ(4u, ring.size());
    for (int i = 0; i < 4; ++i) {
      ASSERT_TRUE(ring.pop(value));
      EXPECT_EQ(round * 4 + i, value);
    }
    EXPECT_FALSE(ring.pop(value));
  }
}

TEST(EventRing, OneWriterAndOneReaderLoseNothing) {
  struct Record {
    uint32_t sequence;
    uint32_t check;
  };
  EventRing<Record, 64> ring;
  constexpr uint32_t kCount = 200000;
  std::thread writer([&] {
    for (uint32_t i = 0; i < kCount;)
      if (ring.push({i, ~i})) ++i;
  });
  uint32_t expected = 0;
  Record record{};
  while (expected < kCount) {
    if (!ring.pop(record)) continue;
    ASSERT_EQ(expected, record.sequence);
    ASSERT_EQ(~expected, record.check) << "a record read before it was whole";
    ++expected;
  }
  writer.join();
  EXPECT_FALSE(ring.pop(record));
}

}  // namespace
