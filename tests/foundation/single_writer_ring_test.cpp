// The single-writer ring: order kept, a full ring refuses instead of
// overwriting, positions keep working past many wraps, and one writer with one reader lose nothing.
#include <gtest/gtest.h>

#include <thread>

#include "threading/SingleWriterRing.h"

namespace {

TEST(SingleWriterRing, KeepsOrderRefusesWhenFullAndWraps) {
  tovo::threading::SingleWriterRing<int, 4> ring;
  int value = -1;
  EXPECT_FALSE(ring.Pop(value));
  for (int round = 0; round < 100; ++round) {
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.Push(round * 4 + i));
    EXPECT_FALSE(ring.Push(999)) << "full: the oldest is not overwritten";
    EXPECT_EQ(4u, ring.Size());
    for (int i = 0; i < 4; ++i) {
      ASSERT_TRUE(ring.Pop(value));
      EXPECT_EQ(round * 4 + i, value);
    }
    EXPECT_FALSE(ring.Pop(value));
  }
}

TEST(SingleWriterRing, OneWriterAndOneReaderLoseNothing) {
  struct Record {
    uint32_t sequence;
    uint32_t check;
  };
  tovo::threading::SingleWriterRing<Record, 64> ring;
  constexpr uint32_t kCount = 200000;
  std::thread writer([&] {
    for (uint32_t i = 0; i < kCount;)
      if (ring.Push({i, ~i})) ++i;
  });
  uint32_t expected = 0;
  Record record{};
  while (expected < kCount) {
    if (!ring.Pop(record)) continue;
    ASSERT_EQ(expected, record.sequence);
    ASSERT_EQ(~expected, record.check) << "a record read before it was whole";
    ++expected;
  }
  writer.join();
  EXPECT_FALSE(ring.Pop(record));
}

}  // namespace
