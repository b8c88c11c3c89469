// MIDI thru over long random streams gives exactly what a plain model of the held-note table gives: a
// table of 256 entries searched from the start, a note start takes the first free entry (or overwrites
// the velocity of the same note held), a full table drops further starts, a note end frees its entry, and
// the notes-off flush ends every held note in table order. Streams play notes on all channels, repeat
// them, fill the table, and flush at random points.
#include <gtest/gtest.h>

#include <random>

#include "PluginHarness.h"

namespace {

using Events = std::vector<MidiBytes>;

// The held-note table as a list searched from the start every time.
class LinearModel {
 public:
  static constexpr int kEntries = 256;

  LinearModel() { Clear(); }

  // What thru sends for one incoming message.
  void Pass(const MidiBytes& in, Events& out) {
    const MidiBytes message{in.status, static_cast<unsigned char>(in.data1 & 0x7F),
                            static_cast<unsigned char>(in.data2 & 0x7F)};
    const int type = message.status & 0xF0;
    const int channel = message.status & 0x0F;
    if (type == 0x90 && message.data2 != 0) {
      for (Entry& entry : entries) {
        if (entry.channel == channel && entry.note == message.data1) {
          entry.velocity = message.data2;
          out.push_back(message);
          return;
        }
      }
      for (Entry& entry : entries) {
        if (entry.channel < 0) {
          entry = {channel, message.data1, message.data2};
          out.push_back(message);
          return;
        }
      }
      return;  // full
    }
    if (type == 0x80 || type == 0x90) {
      for (Entry& entry : entries) {
        if (entry.channel == channel && entry.note == message.data1) {
          entry = {-1, -1, -1};
          out.push_back({static_cast<unsigned char>(0x80 + channel), message.data1, 0});
        }
      }
      return;
    }
    out.push_back(message);
  }

  Events Flush() {
    Events out;
    for (Entry& entry : entries) {
      if (entry.channel < 0) continue;
      out.push_back({static_cast<unsigned char>(0x80 + entry.channel), static_cast<unsigned char>(entry.note), 0});
      entry = {-1, -1, -1};
    }
    return out;
  }

  void Clear() {
    for (Entry& entry : entries) entry = {-1, -1, -1};
  }

 private:
  struct Entry {
    int channel;
    int note;
    int velocity;
  };
  Entry entries[kEntries];
};

class HeldNotesModel : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override {
    // A new instance starts with thru off and spends two calls on its notes-off handshake.
    host.Process(*plugin);
    host.Process(*plugin);
    plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  }

  // A random message: mostly note starts and ends on a few notes of every channel, so that notes repeat
  // and the table fills and empties; now and then a controller or another message to pass.
  MidiBytes RandomMessage(bool filling) {
    const int channel = static_cast<int>(random() % 16);
    // Few notes while the table drains, many while it fills, so that starts repeat held notes too.
    const int note = static_cast<int>(random() % (filling ? 128 : 24));
    const unsigned roll = random() % 100;
    const int startShare = filling ? 80 : 45;
    auto byte = [](int value) { return static_cast<unsigned char>(value); };
    if (static_cast<int>(roll) < startShare)
      return {byte(0x90 + channel), byte(note), byte(1 + random() % 127)};
    if (roll < 90) return random() % 2 ? MidiBytes{byte(0x80 + channel), byte(note), byte(random() % 128)}
                                       : MidiBytes{byte(0x90 + channel), byte(note), 0};
    if (roll < 97) return {byte(0xB0 + channel), byte(random() % 120), byte(random() % 128)};
    return {byte(0xE0 + channel), byte(random() % 128), byte(random() % 128)};
  }

  PluginHarness host;
  HostedPlugin<> plugin = MakePlugin();
  std::mt19937 random{GetParam()};
};

TEST_P(HeldNotesModel, ThruAndFlushMatchTheLinearTable) {
  LinearModel model;
  int flushes = 0;
  int fullDrops = 0;
  for (int block = 0; block < 600; ++block) {
    // Long stretches of filling and of draining, so that the table is full now and then.
    const bool filling = (block / 40) % 2 == 0;
    Events in;
    const int count = static_cast<int>(random() % 200);
    for (int i = 0; i < count; ++i) in.push_back(RandomMessage(filling));
    Events expected;
    for (const MidiBytes& message : in) {
      const size_t before = expected.size();
      model.Pass(message, expected);
      if (expected.size() == before && (message.status & 0xF0) == 0x90 && message.data2 != 0) ++fullDrops;
    }
    host.Incoming(*plugin, in);
    ASSERT_EQ(expected, host.Process(*plugin)) << "block " << block;

    if (random() % 50 == 0) {
      // Thru off: the next call queues the flush, the one after sends it.
      plugin->setParameter(VSTPlugin::kMidiThru, 0.f);
      EXPECT_TRUE(host.Process(*plugin).empty());
      ASSERT_EQ(model.Flush(), host.Process(*plugin)) << "flush after block " << block;
      plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
      ++flushes;
    }
  }
  EXPECT_GT(flushes, 3) << "the stream flushes at several points";
  EXPECT_GT(fullDrops, 0) << "the stream fills the table";
}

INSTANTIATE_TEST_SUITE_P(Seeds, HeldNotesModel, ::testing::Values(1u, 2u, 3u, 20261208u));

}  // namespace
