// The LV2 plug-in: a thin layer over the engine entry. It turns each LV2 call into a request of the
// engine: ports into parameters and preset selection, atom MIDI into plain messages and back, state into
// the bank chunk.
//
// Threads: Run is the host's audio thread (no allocation, no locks, no X); instantiation, activation,
// state and cleanup are the host's other threads, never at the same time as Run. The engine's callback may
// come from any of its threads.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <atomic>
#include <memory>

#include "lv2/AtomSequence.h"
#include "lv2/LV2Ports.h"
#include "plugin/Engine.h"
#include "plugin/EngineMidiOutput.h"

namespace vantorine::lv2 {

// What the plug-in's editor asks of its host while an LV2 UI shows it. Called on the UI's thread, inside
// the host's calls into the UI.
class LV2EditorHost {
 public:
  virtual ~LV2EditorHost() = default;
  virtual bool CanResizeWindow() const = 0;
  // The editor's new size; true when the host took the request.
  virtual bool ResizeWindow(int width, int height) = 0;
};

class LV2Adapter : private EngineHost {
 public:
  // Null when the host offers no URID map or the engine cannot run here.
  static LV2Adapter* Create(double sampleRate, const char* bundlePath, const LV2_Feature* const* features);
  ~LV2Adapter() override;
  LV2Adapter(const LV2Adapter&) = delete;
  LV2Adapter& operator=(const LV2Adapter&) = delete;

  void ConnectPort(uint32_t port, void* data);
  void Activate();
  void Deactivate();
  void Run(uint32_t frames);

  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // The engine, for the editor that works on the same instance.
  vantorine::Engine& EngineEntry() { return *engine; }
  // The UI that shows the editor, or null once it has gone; on the UI's thread.
  void AttachEditorHost(LV2EditorHost* host) { editorHost.store(host, std::memory_order_release); }

 private:
  LV2Adapter(double sampleRate, LV2_URID_Map* map);
  void EngineEvents(const EngineEvent* events, uint32_t count) override;
  void EngineChanged(int parameter) override;
  bool EngineResizesEditor(int width, int height) override;
  bool EngineCanResizeEditor() const override;

  bool ControlPortsMoved() const;
  void ApplyControlPorts();
  // Kept out of the run's own code, which then needs fewer registers: each is the work of some runs only.
  [[gnu::noinline]] void WriteWaiting(AtomSequenceWriter* sequence);
  [[gnu::noinline]] void PassMidiInput(uint32_t frames);
  [[gnu::noinline]] void WriteNotice();

  struct Urids {
    LV2_URID midiEvent;
    LV2_URID atomChunk;
    LV2_URID bankKey;
    LV2_URID stateChanged;
    LV2_URID atomSequence;
    LV2_URID atomObject;
  };

  std::unique_ptr<vantorine::Engine> engine;
  double sampleRate;
  Urids urids;

  // Atom sequences, possibly misaligned: see AtomSequence.h.
  const void* midiIn = nullptr;
  void* midiOut = nullptr;
  void* notify = nullptr;
  float* audioIn[2] = {};
  float* audioOut[2] = {};
  const float* presetPort = nullptr;
  const float* resendPort = nullptr;
  const float* midiThruPort = nullptr;

  // The port values last acted on: a host may write the same value every cycle.
  float lastPresetValue = 0.f;
  int lastPreset = 0;
  bool lastResend = false;
  bool lastMidiThru = false;
  // Set at instantiation and by each restore: the next run takes the preset port as the current preset,
  // which is not a change and sends nothing of its own.
  std::atomic<bool> presetFromPort{true};
  // A change the host cannot see through its ports; set on any thread, reported by the next run.
  std::atomic<bool> stateChanged{false};
  std::atomic<LV2EditorHost*> editorHost{nullptr};

  // What the engine hands out until midi_out has room for it, and midi_out while the engine's block
  // writes it.
  EngineMidiOutput midiOutput;
  AtomSequenceWriter* midiOutSequence = nullptr;
};

}  // namespace vantorine::lv2
