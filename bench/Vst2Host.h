// The benchmarks' VST 2 host: the built vantorine.so loaded once, and instances made through its
// VSTPluginMain, resumed, with stereo buffers, handed a block's events through the dispatcher
// (effProcessEvents) before each processReplacing, as hosts do. What the plug-in sends comes back through
// audioMasterProcessEvents, where the host only counts it.
#pragma once

#include <dlfcn.h>

#include "bench/BenchStreams.h"
#include "vst/VstInterface.h"

namespace bench::vst2 {

// Every event the instances have sent, one instance after another.
inline long eventsReceived = 0;

inline VstIntPtr CountingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  if (opcode == audioMasterVersion) return 2400;
  if (opcode == audioMasterProcessEvents) {
    eventsReceived += static_cast<const VstEvents*>(ptr)->numEvents;
    return 1;
  }
  return 0;
}

inline AEffect* (*entryPoint)(audioMasterCallback) = nullptr;

// Null when the module is loaded, else why it is not.
inline const char* Load(const char* path) {
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!module) return dlerror();
  entryPoint = reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(module, "VSTPluginMain"));
  return entryPoint ? nullptr : "no VSTPluginMain";
}

// A new instance and its end, nothing else: what making one costs the module.
inline void CreateAndClose() {
  if (AEffect* effect = entryPoint(CountingHost)) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
}

struct Instance : StereoBuffers {
  AEffect* effect = entryPoint ? entryPoint(CountingHost) : nullptr;

  Instance() {
    if (!effect) return;
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.f);
    // A new instance spends its first two calls ending the notes of thru, which starts off.
    Process();
    Process();
  }
  ~Instance() {
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const { return effect != nullptr; }
  void Events(VstEvents* list) { effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0.f); }
  void Process() { effect->processReplacing(effect, inputs, outputs, kFrames); }
  void SetThru(bool on) { effect->setParameter(effect, 1, on ? 1.f : 0.f); }

  // What the host hands over with each block from now on: these events, or none.
  void Input(EventBlock* block) { input = block ? block->list() : nullptr; }
  // One block: the host's event list, if any, then the block's processing.
  void Block() {
    const long before = eventsReceived;
    if (input) Events(input);
    Process();
    sent = static_cast<int>(eventsReceived - before);
  }
  int SentInLastBlock() const { return sent; }

 private:
  VstEvents* input = nullptr;
  int sent = 0;
};

}  // namespace bench::vst2
