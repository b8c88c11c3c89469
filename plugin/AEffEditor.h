// The editor object a VST 2 effect hands its window requests to: the effect,
// the host's parent window and an update flag that any thread may set.
#pragma once

#include <atomic>

#include "vst/VstInterface.h"

class AudioEffect;

// A key as hosts pass it with effEditKeyDown/Up: character, virtual key, modifier bits.
struct VstKeyCode {
  VstInt32 character;
  unsigned char virt;
  unsigned char modifier;
};

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
  virtual ~AEffEditor() = default;
  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  // The host is answered from the plug-in's own rectangle; the base has none.
  virtual bool getRect(ERect** rect) {
    if (rect) *rect = nullptr;
    return false;
  }
  virtual bool open(void* ptr) {
    systemWindow = ptr;
    return true;
  }
  virtual void close() { systemWindow = nullptr; }
  virtual void idle() {
    if (updateFlag.exchange(false)) update();
  }
  virtual void update() {}
  virtual void postUpdate() { updateFlag = true; }
  virtual VstInt32 onKeyDown(VstKeyCode&) { return -1; }
  virtual VstInt32 onKeyUp(VstKeyCode&) { return -1; }
  virtual VstInt32 setKnobMode(VstInt32) { return 0; }
  virtual bool onWheel(float) { return false; }

 protected:
  AudioEffect* effect;
  void* systemWindow = nullptr;
  std::atomic<bool> updateFlag{false};
};
