// The second half of the plug-in's base: events, names, capabilities, and the questions and notices the
// plug-in puts to its host, in the words it uses for them. Operations nothing here overrides (offline
// work, speaker arrangements, MIDI program names) keep the defaults of a plug-in without them.
#pragma once

#include "plugin/AudioEffect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(vantorine::PluginHost& host, VstInt32 numPrograms, VstInt32 numParams);

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

  // What the plug-in asks of its host.
  // True only when the host took the events.
  bool sendVstEventsToHost(VstEvents* events) { return host.SendEvents(events); }
  bool sizeWindow(VstInt32 width, VstInt32 height) { return host.ResizeEditor(width, height); }
  bool canHostResizeEditor() { return host.CanResizeEditor(); }
  // Tells the host that the plug-in's state changed outside its parameters (it then marks the project
  // modified and reads names and displays again).
  bool updateDisplay() { return host.StateChanged(); }
  bool getHostVendorString(char* text) { return host.HostVendor(text); }
  bool getHostProductString(char* text) { return host.HostProduct(text); }
  VstInt32 getHostVendorVersion() { return host.HostVendorVersion(); }
  // The path of the loaded library, or null.
  const char* getDirectory() { return host.LibraryPath(); }
};
