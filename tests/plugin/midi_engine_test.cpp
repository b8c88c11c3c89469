// The MIDI engine sends each strip's messages in a fixed order, paces a preset's SysEx list on the MIDI
// line, passes MIDI through only when thru is on, ends the notes it passed when thru goes off, switches
// presets on incoming Program Change, and decides when a preset change sends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "PluginHarness.h"
#include "tests/support/LargestSendPreset.h"

namespace {

using Events = std::vector<MidiBytes>;

// The frames `bytes` take on a 5-pin MIDI line (3125 bytes a second) at `rate`.
double WireFrames(size_t bytes, double rate) { return static_cast<double>(bytes) * rate / 3125.0; }

class MidiEngine : public ::testing::Test {
 protected:
  PluginHarness host;
  HostedPlugin<> plugin = MakePlugin();

  // A new instance starts with thru off, so its first two calls are the notes-off handshake.
  void SetUp() override {
    host.Process(*plugin);
    host.Process(*plugin);
  }

  void SetStrip(int strip, int channel, int program, int msb, int lsb, int volume, bool swap) {
    plugin->EditCurrentPreset([&](VSTPluginProgram& preset, VSTPluginProgramExtension&) {
      VSTPluginStrip& s = preset.strips[strip];
      s.inUse = 1;
      s.channel = channel;
      s.program = program;
      s.bankMsb = msb;
      s.bankLsb = lsb;
      s.volume = volume;
      s.swapBankOrder = swap;
    });
  }
  // Changes one preset's fields, as the editor does.
  template <typename Change>
  void Edit(int preset, Change&& edit) {
    plugin->EditPreset(preset, [&](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
      edit(record, extension);
    });
  }
  // What a press of Resend sends: it leaves with the next processing call.
  Events Resend() {
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    return host.Process(*plugin);
  }
  // Runs blocks until `until` frames have passed; every message at its frame counted from the first block.
  std::vector<SentMessage> Run(int block, int until) {
    std::vector<SentMessage> sent;
    host.TakeMessages();
    for (int start = 0; start < until; start += block) {
      host.Process(*plugin, block);
      for (SentMessage& message : host.TakeMessages()) sent.push_back({start + message.frame, message.bytes});
    }
    return sent;
  }
};

TEST_F(MidiEngine, StripMessagesInOrderWithAndWithoutSwap) {
  SetStrip(0, 3, 5, 2, 1, 101, false);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  EXPECT_EQ((Events{{0xC2, 4, 0}, {0xB2, 0, 1}, {0xB2, 32, 0}, {0xB2, 7, 100}}), host.Process(*plugin));
  plugin->setParameter(VSTPlugin::kResend, 1.f);  // already requested: no second send
  EXPECT_TRUE(host.Process(*plugin).empty());
  plugin->setParameter(VSTPlugin::kResend, 0.f);

  SetStrip(0, 3, 5, 2, 1, 101, true);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  EXPECT_EQ((Events{{0xC2, 4, 0}, {0xB2, 32, 0}, {0xB2, 0, 1}, {0xB2, 7, 100}}), host.Process(*plugin));
}

// Modules that hold Bank Select until the next Program Change need the banks first: an option for all
// presets, off by default.
TEST_F(MidiEngine, BankSelectFirstPutsTheBanksBeforeTheProgramChange) {
  SetStrip(0, 10, 26, 1, 9, 101, false);  // program 25, bank 0/8, volume 100
  EXPECT_EQ((Events{{0xC9, 25, 0}, {0xB9, 0, 0}, {0xB9, 32, 8}, {0xB9, 7, 100}}), Resend());
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 1.f);
  EXPECT_EQ((Events{{0xB9, 0, 0}, {0xB9, 32, 8}, {0xC9, 25, 0}, {0xB9, 7, 100}}), Resend());
  SetStrip(0, 10, 26, 1, 9, 101, true);
  EXPECT_EQ((Events{{0xB9, 32, 8}, {0xB9, 0, 0}, {0xC9, 25, 0}, {0xB9, 7, 100}}), Resend());
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 0.f);
  EXPECT_EQ((Events{{0xC9, 25, 0}, {0xB9, 32, 8}, {0xB9, 0, 0}, {0xB9, 7, 100}}), Resend());
}

// A module reset first, then, once the list is through the line and its settle time has passed in audio
// frames, every strip: Reset All Controllers, banks and program, volume, the controller rows. Exact
// whatever the block size.
TEST_F(MidiEngine, AResetListThenTheStripsWhenTheSettleTimeHasPassedInFrames) {
  using Bytes = std::vector<unsigned char>;
  const Bytes gsReset = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  const Bytes gmOn = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  plugin->setSampleRate(48000.f);
  SetStrip(0, 1, 49, 1, 2, 101, false);
  SetStrip(3, 16, 1, 0, 0, 0, false);
  Edit(0, [&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    std::memcpy(extension.sysex, gsReset.data(), gsReset.size());
    std::memcpy(extension.sysex + gsReset.size(), gmOn.data(), gmOn.size());
    extension.sysexLength = static_cast<uint32_t>(gsReset.size() + gmOn.size());
    extension.rowValues[0][0] = 33;  // pan 32
    extension.rowValues[0][1] = 61;  // reverb 60
    extension.rowValues[3][3] = 128;
    extension.rowControllers[3] = 74;
  });
  plugin->SetResetControllersFirst(true);
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 1.f);
  // At 48 kHz the GS Reset's 11 bytes take 168.96 frames on the line: GM System On follows at frame 169;
  // its 6 bytes are through at 261.16, and the strips come 100 ms (4800 frames) after frame 262.
  const std::vector<SentMessage> list = {{0, gsReset}, {169, gmOn}};
  const std::vector<SentMessage> strips = {{5062, {0xB0, 0x79, 0x00}}, {5062, {0xB0, 0x00, 0x00}},
                                           {5062, {0xB0, 0x20, 0x01}}, {5062, {0xC0, 0x30}},
                                           {5062, {0xB0, 0x07, 0x64}}, {5062, {0xB0, 0x0A, 0x20}},
                                           {5062, {0xB0, 0x5B, 0x3C}}, {5062, {0xBF, 0x79, 0x00}},
                                           {5062, {0xCF, 0x00}},       {5062, {0xBF, 0x4A, 0x7F}}};
  std::vector<SentMessage> expected = list;
  expected.insert(expected.end(), strips.begin(), strips.end());
  for (int block : {64, 1024, 100}) {
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    EXPECT_EQ(expected, Run(block, 6000)) << block << "-frame blocks";
  }

  // A new send while the strips wait replaces them; a stop of processing drops them.
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  Run(256, 2048);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  EXPECT_EQ(expected, Run(256, 6000));
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  EXPECT_EQ(list, Run(256, 256));
  plugin.dispatcher(effMainsChanged, 0, 0, nullptr, 0);
  plugin.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  EXPECT_TRUE(Run(256, 6000).empty());

  // Without a list there is no wait, whatever the settle time.
  Edit(0, [](VSTPluginProgram&, VSTPluginProgramExtension& extension) { extension.sysexLength = 0; });
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  EXPECT_EQ(strips.size(), Run(64, 64).size());
}

// Each message of a list starts once the one before is through the line and the preset's gap has passed,
// at its own frame inside a block, the list spreading over as many blocks as it needs; the strips come
// the settle time after the last message is through. Meanwhile the settle dial counts down all of it.
TEST_F(MidiEngine, AListGoesOutAtTheLinesPaceWithItsGapAndTheStripsTheSettleTimeAfterItsEnd) {
  constexpr double kRate = 44100;
  constexpr int kGapMs = 30;
  std::vector<std::vector<unsigned char>> messages = {
      {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7}, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}};
  std::vector<unsigned char> dump(60, 0x11);
  dump.front() = 0xF0;
  dump.back() = 0xF7;
  messages.push_back(dump);
  messages.push_back({0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});
  plugin->setSampleRate(static_cast<float>(kRate));
  SetStrip(0, 1, 49, 0, 0, 101, false);
  Edit(0, [&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    for (const auto& message : messages) {
      std::memcpy(extension.sysex + extension.sysexLength, message.data(), message.size());
      extension.sysexLength = static_cast<uint32_t>(extension.sysexLength + message.size());
    }
    extension.sysexGapMs = kGapMs;
    extension.settleMs = 100;
  });
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  host.Process(*plugin, 512);
  std::vector<SentMessage> sent;
  for (SentMessage& message : host.TakeMessages()) sent.push_back(message);
  ASSERT_EQ(1u, sent.size()) << "the list's second message is due after this block";
  // What the dial shows, in 10 ms steps: the rest of the list and the settle time, from the next block.
  const double listLeft = WireFrames(11 + 6 + 60 + 9, kRate) + 3 * kGapMs * kRate / 1000 + 100 * kRate / 1000;
  EXPECT_NEAR((listLeft - 512) * 1000 / kRate, plugin->SettleMsLeft(), 10);
  for (SentMessage& message : Run(512, 16384)) sent.push_back({512 + message.frame, message.bytes});

  ASSERT_EQ(messages.size() + 2, sent.size());
  for (size_t i = 0; i < messages.size(); ++i) EXPECT_EQ(messages[i], sent[i].bytes) << i;
  for (size_t i = 1; i < messages.size(); ++i) {
    const double due = sent[i - 1].frame + WireFrames(messages[i - 1].size(), kRate) + kGapMs * kRate / 1000;
    EXPECT_GE(sent[i].frame, due) << "message " << i;
    EXPECT_LT(sent[i].frame, due + 1) << "message " << i << " at the first frame it may go";
  }
  const SentMessage& last = sent[messages.size() - 1];
  const int stripsDue = last.frame + static_cast<int>(std::ceil(WireFrames(last.bytes.size(), kRate))) + 4410;
  EXPECT_EQ((std::vector<SentMessage>{{stripsDue, {0xC0, 48}}, {stripsDue, {0xB0, 7, 100}}}),
            std::vector<SentMessage>(sent.end() - 2, sent.end()));
  EXPECT_EQ(0, plugin->SettleMsLeft());
}

// The largest send a preset can make is more than one block hands over, and its list takes 3613 frames
// of the line at 44.1 kHz: the rest goes out in the next blocks, whole and in order, at every block size.
// The whole send is through the line after 672 bytes, 9484 frames, before the next one starts.
TEST_F(MidiEngine, TheLargestSendArrivesWholeAndInOrderAtEveryBlockSize) {
  Edit(0, [](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
    testsupport::FillLargestSend(record, extension);
  });
  for (int block : {1, 16, 64, 1024}) {
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    std::vector<testsupport::MidiMessage> sent;
    for (int start = 0; start < 10240; start += block) {
      host.Process(*plugin, block);
      for (SentMessage& message : host.TakeMessages()) {
        EXPECT_LT(message.frame, block);
        sent.push_back(message.bytes);
      }
    }
    EXPECT_EQ(testsupport::LargestSendMessages(), sent) << block << "-frame blocks";
  }
}

// A host that takes few events a block (as the LV2 adapter does when its host is short of room) makes a
// send take many blocks. A new send takes over from it between two messages of its list or two of its
// strips: the message and the strip begun go out whole, the old ones not begun never, and the new list
// starts once the old send's last message is through the line.
TEST_F(MidiEngine, ANewSendTakesOverBetweenTwoMessagesOfTheOldListOrTwoOfItsStrips) {
  Edit(0, [](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
    testsupport::FillLargestSend(record, extension);
  });
  plugin->SetOwnEventRoom(5, 1024);
  const std::vector<testsupport::MidiMessage> whole = testsupport::LargestSendMessages();
  const size_t listSize = testsupport::LargestSendList().size();
  // 20 blocks of 64 frames end inside the list, 70 among the strips.
  for (int blocksBefore : {20, 70}) {
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    std::vector<SentMessage> sent = Run(64, 64 * blocksBefore);
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    for (SentMessage& message : Run(64, 64 * 200)) sent.push_back({64 * blocksBefore + message.frame, message.bytes});

    ASSERT_GT(sent.size(), whole.size());
    const size_t old = sent.size() - whole.size();
    for (size_t i = 0; i < sent.size(); ++i) ASSERT_EQ(whole[i < old ? i : i - old], sent[i].bytes) << i;
    if (blocksBefore == 20) {
      EXPECT_LT(old, listSize) << "taken over inside the list";
    } else {
      ASSERT_GT(old, listSize) << "taken over among the strips";
      EXPECT_EQ(0u, (old - listSize) % testsupport::LargestSendStrip(0).size()) << "the strip begun went out";
    }
    const SentMessage& last = sent[old - 1];
    EXPECT_GE(sent[old].frame, last.frame + WireFrames(last.bytes.size(), 44100)) << blocksBefore;
  }
}

// Passed-through notes wait at their own frames, the plug-in's sends at the block's start or where the
// settle time ends: the list the host gets is in time order all the same.
TEST_F(MidiEngine, TheHostGetsThruAndSendsOfOneBlockInTimeOrder) {
  const std::vector<unsigned char> gmOn = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  plugin->setSampleRate(48000.f);
  plugin->setParameter(VSTPlugin::kPresetSwitching, 1.f);
  plugin->setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin->setProgram(1);  // uses up the first change after start
  for (int preset : {1, 4}) Edit(preset, [](VSTPluginProgram& record, auto&) { record.midiThru = 1; });
  host.Process(*plugin);
  host.Process(*plugin);
  Edit(4, [](VSTPluginProgram& record, auto&) { record.strips[0].program = 10; });
  host.TakeMessages();
  auto frameOrder = [](const std::vector<SentMessage>& sent) {
    std::vector<int> frames;
    for (const SentMessage& message : sent) frames.push_back(message.frame);
    return frames;
  };

  // A Program Change among notes switches presets and sends the new one in the same block.
  host.Incoming(*plugin, {{0x90, 60, 100}, {0xC0, 4, 0}, {0x90, 62, 100}}, {5, 20, 40});
  host.Process(*plugin, 64);
  EXPECT_EQ((std::vector<SentMessage>{{0, {0xC0, 9}}, {5, {0x90, 60, 100}}, {40, {0x90, 62, 100}}}),
            host.TakeMessages());

  // A resend with a reset list: the list at the start, the strips 1 ms (48 frames) after its 6 bytes are
  // through the line (92.16 frames at 48 kHz), among the notes.
  Edit(4, [&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    std::memcpy(extension.sysex, gmOn.data(), gmOn.size());
    extension.sysexLength = static_cast<uint32_t>(gmOn.size());
    extension.settleMs = 1;
  });
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  host.Incoming(*plugin, {{0x80, 60, 0}, {0x80, 62, 0}}, {30, 160});
  host.Process(*plugin, 256);
  EXPECT_EQ((std::vector<int>{0, 30, 141, 160}), frameOrder(host.TakeMessages()));
}

TEST_F(MidiEngine, FieldsSetToNoneAndSilentStripsSendNothing) {
  SetStrip(0, 16, 128, 0, 0, 0, false);  // program 128 is Program Change 127
  SetStrip(1, 0, 5, 5, 5, 5, false);     // channel 0: silent
  SetStrip(2, 2, 5, 5, 5, 5, false);
  Edit(0, [](VSTPluginProgram& record, auto&) { record.strips[2].inUse = 0; });  // removed
  SetStrip(15, 1, 0, 0, 128, 0, false);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  EXPECT_EQ((Events{{0xCF, 127, 0}, {0xB0, 32, 127}}), host.Process(*plugin));
}

TEST_F(MidiEngine, ThruOffDropsEverythingButSwitchesPresets) {
  host.Incoming(*plugin, {{0x90, 60, 100}, {0xB0, 1, 2}, {0xE0, 0, 64}, {0xC0, 3, 0}});
  EXPECT_TRUE(host.Process(*plugin).empty());
  EXPECT_EQ(0, plugin->getProgram());

  plugin->setParameter(VSTPlugin::kPresetSwitching, 1.f);
  host.Incoming(*plugin, {{0xC5, 3, 0}});
  EXPECT_TRUE(host.Process(*plugin).empty()) << "a consumed Program Change is not passed on";
  EXPECT_EQ(3, plugin->getProgram());
}

TEST_F(MidiEngine, ThruOnPassesAndTracksNotes) {
  plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  host.Incoming(*plugin, {{0x80, 61, 0}, {0x91, 60, 100}, {0xB1, 1, 2}, {0xC1, 9, 0}, {0x91, 60, 0}, {0x91, 60, 0}});
  host.TakeSentEvents();
  // The Note Off of a note never passed is dropped; Note On with velocity 0 ends the note once.
  EXPECT_EQ((Events{{0x91, 60, 100}, {0xB1, 1, 2}, {0xC1, 9, 0}, {0x81, 60, 0}}), host.Process(*plugin));
  EXPECT_EQ(0, plugin->getProgram());
  // What the host set in the other fields goes out as it came, in the events passed and the one rewritten;
  // the fourth data byte, which no message uses, goes out cleared.
  const std::vector<VstMidiEvent> passed = host.TakeSentEvents();
  ASSERT_EQ(4u, passed.size());
  for (size_t k = 0; k < passed.size(); ++k) {
    EXPECT_EQ(1001 + static_cast<VstInt32>(k), passed[k].noteLength) << k;
    EXPECT_EQ(1, passed[k].flags) << k;
    EXPECT_EQ(-3, passed[k].detune) << k;
    EXPECT_EQ(64, passed[k].noteOffVelocity) << k;
    EXPECT_EQ(0, passed[k].midiData[3]) << k;
  }
}

TEST_F(MidiEngine, HostileBytesNeverLeaveOutOfRange) {
  plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  host.Incoming(
      *plugin,
      {{0x12, 0x34, 0x56}, {0xB0, 0xFF, 0x80}, {0xF0, 0x41, 0x10}, {0x90, 0xC8, 0xFF}, {0xF7, 0, 0}});
  EXPECT_EQ((Events{{0xB0, 0x7F, 0x00}, {0x90, 0x48, 0x7F}}), host.Process(*plugin));
}

TEST_F(MidiEngine, ThruOffEndsHeldNotesOverThreeCalls) {
  plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  host.Incoming(*plugin, {{0x90, 60, 100}, {0x93, 64, 90}});
  EXPECT_EQ(2u, host.Process(*plugin).size());

  plugin->setParameter(VSTPlugin::kMidiThru, 0.f);
  host.Incoming(*plugin, {{0x90, 67, 100}});
  EXPECT_TRUE(host.Process(*plugin).empty()) << "incoming events are dropped while the flush is queued";
  EXPECT_EQ((Events{{0x80, 60, 0}, {0x83, 64, 0}}), host.Process(*plugin));
  plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  host.Incoming(*plugin, {{0xB0, 7, 1}});
  EXPECT_EQ((Events{{0xB0, 7, 1}}), host.Process(*plugin)) << "back to normal";
}

TEST_F(MidiEngine, SuspendedPluginLeavesBuffersAndQueues) {
  plugin.dispatcher(effMainsChanged, 0, 0, nullptr, 0);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  float left[4] = {9, 9, 9, 9}, right[4] = {9, 9, 9, 9}, in[4] = {1, 2, 3, 4};
  float* inputs[2] = {in, in};
  float* outputs[2] = {left, right};
  plugin->processReplacing(inputs, outputs, 4);
  EXPECT_EQ(9.f, left[0]);
  EXPECT_TRUE(host.TakeSent().empty());
  plugin.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  plugin->processReplacing(inputs, outputs, 4);
  EXPECT_EQ(3.f, left[2]);
  plugin->process(inputs, outputs, 4);  // process adds
  EXPECT_EQ(8.f, right[3]);
  EXPECT_EQ(1u, host.TakeSent().size()) << "queued MIDI waited for the resume";
}

TEST_F(MidiEngine, ChangeSendSkipsTheFirstPresetChangeAndSendsAfterwards) {
  HostedPlugin<> fresh = MakePlugin();
  fresh->setParameter(VSTPlugin::kChangeSend, 1.f);
  fresh.dispatcher(effSetProgram, 0, 1, nullptr, 0);  // the chunk-loaded state of a new instance holds this one
  host.Process(*fresh);
  EXPECT_TRUE(host.Process(*fresh).empty());
  fresh.dispatcher(effSetProgram, 0, 2, nullptr, 0);
  EXPECT_EQ((Events{{0xC0, 0, 0}}), host.Process(*fresh));
}

TEST_F(MidiEngine, PresetSwitchingWithChangeSendSendsTheNewPresetInTheSameCall) {
  plugin->setParameter(VSTPlugin::kPresetSwitching, 1.f);
  plugin->setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin->setProgram(1);  // uses up the first change after start
  host.Process(*plugin);
  host.Process(*plugin);
  Edit(4, [](VSTPluginProgram& record, auto&) { record.strips[0].program = 10; });
  host.Incoming(*plugin, {{0xC0, 4, 0}});
  EXPECT_EQ((Events{{0xC0, 9, 0}}), host.Process(*plugin));
}

}  // namespace
