// The processing path allocates no memory and takes no mutex, and resends,
// preset changes and edits from host threads are safe while the audio thread processes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "CallCounter.h"
#include "PluginHarness.h"

namespace {

#if VANTORINE_COUNT_CALLS
// A host that takes the events without allocating, so only the plug-in is measured.
VstIntPtr QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : opcode == audioMasterProcessEvents ? 1 : 0;
}
#endif

TEST(Realtime, ProcessingNeitherAllocatesNorLocks) {
#if !VANTORINE_COUNT_CALLS
  GTEST_SKIP() << "sanitizers own the allocator";
#else
  HostedPlugin<> hosted = HostedPlugin<>::Make(QuietHost);
  VSTPlugin& plugin = *hosted;
  hosted.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  plugin.setParameter(VSTPlugin::kMidiThru, 1.f);
  plugin.setParameter(VSTPlugin::kPresetSwitching, 1.f);
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setParameter(VSTPlugin::kChangeDelay, 2 / 999.f);
  for (int n = 0; n < kProgramCount; ++n)
    plugin.EditPreset(n, [](VSTPluginProgram& preset, VSTPluginProgramExtension&) { preset.midiThru = 1; });
  int window = 1;
  hosted.dispatcher(effEditOpen, 0, 0, &window, 0);  // editor notifications are on the path too

  VstMidiEvent store[6] = {};
  const unsigned char bytes[6][3] = {{0x90, 60, 100}, {0xB0, 1, 2}, {0xC0, 7, 0}, {0x80, 60, 0}, {0xE0, 0, 64},
                                     {0xC0, 2, 0}};
  VstEvent* pointers[6];
  for (int i = 0; i < 6; ++i) {
    store[i].type = kVstMidiType;
    store[i].byteSize = 24;
    for (int b = 0; b < 3; ++b) store[i].midiData[b] = static_cast<char>(bytes[i][b]);
    pointers[i] = reinterpret_cast<VstEvent*>(&store[i]);
  }
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[6];
  } list = {6, 0, {}};
  for (int i = 0; i < 6; ++i) list.events[i] = pointers[i];
  float left[256] = {}, right[256] = {};
  float* buffers[2] = {left, right};

  callcount::SetCounting(true);
  for (int block = 0; block < 50; ++block) {
    plugin.processEvents(reinterpret_cast<VstEvents*>(&list));
    plugin.processReplacing(buffers, buffers, 256);
    plugin.process(buffers, buffers, 256);
  }
  callcount::SetCounting(false);
  EXPECT_EQ(0, callcount::Allocations());
  EXPECT_EQ(0, callcount::MutexLocks());
  hosted.dispatcher(effEditClose, 0, 0, nullptr, 0);
#endif
}

TEST(Realtime, ResendsAndPresetChangesWhileProcessing) {
  PluginHarness host;
  auto plugin = MakePlugin();
  plugin->setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin->setParameter(VSTPlugin::kPresetSwitching, 1.f);
  std::atomic<bool> done{false};
  std::thread audio([&] {
    float left[64] = {}, right[64] = {};
    float* buffers[2] = {left, right};
    while (!done) {
      host.Incoming(*plugin, {{0xC0, 9, 0}});
      plugin->processReplacing(buffers, buffers, 64);
    }
  });
  auto resender = [&] {
    for (int i = 0; i < 300; ++i) {
      plugin->setParameter(VSTPlugin::kResend, 1.f);
      plugin->setParameter(VSTPlugin::kResend, 0.f);
    }
  };
  std::thread first(resender), second(resender);
  for (int i = 0; i < 300; ++i) plugin.dispatcher(effSetProgram, 0, i % 128, nullptr, 0);
  first.join();
  second.join();
  done = true;
  audio.join();
  std::vector<MidiBytes> sent = host.TakeSent();
  for (const MidiBytes& e : host.Process(*plugin)) sent.push_back(e);  // queued after the audio thread's last call
  // Every event that reached the host is a whole strip message of the presets' strip 0.
  EXPECT_FALSE(sent.empty());
  for (const MidiBytes& e : sent) EXPECT_EQ((MidiBytes{0xC0, 0, 0}), e);
}

// Two whole states of one preset: every strip on its own channel with one set of values, and a reset list
// in the first. A send that mixed them would show as strips of one send with different values.
void FillPreset(VSTPluginProgram& record, VSTPluginProgramExtension& extension, bool first) {
  const uint8_t value = first ? 10 : 20;
  for (int k = 0; k < kStripCount; ++k) {
    VSTPluginStrip& strip = record.strips[k];
    strip = VSTPluginStrip{1, 0, static_cast<uint8_t>(k + 1), value, value, value, value, {}};
    record.stripOrder[k] = k;
  }
  record.stripCount = kStripCount;
  const uint8_t gmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  std::memcpy(extension.sysex, gmOn, sizeof(gmOn));
  extension.sysexLength = first ? sizeof(gmOn) : 0;
  extension.settleMs = 0;
}

TEST(Realtime, TheAudioThreadSendsWholePresetsWhileTheyArePastedRestoredAndEdited) {
  PluginHarness host;
  auto plugin = MakePlugin();
  auto chunkOf = [&](bool first) {
    plugin->EditCurrentPreset([&](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
      FillPreset(record, extension, first);
    });
    void* data = nullptr;
    const VstInt32 size = plugin->getChunk(&data, true);
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  };
  std::vector<uint8_t> chunks[2] = {chunkOf(true), chunkOf(false)};
  auto restore = [&](std::vector<uint8_t>& chunk) {
    ASSERT_EQ(1, plugin->setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), true));
  };

  std::atomic<bool> done{false};
  std::vector<std::vector<SentMessage>> blocks;
  std::thread audio([&] {
    float left[64] = {}, right[64] = {};
    float* buffers[2] = {left, right};
    while (!done) {
      plugin->setParameter(VSTPlugin::kResend, 1.f);
      plugin->setParameter(VSTPlugin::kResend, 0.f);
      plugin->processReplacing(buffers, buffers, 64);
      blocks.push_back(host.TakeMessages());
    }
  });
  for (int round = 0; round < 200; ++round) {
    const bool first = round % 2 == 0;
    restore(chunks[first ? 1 : 0]);
    plugin->copySelProgram();
    restore(chunks[first ? 0 : 1]);
    plugin->pasteSelProgram();
    plugin->EditCurrentPreset([&](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
      FillPreset(record, extension, first);
    });
    plugin->setParameter(VSTPlugin::kMidiThru, first ? 1.f : 0.f);
  }
  done = true;
  audio.join();

  // Each send is 16 strips of four messages, after its reset list when it has one.
  int sends = 0;
  for (const std::vector<SentMessage>& block : blocks) {
    std::vector<std::vector<unsigned char>> strips;
    for (const SentMessage& message : block)
      if (message.bytes[0] != 0xF0) strips.push_back(message.bytes);
    ASSERT_EQ(0u, strips.size() % (4 * kStripCount));
    for (size_t send = 0; send < strips.size(); send += 4 * kStripCount, ++sends) {
      const unsigned char value = strips[send][1];
      for (size_t i = send; i < send + 4 * kStripCount; ++i)
        ASSERT_EQ(value, strips[i].back()) << "a send with strips of two versions of the preset";
    }
  }
  EXPECT_GT(sends, 0);
}

}  // namespace
