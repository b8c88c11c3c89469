// The CLAP plug-in: one instance of the engine with MIDI in and out on one note port each (the MIDI
// dialect), no audio, its parameters, the bank as its state and its editor. The C interface a host calls
// (ClapEntry.cpp) hands each call to the instance here.
//
// Threads as CLAP names them: Process and a flush while active on the audio thread, everything else on the
// main thread. The engine's listener calls come on the audio thread (events) or the main thread (the
// editor's changes); a change is passed to the main thread through the host's request_callback.
#pragma once

#include <atomic>
#include <memory>

#include "clap/ClapEditor.h"
#include "plugin/Engine.h"
#include "clap/ClapHeaders.h"
#include "clap/ClapParameters.h"
#include "plugin/EngineMidiOutput.h"

namespace vantorine::clap {

constexpr const char* kPluginId = "org.vantorine.vantorine";

class ClapPlugin : private EngineHost {
 public:
  // Null when the engine refused to start.
  static std::unique_ptr<ClapPlugin> Create(const clap_host_t& host);
  ~ClapPlugin() override;
  ClapPlugin(const ClapPlugin&) = delete;
  ClapPlugin& operator=(const ClapPlugin&) = delete;

  void Init();
  void Activate(double sampleRate, uint32_t maxFrames);
  void Deactivate();
  clap_process_status Process(const clap_process_t& process);
  void MainThreadCallback();

  void Flush(const clap_input_events_t& in, const clap_output_events_t& out);
  bool Save(const clap_ostream_t& stream);
  bool Load(const clap_istream_t& stream);

  // Whether the calling thread is the one a call must come on, as the host's thread-check tells: a host that
  // calls main-thread work from elsewhere is refused rather than raced with. A host without the check is
  // taken at its word.
  bool OnMainThread() const;
  bool OnAudioThread() const;
  // The thread a parameter flush must come on: the audio thread while active, else the main thread.
  bool OnFlushThread() const { return active.load(std::memory_order_acquire) ? OnAudioThread() : OnMainThread(); }

  ClapParameters& Parameters() { return *parameters; }
  ClapEditor& Editor() { return *editor; }

 private:
  explicit ClapPlugin(const clap_host_t& host);
  void EngineEvents(const EngineEvent* events, uint32_t count) override;
  void EngineChanged(int parameter) override;
  bool EngineResizesEditor(int width, int height) override;

  void TakeInput(const clap_input_events_t& in, uint32_t frames);

  const clap_host_t& host;
  const clap_host_params_t* hostParams = nullptr;
  const clap_host_state_t* hostState = nullptr;
  const clap_host_thread_check_t* threadCheck = nullptr;
  std::unique_ptr<Engine> engine;
  std::unique_ptr<ClapParameters> parameters;
  std::unique_ptr<ClapEditor> editor;
  // Raised by the editor's edits, taken down on the main thread, where the host is told.
  std::atomic<bool> stateChanged{false};
  std::atomic<bool> initialised{false};
  std::atomic<bool> active{false};
  // What the engine hands out until the host's queue takes it, and that queue during a block.
  EngineMidiOutput midiOutput;
  const clap_output_events_t* blockOut = nullptr;
  uint32_t blockFrames = 0;
};

}  // namespace vantorine::clap
