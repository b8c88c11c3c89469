// Every request the CLAP plug-in makes of the engine, and everything the engine tells it, in one place.
// Today the engine is made through the VST 2 entry and asked through its effect record, as the LV2
// adapter does; moving the CLAP plug-in onto another entry changes this class only.
//
// Threads are the caller's: Process on the audio thread, the editor on the main thread, the rest on the
// main thread while not processing, or as the engine allows (parameters and the preset from any thread).
// The listener may be called on any of the engine's threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vst/VstInterface.h"

class VSTPlugin;

namespace vantorine::clap {

class ClapEngine {
 public:
  class Listener {
   public:
    virtual ~Listener() = default;
    // Inside Process: the engine's events of this block, its own and those passed through.
    virtual void EngineEvents(const VstEvents& events) = 0;
    // The editor changed something the host keeps: a parameter (its engine index) or, for -1, the bank.
    virtual void EngineChanged(int parameter) = 0;
    // The editor's new size, while it is open; true when the host took the request.
    virtual bool EngineResizesEditor(int width, int height) = 0;
  };

  // Null when the engine refused to start (it has told the user why).
  static std::unique_ptr<ClapEngine> Create(Listener& listener, double sampleRate);
  ~ClapEngine();
  ClapEngine(const ClapEngine&) = delete;
  ClapEngine& operator=(const ClapEngine&) = delete;

  void Activate(double sampleRate, uint32_t maxFrames);
  void Deactivate();
  // The host's MIDI in for this block (null when none), then the block itself; `ownEvents` and
  // `ownSysexBytes` are what the caller can keep of the engine's own events this time.
  void Process(void* midiIn, uint32_t frames, uint32_t ownEvents, uint32_t ownSysexBytes);

  // The current preset, 0 to 127, and the choice of another (which sends as the engine's options say).
  int Preset() const;
  void SelectPreset(int preset);
  // The engine's published parameters: their count, name and value from 0 to 1.
  int ParameterCount() const;
  std::string ParameterName(int index) const;
  float Parameter(int index) const;
  void SetParameter(int index, float value);

  // The bank chunk; a restore of one is a start-up to the engine. False when it refused the bytes.
  std::vector<uint8_t> Bank();
  bool SetBank(const uint8_t* bytes, size_t size);

  // The editor, as a child of `parent` on the toolkit's own X connection.
  bool OpenEditor(unsigned long parent);
  void CloseEditor();
  void IdleEditor();
  bool EditorSize(int& width, int& height) const;
  unsigned long EditorWindow() const;

 private:
  explicit ClapEngine(Listener& listener, double sampleRate);
  static VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt);
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr);
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0) const;

  Listener& listener;
  double sampleRate;
  AEffect* effect = nullptr;
  VSTPlugin* engine = nullptr;  // the same instance as `effect`, for what only an adapter asks of it
  bool editorOpening = false;
};

}  // namespace vantorine::clap
