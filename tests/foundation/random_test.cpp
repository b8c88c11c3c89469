// The generators follow their published recurrences exactly from a given seed: Park-Miller's minimal
// standard and Marsaglia's subtract-with-borrow with its seed-derived lag words.
#include <gtest/gtest.h>

#include <cstdint>

#include "math/SRandomMarsaglia.h"
#include "math/SRandomPM.h"

using tovo::math::random::generator::SRandom;
using tovo::math::random::generator::SRandomMarsaglia;
using tovo::math::random::generator::SRandomPM;

TEST(SRandomPM, MinimalStandardSequence) {
  SRandomPM generator(1);
  EXPECT_EQ(16807, generator.Integer());
  EXPECT_EQ(282475249, generator.Integer());
  EXPECT_EQ(1622650073, generator.Integer());

  // Schrage's form must equal the plain 64-bit product modulo 2^31 - 1 for any state below the modulus.
  SRandomPM checked(0x7FFFFFFEu);
  uint64_t expected = 0x7FFFFFFEu;
  for (int i = 0; i < 1000; ++i) {
    expected = expected * 16807u % 2147483647u;
    ASSERT_EQ(static_cast<int>(expected), checked.Integer()) << "step " << i;
  }
}

TEST(SRandomPM, ZeroStateStaysZero) {
  SRandomPM generator(0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(0, generator.Integer());
  EXPECT_EQ(0.0f, generator.Float());
}

TEST(SRandomPM, StatesAboveTheModulusStayInRange) {
  SRandomPM generator(0xFFFFFFFFu);
  for (int i = 0; i < 1000; ++i) {
    int value = generator.Integer();
    ASSERT_GE(value, 0);
    ASSERT_LT(value, 2147483647);
  }
  float f = generator.Float();
  EXPECT_GE(f, 0.0f);
  EXPECT_LE(f, 1.0f);
}

TEST(SRandom, SeedSetsLastValue) {
  SRandomPM generator(5);
  EXPECT_EQ(99u, generator.Seed(99));
  EXPECT_EQ(99u, generator.Last());
  EXPECT_EQ(static_cast<int>(99u * 16807u % 2147483647u), generator.Integer());
}

TEST(SRandomMarsaglia, SeedWordsDriveTheSequence) {
  SRandomMarsaglia generator;
  EXPECT_EQ(0x51D50A48u, generator.Seed(0x12B9B0A1u));
  EXPECT_EQ(0x12B9B0A1u, generator.Last());

  // Independent subtract-with-borrow from the documented seed words (c = 0 since s1 <= s2).
  uint32_t s[3] = {0x0DAB8B14u, 0x0723E544u, 0x124F1378u};
  uint32_t carry = 0;
  for (int i = 0; i < 50; ++i) {
    uint64_t subtrahend = static_cast<uint64_t>(s[0]) + carry;
    uint64_t difference = (static_cast<uint64_t>(s[1]) + 0x100000000ull - subtrahend) & 0xFFFFFFFFull;
    if (s[1] > static_cast<uint32_t>(subtrahend)) {
      carry = 0;
    } else {
      carry = 1;
      difference = (difference + 0x100000000ull - 18) & 0xFFFFFFFFull;
    }
    s[0] = s[1];
    s[1] = s[2];
    s[2] = static_cast<uint32_t>(difference);
    uint32_t congruential = static_cast<uint32_t>((69069ull * 69069ull + 1013904243ull) & 0xFFFFFFFFull);
    uint32_t expected = static_cast<uint32_t>(difference) + congruential;
    ASSERT_EQ(static_cast<int>(expected), generator.Integer()) << "step " << i;
    ASSERT_EQ(expected, generator.Last());
  }
}

TEST(SRandomMarsaglia, ConstructionSeedsAndReseedingRepeats) {
  SRandomMarsaglia fresh;
  SRandomMarsaglia seeded;
  seeded.Seed(SRandomMarsaglia::kDefaultSeed);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(seeded.Integer(), fresh.Integer());

  SRandomMarsaglia other;
  other.Seed(1);
  fresh.Seed(1);
  int first = fresh.Integer();
  EXPECT_EQ(first, other.Integer());
  EXPECT_NE(first, fresh.Integer());

  SRandom& generator = fresh;
  for (int i = 0; i < 1000; ++i) {
    float f = generator.Float();
    ASSERT_GE(f, -0.5f);
    ASSERT_LE(f, 0.5f);
  }
}
