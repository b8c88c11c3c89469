// The second-generation effect base: events, names, capabilities and the
// requests 25 to 76, plus the host-callback wrappers the plug-in uses.
// Requests nothing here overrides (offline work, speaker arrangements, MIDI
// program names, shell plug-ins) answer 0, the interface's default.
#pragma once

#include "plugin/AudioEffect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);

  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

  virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
  virtual bool canParameterBeAutomated(VstInt32 /*index*/) { return true; }
  virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
  virtual VstInt32 getNumCategories() { return 1; }
  virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) { return false; }
  virtual bool copyProgram(VstInt32 /*destination*/) { return false; }
  virtual void inputConnected(VstInt32 /*index*/, bool /*state*/) {}
  virtual void outputConnected(VstInt32 /*index*/, bool /*state*/) {}
  virtual bool getInputProperties(VstInt32 /*index*/, void* /*properties*/) { return false; }
  virtual bool getOutputProperties(VstInt32 /*index*/, void* /*properties*/) { return false; }
  virtual VstInt32 getPlugCategory();
  virtual bool setBypass(bool /*onOff*/) { return false; }
  virtual bool getEffectName(char* /*name*/) { return false; }
  virtual bool getVendorString(char* /*text*/) { return false; }
  virtual bool getProductString(char* /*text*/) { return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  virtual VstInt32 canDo(char* /*text*/) { return 0; }
  virtual VstInt32 getGetTailSize() { return 0; }
  virtual bool keysRequired() { return false; }
  virtual VstInt32 getVstVersion() { return 2300; }
  virtual VstInt32 startProcess() { return 0; }
  virtual VstInt32 stopProcess() { return 0; }

  // Host callback wrappers.
  virtual void wantEvents(VstInt32 filter = 1);
  // True only when the host took the events.
  virtual bool sendVstEventsToHost(VstEvents* events);
  virtual bool sizeWindow(VstInt32 width, VstInt32 height);
  // Tells the host that the plug-in's state changed outside its parameters (it then marks the project
  // modified and reads names and displays again).
  virtual bool updateDisplay();
  virtual bool getHostVendorString(char* text);
  virtual bool getHostProductString(char* text);
  virtual VstInt32 getHostVendorVersion();
  virtual VstInt32 canHostDo(char* text);
  // The host's answer is the path of the loaded library, or null.
  virtual const char* getDirectory();

  virtual void isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
  virtual void noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }
};
