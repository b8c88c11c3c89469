// The VST 2 effect base: owns the record the host holds, turns the host's
// numbered requests (0 to 24) into virtual operations, and wraps the host
// callback. Host threads call the dispatcher; the audio thread calls the
// processing functions; nothing here locks.
#pragma once

#include <atomic>

#include "vst/VstInterface.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0; }
  // Sets the value, then tells the host that the user changed it.
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}

  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  virtual void open() {}
  virtual void close() {}

  virtual VstInt32 getProgram() { return curProgram; }
  virtual void setProgram(VstInt32 program) { curProgram = program; }
  virtual void setProgramName(char* /*name*/) {}
  virtual void getProgramName(char* name) { *name = 0; }

  virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = 0; }
  virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = 0; }
  virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = 0; }
  virtual float getVu() { return 0; }

  virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
  virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/) { return 0; }

  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(VstInt32 size) { blockSize = size; }
  virtual void suspend() {}
  virtual void resume() {}

  virtual void setUniqueID(VstInt32 id) { cEffect.uniqueID = id; }
  virtual void setNumInputs(VstInt32 inputs) { cEffect.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { cEffect.numOutputs = outputs; }
  virtual void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
  virtual void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
  virtual void canMono(bool state) { setFlag(effFlagsCanMono, state); }
  virtual void canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
  virtual void programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
  virtual void setInitialDelay(VstInt32 delay) { cEffect.initialDelay = delay; }

  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }

  // The host's interface version; hosts that answer 0 speak the first version.
  virtual VstIntPtr getMasterVersion();

  AEffect* getAeffect() { return &cEffect; }
  AEffEditor* getEditor() const { return editor; }
  void setEditor(AEffEditor* newEditor);

 protected:
  // The host callback with this effect's record; 0 when the host gave none.
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0) const;
  void setFlag(VstInt32 flag, bool state);

  audioMasterCallback audioMaster;
  AEffEditor* editor = nullptr;
  float sampleRate = 44100.f;
  VstInt32 numPrograms;
  VstInt32 numParams;
  // Host threads select presets while the audio thread reads the current one.
  std::atomic<VstInt32> curProgram{0};
  VstInt32 blockSize = 1024;
  AEffect cEffect;
};
