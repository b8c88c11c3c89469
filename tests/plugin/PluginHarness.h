// An in-process stand-in for a host: a callback that answers like a Linux
// host and collects the events the plug-in hands over, so that tests can
// drive a plug-in object with real processing calls.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/VSTPlugin.h"
#include "plugin/VstEffect.h"

struct MidiBytes {
  unsigned char status, data1, data2;
  bool operator==(const MidiBytes& other) const {
    return status == other.status && data1 == other.data1 && data2 == other.data2;
  }
};

// Any message the plug-in handed over, SysEx included, at its frame in its block.
struct SentMessage {
  int frame;
  std::vector<unsigned char> bytes;
  bool operator==(const SentMessage& other) const { return frame == other.frame && bytes == other.bytes; }
};

class PluginHarness {
 public:
  // Only one harness answers at a time: the callback has no room for a context.
  explicit PluginHarness(std::string productString = "Test Host");
  ~PluginHarness();

  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);

  // Runs one processReplacing block of the given size and returns the MIDI it sent.
  std::vector<MidiBytes> Process(VSTPlugin& plugin, int frames = 64);
  // Hands the plug-in these events, each at its frame (frame 0 where none is given). Their other fields
  // are set as a host may set them: the i-th has note length 1000 + i, detune -3, note-off velocity 64,
  // flag 1 (real time), and 0x55 in the unused fourth data byte.
  void Incoming(VSTPlugin& plugin, std::vector<MidiBytes> events, std::vector<int> frames = {});
  std::vector<MidiBytes> TakeSent();
  // The short events handed over since the last call, whole.
  std::vector<VstMidiEvent> TakeSentEvents();
  // Every message handed over since the last call, SysEx included, with its frame.
  std::vector<SentMessage> TakeMessages();

  std::string product;
  int hostCalls = 0;

 private:
  std::mutex mutex;
  std::vector<MidiBytes> sent;
  std::vector<VstMidiEvent> sentEvents;
  std::vector<SentMessage> messages;
  std::vector<float> left, right;
};

// A plug-in as a VST 2 host holds it: behind its effect, which answers to a host callback. The host's
// requests go to the effect; the tests' direct calls reach the plug-in `T` behind it.
template <typename T = VSTPlugin>
class HostedPlugin {
 public:
  HostedPlugin() = default;
  // `T` made with the effect as its host.
  static HostedPlugin Make(audioMasterCallback callback = PluginHarness::Callback) {
    HostedPlugin hosted;
    hosted.effect = std::make_unique<vantorine::VstEffect>(callback);
    int status = 0;
    auto plugin = std::make_unique<T>(*hosted.effect, status);
    hosted.plugin = plugin.get();
    hosted.effect->Adopt(std::move(plugin));
    return hosted;
  }

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->Dispatch(opcode, index, value, ptr, opt);
  }
  AEffect* Record() { return effect->Record(); }
  T* operator->() const { return plugin; }
  T& operator*() const { return *plugin; }
  void reset() {
    effect.reset();
    plugin = nullptr;
  }

 private:
  std::unique_ptr<vantorine::VstEffect> effect;
  T* plugin = nullptr;
};

// A plug-in as the host would get it, resumed.
HostedPlugin<> MakePlugin();
