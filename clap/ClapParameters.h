// The plug-in's parameters as a CLAP host sees them: the engine's published ones (switches, 0 or 1) under
// their engine index as id, and the current preset, 1 to 128, stepped and automatable. The values the host
// was last told are kept, so a change the plug-in makes itself (a Program Change coming in, the editor's
// Thru button) goes to the host once, as a parameter value event.
#pragma once

#include <atomic>
#include <cstdint>

#include "plugin/Engine.h"
#include "clap/ClapHeaders.h"

namespace vantorine::clap {

class ClapParameters {
 public:
  // Engine parameters keep their index as id; the preset's id lies past any index the engine may use.
  static constexpr clap_id kPresetId = 0x1000;
  static constexpr uint32_t kMaxEngineParameters = 8;

  explicit ClapParameters(Engine& engine);

  uint32_t Count() const { return engineCount + 1; }
  bool Info(uint32_t index, clap_param_info_t& info) const;
  bool Value(clap_id id, double& value) const;
  bool ValueToText(clap_id id, double value, char* text, uint32_t size) const;
  bool TextToValue(clap_id id, const char* text, double& value) const;

  // A value event from the host, on the audio thread or in a flush.
  void Apply(const clap_event_param_value_t& event);
  // Tells the host, at `frame` of the block, what changed since it was last told; what the queue refuses
  // is told next time. Audio thread or flush.
  void Report(const clap_output_events_t& out, uint32_t frame = 0);
  // The same after a block: what its MIDI can change is the preset (a Program Change), and with it the values
  // the preset keeps; while the preset is as told, the rest waits for the next block's start.
  void ReportAfterBlock(const clap_output_events_t& out, uint32_t frame);
  // Main thread: whether Report has something to tell.
  bool Unreported() const;
  // After a state load, when the host reads every value again.
  void TakeAllAsReported();

 private:
  double Current(uint32_t slot) const;
  // False when the host's queue refused the change.
  bool ReportSlot(const clap_output_events_t& out, uint32_t slot, uint32_t frame);
  int SlotOf(clap_id id) const;

  Engine& engine;
  uint32_t engineCount;
  // By slot: the engine's parameters in order, then the preset.
  std::atomic<double> reported[kMaxEngineParameters + 1];
};

}  // namespace vantorine::clap
