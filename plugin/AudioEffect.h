// The plug-in's base: the operations a host's requests come to, with the defaults of a plug-in that has
// none of its own, and the host it asks things of. It holds no effect record and knows no request numbers:
// each plug-in format's wrapper turns its host's calls into these.
// Host threads call the operations; the audio thread calls the processing functions; nothing here locks.
#pragma once

#include <atomic>

#include "plugin/PluginHost.h"
#include "vst/VstInterface.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(vantorine::PluginHost& host, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0; }
  // Sets the value, then tells the host that the user changed it.
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}

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

  virtual float getSampleRate() { return sampleRate; }
  virtual VstInt32 getBlockSize() { return blockSize; }

  vantorine::PluginHost& Host() const { return host; }
  VstInt32 ProgramCount() const { return numPrograms; }
  VstInt32 ParameterCount() const { return numParams; }
  AEffEditor* getEditor() const { return editor; }
  void setEditor(AEffEditor* newEditor) { editor = newEditor; }

 protected:
  vantorine::PluginHost& host;
  AEffEditor* editor = nullptr;
  float sampleRate = 44100.f;
  VstInt32 numPrograms;
  VstInt32 numParams;
  // Host threads select presets while the audio thread reads the current one.
  std::atomic<VstInt32> curProgram{0};
  VstInt32 blockSize = 1024;
};
