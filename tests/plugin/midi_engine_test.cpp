// The MIDI engine sends each strip's messages in a fixed order, passes MIDI
// through only when thru is on, ends the notes it passed when thru goes off,
// switches presets on incoming Program Change, and decides when a preset
// change sends.
#include <gtest/gtest.h>

#include <cstring>

#include "PluginHarness.h"
#include "tests/support/LargestSendPreset.h"

namespace {

using Events = std::vector<MidiBytes>;

class MidiEngine : public ::testing::Test {
 protected:
  PluginHarness host;
  std::unique_ptr<VSTPlugin> plugin = MakePlugin();

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

// A module reset first, then, once its settle time has passed in audio frames, every strip: Reset All
// Controllers, banks and program, volume, the controller rows. Exact whatever the block size.
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
  const std::vector<SentMessage> strips = {{4800, {0xB0, 0x79, 0x00}}, {4800, {0xB0, 0x00, 0x00}},
                                           {4800, {0xB0, 0x20, 0x01}}, {4800, {0xC0, 0x30}},
                                           {4800, {0xB0, 0x07, 0x64}}, {4800, {0xB0, 0x0A, 0x20}},
                                           {4800, {0xB0, 0x5B, 0x3C}}, {4800, {0xBF, 0x79, 0x00}},
                                           {4800, {0xCF, 0x00}},       {4800, {0xBF, 0x4A, 0x7F}}};
  // Runs blocks until `until` frames have passed; every message at its frame counted from the first block.
  auto run = [&](int block, int until) {
    std::vector<SentMessage> sent;
    host.TakeMessages();
    for (int start = 0; start < until; start += block) {
      host.Process(*plugin, block);
      for (SentMessage& message : host.TakeMessages()) sent.push_back({start + message.frame, message.bytes});
    }
    return sent;
  };
  for (int block : {64, 1024, 100}) {
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    std::vector<SentMessage> expected = {{0, gsReset}, {0, gmOn}};
    expected.insert(expected.end(), strips.begin(), strips.end());
    EXPECT_EQ(expected, run(block, 6000)) << block << "-frame blocks";
  }

  // A new send while the strips wait replaces them; a stop of processing drops them.
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  run(256, 2048);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  std::vector<SentMessage> expected = {{0, gsReset}, {0, gmOn}};
  expected.insert(expected.end(), strips.begin(), strips.end());
  EXPECT_EQ(expected, run(256, 6000));
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  EXPECT_EQ(2u, run(256, 256).size());
  plugin->dispatcher(effMainsChanged, 0, 0, nullptr, 0);
  plugin->dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  EXPECT_TRUE(run(256, 6000).empty());

  // Without a list there is no wait, whatever the settle time.
  Edit(0, [](VSTPluginProgram&, VSTPluginProgramExtension& extension) { extension.sysexLength = 0; });
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  EXPECT_EQ(strips.size(), run(64, 64).size());
}

// The largest send a preset can make is more than one block hands over: the rest goes out in the next
// blocks, whole and in order, at every block size.
TEST_F(MidiEngine, TheLargestSendArrivesWholeAndInOrderAtEveryBlockSize) {
  Edit(0, [](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
    testsupport::FillLargestSend(record, extension);
  });
  for (int block : {1, 16, 64, 1024}) {
    plugin->setParameter(VSTPlugin::kResend, 1.f);
    plugin->setParameter(VSTPlugin::kResend, 0.f);
    std::vector<testsupport::MidiMessage> sent;
    for (int i = 0; i < 4; ++i) {
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
// send take many blocks. A new send takes over from it only between two strips: the old list and the
// strip begun go out whole, the old strips not begun never.
TEST_F(MidiEngine, ANewSendTakesOverFromAnOldOneBetweenTwoOfItsStrips) {
  Edit(0, [](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
    testsupport::FillLargestSend(record, extension);
  });
  plugin->SetOwnEventRoom(5, 1024);
  std::vector<testsupport::MidiMessage> sent;
  auto run = [&](int blocks) {
    for (int i = 0; i < blocks; ++i) {
      host.Process(*plugin, 64);
      for (SentMessage& message : host.TakeMessages()) sent.push_back(message.bytes);
    }
  };
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  run(40);  // the list's 120 messages, eight strips of nine and eight messages of the ninth
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  plugin->setParameter(VSTPlugin::kResend, 0.f);
  run(60);
  std::vector<testsupport::MidiMessage> expected = testsupport::LargestSendList();
  for (int k = 0; k < 9; ++k)
    for (testsupport::MidiMessage& message : testsupport::LargestSendStrip(k)) expected.push_back(message);
  for (testsupport::MidiMessage& message : testsupport::LargestSendMessages()) expected.push_back(message);
  EXPECT_EQ(expected, sent);
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

  // A resend with a reset list: the list at the start, the strips 1 ms (48 frames) later, among the notes.
  Edit(4, [&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    std::memcpy(extension.sysex, gmOn.data(), gmOn.size());
    extension.sysexLength = static_cast<uint32_t>(gmOn.size());
    extension.settleMs = 1;
  });
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  host.Incoming(*plugin, {{0x80, 60, 0}, {0x80, 62, 0}}, {30, 60});
  host.Process(*plugin, 64);
  EXPECT_EQ((std::vector<int>{0, 30, 48, 60}), frameOrder(host.TakeMessages()));
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
  // The Note Off of a note never passed is dropped; Note On with velocity 0 ends the note once.
  EXPECT_EQ((Events{{0x91, 60, 100}, {0xB1, 1, 2}, {0xC1, 9, 0}, {0x81, 60, 0}}), host.Process(*plugin));
  EXPECT_EQ(0, plugin->getProgram());
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
  plugin->dispatcher(effMainsChanged, 0, 0, nullptr, 0);
  plugin->setParameter(VSTPlugin::kResend, 1.f);
  float left[4] = {9, 9, 9, 9}, right[4] = {9, 9, 9, 9}, in[4] = {1, 2, 3, 4};
  float* inputs[2] = {in, in};
  float* outputs[2] = {left, right};
  plugin->processReplacing(inputs, outputs, 4);
  EXPECT_EQ(9.f, left[0]);
  EXPECT_TRUE(host.TakeSent().empty());
  plugin->dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  plugin->processReplacing(inputs, outputs, 4);
  EXPECT_EQ(3.f, left[2]);
  plugin->process(inputs, outputs, 4);  // process adds
  EXPECT_EQ(8.f, right[3]);
  EXPECT_EQ(1u, host.TakeSent().size()) << "queued MIDI waited for the resume";
}

TEST_F(MidiEngine, ChangeSendSkipsTheFirstPresetChangeAndSendsAfterwards) {
  int status = 0;
  auto owned = std::make_unique<VSTPlugin>(PluginHarness::Callback, status);
  VSTPlugin& fresh = *owned;
  fresh.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  fresh.setParameter(VSTPlugin::kChangeSend, 1.f);
  fresh.dispatcher(effSetProgram, 0, 1, nullptr, 0);  // the chunk-loaded state of a new instance holds this one
  host.Process(fresh);
  EXPECT_TRUE(host.Process(fresh).empty());
  fresh.dispatcher(effSetProgram, 0, 2, nullptr, 0);
  EXPECT_EQ((Events{{0xC0, 0, 0}}), host.Process(fresh));
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
