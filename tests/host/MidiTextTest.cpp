// MIDI messages read back in hex and in words the way a sound module would take them, System Exclusive
// with the names modules know, and hex input split into messages at their status bytes.
#include <gtest/gtest.h>

#include "host/MidiText.h"
#include "midi/MidiMessageLength.h"

namespace {

std::string words(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
  const uint8_t bytes[3] = {status, data1, data2};
  return MidiText::words(bytes);
}

TEST(MidiText, ChannelMessagesInWordsWithChannelsFromOne) {
  EXPECT_EQ(words(0xC2, 0x04), "ch 3 Program Change 4");
  EXPECT_EQ(words(0xB2, 0x00, 0x01), "ch 3 Control Change 0 = 1");
  EXPECT_EQ(words(0xBF, 32, 127), "ch 16 Control Change 32 = 127");
  EXPECT_EQ(words(0x90, 60, 100), "ch 1 Note On 60 vel 100");
  EXPECT_EQ(words(0x90, 60, 0), "ch 1 Note On 60 vel 0 (= Note Off)");
  EXPECT_EQ(words(0x85, 60, 64), "ch 6 Note Off 60 vel 64");
  EXPECT_EQ(words(0xA0, 1, 2), "ch 1 Poly Pressure 1 = 2");
  EXPECT_EQ(words(0xD3, 90), "ch 4 Channel Pressure 90");
}

TEST(MidiText, PitchBendIsCentredOn8192) {
  EXPECT_EQ(words(0xE0, 0x00, 0x40), "ch 1 Pitch Bend +0");
  EXPECT_EQ(words(0xE0, 0x00, 0x00), "ch 1 Pitch Bend -8192");
  EXPECT_EQ(words(0xE0, 0x7F, 0x7F), "ch 1 Pitch Bend +8191");
}

// What goes on a wire: a Program Change written as three bytes would make the receiver read the third as
// running-status data.
TEST(MidiText, MessageLengthsFollowTheStatus) {
  EXPECT_EQ(MidiMessageLength(0x90), 3u);
  EXPECT_EQ(MidiMessageLength(0xBF), 3u);
  EXPECT_EQ(MidiMessageLength(0xEF), 3u);
  EXPECT_EQ(MidiMessageLength(0xC0), 2u);
  EXPECT_EQ(MidiMessageLength(0xDF), 2u);
  EXPECT_EQ(MidiMessageLength(0xF1), 2u);
  EXPECT_EQ(MidiMessageLength(0xF2), 3u);
  EXPECT_EQ(MidiMessageLength(0xF8), 1u);
  EXPECT_EQ(MidiMessageLength(0xFF), 1u);
  EXPECT_EQ(MidiMessageLength(0xF0), 0u) << "System Exclusive has no fixed length";
  EXPECT_EQ(MidiMessageLength(0x7F), 0u) << "a data byte starts no message";
}

TEST(MidiText, DataBytesAreReadWithoutTheirTopBit) {
  EXPECT_EQ(words(0xB0, 0x87, 0xFF), "ch 1 Control Change 7 = 127");
}

TEST(MidiText, SystemAndStatuslessBytesAreNamed) {
  EXPECT_EQ(words(0xF8), "System Timing Clock");
  EXPECT_EQ(words(0xF4), "System Undefined");
  EXPECT_EQ(words(0x3C), "no status byte (data 3C)");
}

TEST(MidiText, LineShowsAllThreeBytesThenWords) {
  const uint8_t bytes[3] = {0xC2, 0x04, 0x00};
  EXPECT_EQ(MidiText::line(bytes), "C2 04 00  ch 3 Program Change 4");
  const uint8_t high[3] = {0xFF, 0x0A, 0xA0};
  EXPECT_EQ(MidiText::hex(high, 3), "FF 0A A0");
}

// A message as it went out: exactly its own bytes, and a System Exclusive with its name if it has one; one
// byte more or less is another message, without a name.
TEST(MidiText, MessageShowsItsOwnBytesAndSysexItsName) {
  const uint8_t gsReset[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  const uint8_t xgOn[] = {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
  EXPECT_EQ(MidiText::message(xgOn, sizeof xgOn), "SysEx F0 43 10 4C 00 00 7E 00 F7 (XG System On)");
  EXPECT_EQ(MidiText::sysex(gsReset, sizeof gsReset), "SysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)");
  EXPECT_EQ(MidiText::sysex(gsReset, sizeof gsReset - 1), "SysEx F0 41 10 42 12 40 00 7F 00 41");
  const uint8_t program[] = {0xC0, 0x30};
  EXPECT_EQ(MidiText::message(program, sizeof program), "C0 30  ch 1 Program Change 48");
}

TEST(MidiText, ParseSplitsMessagesAtStatusBytes) {
  std::vector<std::vector<uint8_t>> messages;
  ASSERT_EQ(MidiText::parse(" 90 3c 64, 80 3C 00 c1 5 ", messages), "");
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], (std::vector<uint8_t>{0x90, 0x3C, 0x64}));
  EXPECT_EQ(messages[1], (std::vector<uint8_t>{0x80, 0x3C, 0x00}));
  EXPECT_EQ(messages[2], (std::vector<uint8_t>{0xC1, 0x05}));
}

TEST(MidiText, ParseRefusesWhatCannotBeOneEvent) {
  std::vector<std::vector<uint8_t>> messages;
  EXPECT_NE(MidiText::parse("", messages), "");
  EXPECT_NE(MidiText::parse("3C 64", messages), "");        // data before any status
  EXPECT_NE(MidiText::parse("90 3C 64 10", messages), "");  // four bytes in one message
  EXPECT_NE(MidiText::parse("90 3G", messages), "");
  EXPECT_NE(MidiText::parse("-1", messages), "");
  EXPECT_NE(MidiText::parse("190", messages), "");
  EXPECT_NE(MidiText::parse("0x90", messages), "");
}

}  // namespace
