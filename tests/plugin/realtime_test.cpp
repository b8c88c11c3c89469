// The processing path allocates no memory and takes no mutex, and resends and
// preset changes from host threads are safe while the audio thread processes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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
  int status = 0;
  VSTPlugin plugin(QuietHost, status);
  plugin.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  plugin.setParameter(VSTPlugin::kMidiThru, 1.f);
  plugin.setParameter(VSTPlugin::kPresetSwitching, 1.f);
  plugin.setParameter(VSTPlugin::kChangeSend, 1.f);
  plugin.setParameter(VSTPlugin::kChangeDelay, 2 / 999.f);
  for (VSTPluginProgram* p = plugin.Bank(); p != plugin.Bank() + kProgramCount; ++p) p->midiThru = 1;
  int window = 1;
  plugin.dispatcher(effEditOpen, 0, 0, &window, 0);  // editor notifications are on the path too

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
  plugin.dispatcher(effEditClose, 0, 0, nullptr, 0);
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
  for (int i = 0; i < 300; ++i) plugin->dispatcher(effSetProgram, 0, i % 128, nullptr, 0);
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

}  // namespace
