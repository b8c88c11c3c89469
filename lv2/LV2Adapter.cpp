// The LV2 plug-in's work: creating the engine, the ports of each run, MIDI both ways and the bank as state.
#include "lv2/LV2Adapter.h"

#include <lv2/core/lv2_util.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "plugin/VSTPlugin.h"

namespace vantorine::lv2 {
namespace {

constexpr const char* kHostProduct = "Vantorine LV2";

bool On(float value) {
  return value > 0.5f;
}

// A flag another thread may raise, taken down only when it is up: a plain load costs nothing on the audio
// thread, an exchange every run would.
bool TakeFlag(std::atomic<bool>& flag) {
  return flag.load(std::memory_order_relaxed) && flag.exchange(false, std::memory_order_acq_rel);
}

// False, with nothing written, when the event does not fit.
bool WriteMidi(AtomSequenceWriter& sequence, LV2_URID midiEvent, const EngineEvent& event) {
  if (event.size > 3) return sequence.Append(event.frame, midiEvent, event.bytes, event.size);
  // A short message goes in as one word, with no copy of a length known only now.
  uint64_t word = event.bytes[0];
  if (event.size > 1) word |= uint64_t{event.bytes[1]} << 8;
  if (event.size > 2) word |= uint64_t{event.bytes[2]} << 16;
  return sequence.AppendPacked(event.frame, midiEvent, word, event.size);
}

}  // namespace

LV2Adapter* LV2Adapter::Create(double rate, const char* bundle, const LV2_Feature* const* features) {
  LV2_URID_Map* map = nullptr;
  for (int i = 0; features && features[i]; ++i)
    if (std::strcmp(features[i]->URI, LV2_URID__map) == 0)
      map = static_cast<LV2_URID_Map*>(features[i]->data);
  if (!map) return nullptr;
  auto* adapter = new LV2Adapter(rate, map);
  adapter->engine = Engine::Create(*adapter, rate, kHostProduct, bundle);
  if (!adapter->engine) {
    delete adapter;
    return nullptr;
  }
  adapter->lastPreset = adapter->engine->Preset();
  return adapter;
}

LV2Adapter::LV2Adapter(double rate, LV2_URID_Map* map) : sampleRate(rate) {
  urids.midiEvent = map->map(map->handle, LV2_MIDI__MidiEvent);
  urids.atomChunk = map->map(map->handle, LV2_ATOM__Chunk);
  urids.bankKey = map->map(map->handle, kBankStateKey);
  urids.stateChanged = map->map(map->handle, LV2_STATE__StateChanged);
  urids.atomSequence = map->map(map->handle, LV2_ATOM__Sequence);
  urids.atomObject = map->map(map->handle, LV2_ATOM__Object);
}

// The engine goes first: it joins its threads, which may still call back here.
LV2Adapter::~LV2Adapter() { engine.reset(); }

// Hosts see a change through their ports; a change of the bank they learn of through the notice.
void LV2Adapter::EngineChanged(int parameter) {
  if (parameter < 0) stateChanged.store(true, std::memory_order_release);
}

bool LV2Adapter::EngineResizesEditor(int width, int height) {
  LV2EditorHost* editor = editorHost.load(std::memory_order_acquire);
  return editor && editor->ResizeWindow(width, height);
}

bool LV2Adapter::EngineCanResizeEditor() const {
  LV2EditorHost* editor = editorHost.load(std::memory_order_acquire);
  return editor && editor->CanResizeWindow();
}

void LV2Adapter::ConnectPort(uint32_t port, void* data) {
  switch (port) {
    case kMidiIn:
      midiIn = data;
      break;
    case kMidiOut:
      midiOut = data;
      break;
    case kAudioIn1:
    case kAudioIn2:
      audioIn[port - kAudioIn1] = static_cast<float*>(data);
      break;
    case kAudioOut1:
    case kAudioOut2:
      audioOut[port - kAudioOut1] = static_cast<float*>(data);
      break;
    case kPresetPort:
      presetPort = static_cast<const float*>(data);
      break;
    case kResendPort:
      resendPort = static_cast<const float*>(data);
      break;
    case kMidiThruPort:
      midiThruPort = static_cast<const float*>(data);
      break;
    case kNotify:
      notify = data;
      break;
    default:
      break;
  }
}

void LV2Adapter::Activate() {
  // LV2 hosts tell the longest block only through an option this plug-in does not ask for.
  engine->Activate(sampleRate, 0);
}

void LV2Adapter::Deactivate() {
  engine->Deactivate();
}

// Audio thread. A run of no frames (hosts use it to pass control changes) has no time to put an event
// at: the ports count, but the engine does not run, so what it has to send waits for the next block, its
// notes-off included. What waited for room goes out first, then the block's own messages, as the engine
// hands them out; what does not fit waits, in order, for the next run.
void LV2Adapter::Run(uint32_t frames) {
  if (ControlPortsMoved()) ApplyControlPorts();
  midiOutput.BeginBlock(frames);
  AtomSequenceWriter sequence(midiOut, urids.atomSequence);
  WriteWaiting(frames > 0 ? &sequence : nullptr);
  if (frames > 0) {
    if (midiIn && AtomBodySize(midiIn) > sizeof(LV2_Atom_Sequence_Body)) PassMidiInput(frames);
    midiOutSequence = &sequence;
    engine->Process(frames, midiOutput.OwnEventRoom(), midiOutput.SysexRoom(), audioIn, audioOut);
    midiOutSequence = nullptr;
  }
  sequence.Finish();
  if (notify) {
    if (frames > 0 && TakeFlag(stateChanged))
      WriteNotice();
    else
      AtomSequenceWriter(notify, urids.atomSequence).Finish();
  }
}

// Out of the run's own code, which then needs fewer registers: something waits only after a host gave too
// little room. Without a writer (a run of no frames) it all waits on.
void LV2Adapter::WriteWaiting(AtomSequenceWriter* sequence) {
  if (!sequence) {
    midiOutput.Write([](const EngineEvent&) { return false; });
    return;
  }
  const LV2_URID midiEvent = urids.midiEvent;
  midiOutput.Write(
      [sequence, midiEvent](const EngineEvent& event) { return WriteMidi(*sequence, midiEvent, event); });
}

// Inside the engine's block. The writer is copied for the call and put back after it: as a member, every
// store into the host's buffer would make the compiler read its place and room again, for each event.
void LV2Adapter::EngineEvents(const EngineEvent* events, uint32_t count) {
  if (!midiOutSequence) {
    midiOutput.Take(events, count, [](const EngineEvent&) { return false; });
    return;
  }
  const LV2_URID midiEvent = urids.midiEvent;
  AtomSequenceWriter sequence = *midiOutSequence;
  midiOutput.Take(events, count, [&sequence, midiEvent](const EngineEvent& event) {
    return WriteMidi(sequence, midiEvent, event);
  });
  *midiOutSequence = sequence;
}

// Most runs find every port as the last one did: the values alone tell, before any of the work of a change.
bool LV2Adapter::ControlPortsMoved() const {
  return presetFromPort.load(std::memory_order_relaxed) || (presetPort && *presetPort != lastPresetValue) ||
         (resendPort && On(*resendPort) != lastResend) || (midiThruPort && On(*midiThruPort) != lastMidiThru);
}
// A port acts when its value changes, as a VST 2 host's request would; the first run after instantiation
// or a restore only takes the preset the host has, as a host restoring a project selects it.
void LV2Adapter::ApplyControlPorts() {
  const bool firstRun = TakeFlag(presetFromPort);
  if (presetPort && (firstRun || *presetPort != lastPresetValue)) {
    lastPresetValue = *presetPort;
    const int preset = PresetFromPort(lastPresetValue);
    // The UI writes the port when the plug-in chose a preset itself: that echo selects nothing again.
    if (firstRun || (preset != lastPreset && preset != engine->Preset())) engine->SelectPreset(preset);
    lastPreset = preset;
  }
  if (resendPort) {
    const bool resend = On(*resendPort);
    // Hosts keep a trigger port at 1 until it is set back, and a saved session may hold that 1: the first
    // run sends nothing for it. Going back to 0 sends nothing, so it always reaches the plug-in.
    if (resend != lastResend && !(firstRun && resend))
      engine->SetParameter(VSTPlugin::kResend, resend ? 1.f : 0.f);
    lastResend = resend;
  }
  if (midiThruPort) {
    const bool thru = On(*midiThruPort);
    if (firstRun || thru != lastMidiThru)
      engine->SetParameter(VSTPlugin::kMidiThru, thru ? 1.f : 0.f);
    lastMidiThru = thru;
  }
}

// The engine and the URID are read once, into locals: the engine's store of each event might alias this
// instance's members, and they would be read again for every event.
void LV2Adapter::PassMidiInput(uint32_t frames) {
  Engine& receiver = *engine;
  const LV2_URID midiEvent = urids.midiEvent;
  ForEachAtomEvent(midiIn, [&receiver, midiEvent, frames](int64_t frame, uint32_t type, const uint8_t* body,
                                                          uint32_t size) {
    if (type == midiEvent) receiver.Receive(frame, frames, body, size);
  });
}

// The state-changed notice goes out whole in a block that has frames, or waits for the next run.
void LV2Adapter::WriteNotice() {
  AtomSequenceWriter sequence(notify, urids.atomSequence);
  const LV2_Atom_Object_Body notice = {0, urids.stateChanged};
  if (!sequence.Append(0, urids.atomObject, &notice, sizeof(notice)))
    stateChanged.store(true, std::memory_order_release);
  sequence.Finish();
}

LV2_State_Status LV2Adapter::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  const std::vector<uint8_t> bank = engine->State();
  if (bank.empty()) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, urids.bankKey, bank.data(), bank.size(), urids.atomChunk,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status LV2Adapter::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* bank = retrieve(handle, urids.bankKey, &size, &type, &flags);
  // A host may restore a state that holds no bank (some do at start): the bank stays as it is.
  if (!bank) return LV2_STATE_SUCCESS;
  if (type != urids.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  if (size > static_cast<size_t>(INT32_MAX)) return LV2_STATE_ERR_UNKNOWN;
  // The engine checks the size and every field, and takes all or nothing; a restore is a start-up to it.
  if (!engine->SetState(static_cast<const uint8_t*>(bank), size)) return LV2_STATE_ERR_UNKNOWN;
  presetFromPort.store(true, std::memory_order_release);
  return LV2_STATE_SUCCESS;
}

}  // namespace vantorine::lv2
