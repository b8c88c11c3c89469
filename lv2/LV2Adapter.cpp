// The LV2 plug-in's work: creating the engine, the ports of each run, MIDI both ways and the bank as state.
#include "lv2/LV2Adapter.h"

#include <lv2/core/lv2_util.h>
#include <lv2/midi/midi.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/SPluginEditor.h"
#include "editor/SPluginPanel.h"
#include "lv2/AtomSequence.h"
#include "plugin/ProductInfo.h"
#include "plugin/StartUp.h"
#include "plugin/VSTPlugin.h"

namespace vantorine::lv2 {
namespace {

// The engine calls back while its constructor runs, before the record can lead to the adapter.
thread_local LV2Adapter* adapterBeingCreated = nullptr;

constexpr const char* kHostProduct = "Vantorine LV2";
const char* const kHostCanDo[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                  "receiveVstMidiEvent"};

bool On(float value) {
  return value > 0.5f;
}

// A flag another thread may raise, taken down only when it is up: a plain load costs nothing on the audio
// thread, an exchange every run would.
bool TakeFlag(std::atomic<bool>& flag) {
  return flag.load(std::memory_order_relaxed) && flag.exchange(false, std::memory_order_acq_rel);
}

}  // namespace

LV2Adapter* LV2Adapter::Create(double rate, const char* bundle, const LV2_Feature* const* features) {
  LV2_URID_Map* map = nullptr;
  for (int i = 0; features && features[i]; ++i)
    if (std::strcmp(features[i]->URI, LV2_URID__map) == 0)
      map = static_cast<LV2_URID_Map*>(features[i]->data);
  if (!map) return nullptr;
  auto* adapter = new LV2Adapter(rate, bundle, map);
  adapterBeingCreated = adapter;
  adapter->effect = CreateEffectInstance(&LV2Adapter::HostCallback);
  adapterBeingCreated = nullptr;
  if (!adapter->effect) {
    delete adapter;
    return nullptr;
  }
  adapter->engine = static_cast<VSTPlugin*>(static_cast<AudioEffect*>(adapter->effect->object));
  // resvd1 belongs to the host: from now on it leads the engine's callbacks here.
  adapter->effect->resvd1 = reinterpret_cast<VstIntPtr>(adapter);
  adapter->Dispatch(effOpen);
  adapter->Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  adapter->lastPreset = static_cast<int>(adapter->Dispatch(effGetProgram));
  return adapter;
}

LV2Adapter::LV2Adapter(double rate, const char* bundle, LV2_URID_Map* map)
    : sampleRate(rate), bundlePath(bundle ? bundle : "") {
  urids.midiEvent = map->map(map->handle, LV2_MIDI__MidiEvent);
  urids.atomChunk = map->map(map->handle, LV2_ATOM__Chunk);
  urids.bankKey = map->map(map->handle, kBankStateKey);
  urids.stateChanged = map->map(map->handle, LV2_STATE__StateChanged);
  urids.atomSequence = map->map(map->handle, LV2_ATOM__Sequence);
  urids.atomObject = map->map(map->handle, LV2_ATOM__Object);
}

LV2Adapter::~LV2Adapter() {
  // The engine deletes itself on effClose and joins its threads first.
  if (effect) Dispatch(effClose);
}

VstIntPtr LV2Adapter::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

VstIntPtr LV2Adapter::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                   void* ptr, float) {
  if (opcode == audioMasterVersion) return 2400;
  LV2Adapter* adapter =
      effect && effect->resvd1 ? reinterpret_cast<LV2Adapter*>(effect->resvd1) : adapterBeingCreated;
  return adapter ? adapter->AnswerEngine(opcode, index, value, ptr) : 0;
}

unsigned long LV2Adapter::EditorWindow() const {
  const auto* plugin = static_cast<const SPlugin*>(effect->object);
  const SPluginEditor* editor = plugin->PluginEditor();
  return editor && editor->IsOpen() && editor->Panel() ? editor->Panel()->GetWindow() : 0;
}

VstIntPtr LV2Adapter::AnswerEngine(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
  LV2EditorHost* editor = editorHost.load(std::memory_order_acquire);
  switch (opcode) {
    case audioMasterSizeWindow:
      return editor && editor->ResizeWindow(index, static_cast<int>(value));
    case audioMasterProcessEvents:
      if (!ptr) return 0;
      midiOutput.Take(*static_cast<const VstEvents*>(ptr));
      return 1;
    case audioMasterWantMidi:
      return 1;
    case audioMasterUpdateDisplay:
      stateChanged.store(true, std::memory_order_release);
      return 1;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(sampleRate);
    case audioMasterGetVendorString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kVendorName);
      return ptr != nullptr;
    case audioMasterGetProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kHostProduct);
      return ptr != nullptr;
    case audioMasterGetVendorVersion:
      return kVendorVersion;
    case audioMasterCanDo:
      if (!ptr) return 0;
      if (std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0)
        return editor && editor->CanResizeWindow();
      for (const char* answer : kHostCanDo)
        if (std::strcmp(static_cast<const char*>(ptr), answer) == 0) return 1;
      return 0;
    case audioMasterGetDirectory:
      return reinterpret_cast<VstIntPtr>(bundlePath.c_str());
    default:
      return 0;
  }
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
  Dispatch(effMainsChanged, 0, 1);
}

void LV2Adapter::Deactivate() {
  Dispatch(effMainsChanged, 0, 0);
}

// Audio thread. A run of no frames (hosts use it to pass control changes) has no time to put an event
// at: the ports count, but the engine does not run, so what it has to send waits for the next block, its
// notes-off included.
void LV2Adapter::Run(uint32_t frames) {
  ApplyControlPorts();
  midiOutput.BeginBlock(frames);
  if (frames > 0) {
    PassMidiInput(frames);
    engine->SetOwnEventRoom(midiOutput.OwnEventRoom(), midiOutput.SysexRoom());
    effect->processReplacing(effect, audioIn, audioOut, static_cast<VstInt32>(frames));
  }
  WriteMidiOutput(frames);
  WriteNotifications(frames);
}

// A port acts when its value changes, as a VST 2 host's request would; the first run after instantiation
// or a restore only takes the preset the host has, as a host restoring a project selects it.
void LV2Adapter::ApplyControlPorts() {
  const bool firstRun = TakeFlag(presetFromPort);
  if (presetPort && (firstRun || *presetPort != lastPresetValue)) {
    lastPresetValue = *presetPort;
    const int preset = PresetFromPort(lastPresetValue);
    // The UI writes the port when the plug-in chose a preset itself: that echo selects nothing again.
    if (firstRun || (preset != lastPreset && preset != Dispatch(effGetProgram)))
      Dispatch(effSetProgram, 0, preset);
    lastPreset = preset;
  }
  if (resendPort) {
    const bool resend = On(*resendPort);
    // Hosts keep a trigger port at 1 until it is set back, and a saved session may hold that 1: the first
    // run sends nothing for it. Going back to 0 sends nothing, so it always reaches the plug-in.
    if (resend != lastResend && !(firstRun && resend))
      effect->setParameter(effect, VSTPlugin::kResend, resend ? 1.f : 0.f);
    lastResend = resend;
  }
  if (midiThruPort) {
    const bool thru = On(*midiThruPort);
    if (firstRun || thru != lastMidiThru)
      effect->setParameter(effect, VSTPlugin::kMidiThru, thru ? 1.f : 0.f);
    lastMidiThru = thru;
  }
}

void LV2Adapter::PassMidiInput(uint32_t frames) {
  if (!midiIn) return;
  midiInput.Clear();
  ForEachAtomEvent(midiIn, [&](int64_t frame, uint32_t type, const uint8_t* body, uint32_t size) {
    if (type == urids.midiEvent) midiInput.Add(frame, frames, body, size);
  });
  if (!midiInput.Empty()) Dispatch(effProcessEvents, 0, 0, midiInput.Events());
}

// Events that do not fit wait, in order, for the next run; a run without frames has no time to put one at.
void LV2Adapter::WriteMidiOutput(uint32_t frames) {
  if (!midiOut) return;
  AtomSequenceWriter sequence(midiOut, urids.atomSequence);
  midiOutput.Write([&](const EngineMidiOutput::Message& event) {
    if (frames == 0) return false;
    return event.sysex ? sequence.Append(event.frame, urids.midiEvent, event.sysex, event.size)
                       : sequence.AppendPacked(event.frame, urids.midiEvent, event.bytes, event.size);
  });
  sequence.Finish();
}

// The state-changed notice goes out whole in a block that has frames, or waits for the next run.
void LV2Adapter::WriteNotifications(uint32_t frames) {
  if (!notify) return;
  AtomSequenceWriter sequence(notify, urids.atomSequence);
  if (frames > 0 && TakeFlag(stateChanged)) {
    const LV2_Atom_Object_Body notice = {0, urids.stateChanged};
    if (!sequence.Append(0, urids.atomObject, &notice, sizeof(notice)))
      stateChanged.store(true, std::memory_order_release);
  }
  sequence.Finish();
}

LV2_State_Status LV2Adapter::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  void* bank = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 0, 0, &bank);
  if (!bank || size <= 0) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, urids.bankKey, bank, static_cast<size_t>(size), urids.atomChunk,
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
  if (Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(size), const_cast<void*>(bank)) != 1)
    return LV2_STATE_ERR_UNKNOWN;
  presetFromPort.store(true, std::memory_order_release);
  return LV2_STATE_SUCCESS;
}

}  // namespace vantorine::lv2
