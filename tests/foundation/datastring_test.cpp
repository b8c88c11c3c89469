// The growable string keeps its text, length and capacity by the growth-step rule through every operation,
// and strings on different threads never disturb each other.
#include "data/datastring.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using tovo::data::datastring;
using String = datastring<32, char>;
using Short = datastring<8, char>;

namespace {

void ExpectConsistent(const String& s) {
  EXPECT_EQ(std::strlen(s.Get()), s.Length());
  EXPECT_EQ(s.Size(), s.Length() + 1);
  EXPECT_LE(s.Size(), s.Capacity());
  EXPECT_EQ(0u, s.Capacity() % s.Step());
}

}  // namespace

TEST(DataString, StartsEmptyWithOneStep) {
  String s;
  Short t;
  EXPECT_STREQ("", s.Get());
  EXPECT_EQ(0u, s.Length());
  EXPECT_EQ(32u, s.Capacity());
  EXPECT_EQ(32u, s.Step());
  EXPECT_EQ(8u, t.Capacity());
  EXPECT_EQ(8u, t.Step());
}

TEST(DataString, GrowsInWholeStepsOnlyWhenFull) {
  String s;
  s.Append(std::string(31, 'x').c_str());
  EXPECT_EQ(32u, s.Size());
  EXPECT_EQ(32u, s.Capacity());
  s.Append('y');
  EXPECT_EQ(64u, s.Capacity());
  EXPECT_EQ(std::string(31, 'x') + "y", s.Get());
  s.Append(std::string(100, 'z').c_str());
  EXPECT_EQ(160u, s.Capacity());
  ExpectConsistent(s);

  Short t;
  t.Append("1234567");
  EXPECT_EQ(8u, t.Capacity());
  t.Append("8");
  EXPECT_EQ(16u, t.Capacity());
  EXPECT_STREQ("12345678", t.Get());
}

TEST(DataString, AppendIgnoresNullTextAndNulCharacter) {
  String s;
  s.Append("ab").Append(static_cast<const char*>(nullptr)).Append('\0').Append('c');
  EXPECT_STREQ("abc", s.Get());
  EXPECT_EQ(3u, s.Length());
}

TEST(DataString, InitializeAndClearSetCapacity) {
  String s;
  s.Append("text").Initialize(100);
  EXPECT_EQ(128u, s.Capacity());
  EXPECT_STREQ("", s.Get());
  s.Initialize(10);
  EXPECT_EQ(32u, s.Capacity());
  s.Initialize(64);
  EXPECT_EQ(64u, s.Capacity());

  s.Initialize(96).Append("keep the room");
  s.Clear(false);
  EXPECT_EQ(96u, s.Capacity());
  EXPECT_STREQ("", s.Get());
  EXPECT_EQ(1u, s.Size());
  s.Append("again");
  s.Clear(true);
  EXPECT_EQ(32u, s.Capacity());
  EXPECT_EQ(0u, s.Length());
  s.Append("after").Clear(true);
  EXPECT_EQ(32u, s.Capacity());
}

TEST(DataString, CopiesStartFromBlocksOf32) {
  String shortText;
  shortText.Initialize(200).Append("short");
  String a(shortText);
  EXPECT_EQ(32u, a.Capacity());
  EXPECT_STREQ("short", a.Get());

  String forty;
  forty.Append(std::string(40, 'f').c_str());
  EXPECT_EQ(64u, String(forty).Capacity());

  // 32 characters need 33 bytes: the first block is too small, so the copy grows by one step.
  String exact;
  exact.Append(std::string(32, 'e').c_str());
  String b(exact);
  EXPECT_EQ(64u, b.Capacity());
  EXPECT_EQ(exact.Get(), std::string(b.Get()));

  Short digits;
  digits.Append("12");
  Short c(digits);
  EXPECT_EQ(32u, c.Capacity());
  EXPECT_STREQ("12", c.Get());

  // The copy owns its own text.
  a.Append('!');
  EXPECT_STREQ("short", shortText.Get());
  ExpectConsistent(a);
}

TEST(DataString, AssignmentCopiesTextAndSurvivesSelfAssignment) {
  String small;
  small.Append("ab");
  String big;
  big.Append(std::string(70, 'b').c_str());
  String target;
  target = big;
  EXPECT_EQ(std::string(70, 'b'), target.Get());
  ExpectConsistent(target);
  target = small;
  EXPECT_STREQ("ab", target.Get());
  ExpectConsistent(target);
  const String& alias = target;
  target = alias;
  EXPECT_STREQ("ab", target.Get());

  std::vector<String> many(3, small);
  many.push_back(big);
  EXPECT_STREQ("ab", many[1].Get());
  EXPECT_EQ(70u, many[3].Length());
}

TEST(DataString, TokenizeSkipsEmptyTokensAndAppends) {
  String s;
  s.Append("a,,b");
  std::vector<String> out;
  EXPECT_EQ(2, s.Tokenize(out, ","));
  ASSERT_EQ(2u, out.size());
  EXPECT_STREQ("a", out[0].Get());
  EXPECT_STREQ("b", out[1].Get());
  EXPECT_STREQ("a,,b", s.Get());

  String t;
  t.Append(" ;one two;;three ; ");
  EXPECT_EQ(3, t.Tokenize(out, " ;"));
  ASSERT_EQ(5u, out.size());
  EXPECT_STREQ("one", out[2].Get());
  EXPECT_STREQ("two", out[3].Get());
  EXPECT_STREQ("three", out[4].Get());

  String onlyDelimiters;
  onlyDelimiters.Append(",,,");
  EXPECT_EQ(0, onlyDelimiters.Tokenize(out, ","));
  EXPECT_EQ(0, String().Tokenize(out, ","));
  EXPECT_EQ(5u, out.size());

  Short number;
  number.Append("12:34");
  EXPECT_EQ(2, number.Tokenize(out, ":"));
  EXPECT_STREQ("34", out.back().Get());
}

TEST(DataString, TokenizeOfAStringInsideItsOwnOutput) {
  std::vector<String> out(1);
  out[0].Append("x y z w v u t s r q p o n m");
  EXPECT_EQ(14, out[0].Tokenize(out, " "));
  ASSERT_EQ(15u, out.size());
  EXPECT_STREQ("x", out[1].Get());
  EXPECT_STREQ("m", out[14].Get());
}

TEST(DataString, InsertAmountAt) {
  String s;
  s.Append("ab").InsertAmountAt(1, '-', 3);
  EXPECT_STREQ("a---b", s.Get());
  s.InsertAmountAt(5, '!', 1);
  EXPECT_STREQ("a---b!", s.Get());
  s.InsertAmountAt(0, '>', 2);
  EXPECT_STREQ(">>a---b!", s.Get());
  s.InsertAmountAt(9, '?', 1).InsertAmountAt(2, '?', 0).InsertAmountAt(2, '\0', 4);
  EXPECT_STREQ(">>a---b!", s.Get());

  s.InsertAmountAt(3, '.', 40);
  EXPECT_EQ(">>a" + std::string(40, '.') + "---b!", s.Get());
  ExpectConsistent(s);
}

TEST(DataString, FormattingCutsAtLimitMinusTwo) {
  String s;
  s.Append("n=").Append(8, "%i", 1234567);
  EXPECT_STREQ("n=123456", s.Get());
  EXPECT_EQ(8u, s.Length());
  s.Append(8, "%i", -5);
  EXPECT_STREQ("n=123456-5", s.Get());
  s.Append(1, "%s", "nothing fits").Append(2, "%s", "nor here");
  EXPECT_EQ(10u, s.Length());

  String tip(64, "%s (Tooltip)", "x");
  EXPECT_STREQ("x (Tooltip)", tip.Get());
  EXPECT_EQ(11u, tip.Length());
  EXPECT_EQ(64u, tip.Capacity());

  String cut(8, "%s", "longer than eight");
  EXPECT_STREQ("longer", cut.Get());
  EXPECT_EQ(6u, cut.Length());
  EXPECT_EQ(32u, cut.Capacity());

  Short mode(6, "%04o", 0755);
  EXPECT_STREQ("0755", mode.Get());
  EXPECT_EQ(32u, mode.Capacity());

  String wide(100, "%s", std::string(150, 'w').c_str());
  EXPECT_EQ(98u, wide.Length());
  EXPECT_EQ(128u, wide.Capacity());
  ExpectConsistent(wide);
}

TEST(DataString, FormattedAppendGrowsByTheStep) {
  String s;
  s.Append(std::string(30, 'a').c_str()).Append(40, "%d-%d", 12345, 67890);
  EXPECT_EQ(std::string(30, 'a') + "12345-67890", s.Get());
  EXPECT_EQ(64u, s.Capacity());
}

// Each thread appends its own character to its own string many times; if the character were staged in
// storage shared by all strings of a step, the threads would sooner or later store each other's character.
TEST(DataString, CharacterAppendsOnTwoThreadsStayApart) {
  constexpr unsigned kCount = 200000;
  String first;
  String second;
  std::thread a([&] {
    for (unsigned i = 0; i < kCount; ++i) first.Append('a');
  });
  std::thread b([&] {
    for (unsigned i = 0; i < kCount; ++i) second.Append('b');
  });
  a.join();
  b.join();
  EXPECT_EQ(std::string(kCount, 'a'), first.Get());
  EXPECT_EQ(std::string(kCount, 'b'), second.Get());
}
