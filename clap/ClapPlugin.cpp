// The instance's life, its processing block and its state.
#include "clap/ClapPlugin.h"

#include <array>

#include "clap/ClapStreams.h"

#include "midi/MidiMessageLength.h"

namespace vantorine::clap {
namespace {

// The length of a short message from its status byte, looked up: every MIDI event of a block asks.
constexpr auto kMessageLength = [] {
  std::array<uint8_t, 256> lengths{};
  for (int status = 0; status < 256; ++status)
    lengths[status] = static_cast<uint8_t>(MidiMessageLength(static_cast<uint8_t>(status)));
  return lengths;
}();

// The bytes of a SysEx stay where they are until the next block: longer than the host may read them.
bool PushMidi(const clap_output_events_t& out, const EngineEvent& message) {
  if (message.bytes[0] == 0xF0) {
    clap_event_midi_sysex_t event = {};
    event.header = {sizeof(event), static_cast<uint32_t>(message.frame), CLAP_CORE_EVENT_SPACE_ID,
                    CLAP_EVENT_MIDI_SYSEX, 0};
    event.port_index = 0;
    event.buffer = message.bytes;
    event.size = message.size;
    return out.try_push(&out, &event.header);
  }
  clap_event_midi_t event = {};
  event.header = {sizeof(event), static_cast<uint32_t>(message.frame), CLAP_CORE_EVENT_SPACE_ID,
                  CLAP_EVENT_MIDI, 0};
  event.port_index = 0;
  // At most three bytes, each by itself: a copy of a length known only now would be a loop.
  event.data[0] = message.bytes[0];
  if (message.size > 1) event.data[1] = message.bytes[1];
  if (message.size > 2) event.data[2] = message.bytes[2];
  return out.try_push(&out, &event.header);
}

}  // namespace

constexpr const char* kHostProduct = "Vantorine CLAP";

// Hosts that give no sample rate before activation get the engine's usual one until then.
constexpr double kRateBeforeActivation = 44100;

std::unique_ptr<ClapPlugin> ClapPlugin::Create(const clap_host_t& host) {
  std::unique_ptr<ClapPlugin> plugin(new ClapPlugin(host));
  plugin->engine = Engine::Create(*plugin, kRateBeforeActivation, kHostProduct, nullptr);
  if (!plugin->engine) return nullptr;
  plugin->parameters = std::make_unique<ClapParameters>(*plugin->engine);
  plugin->editor = std::make_unique<ClapEditor>(*plugin->engine, host);
  return plugin;
}

ClapPlugin::ClapPlugin(const clap_host_t& clapHost) : host(clapHost) {}

// The editor closes before the engine goes.
ClapPlugin::~ClapPlugin() {
  editor.reset();
}

void ClapPlugin::Init() {
  hostParams = static_cast<const clap_host_params_t*>(host.get_extension(&host, CLAP_EXT_PARAMS));
  hostState = static_cast<const clap_host_state_t*>(host.get_extension(&host, CLAP_EXT_STATE));
  threadCheck = static_cast<const clap_host_thread_check_t*>(host.get_extension(&host, CLAP_EXT_THREAD_CHECK));
  editor->FindHostInterfaces();
  initialised.store(true, std::memory_order_release);
}

void ClapPlugin::Activate(double sampleRate, uint32_t maxFrames) {
  engine->Activate(sampleRate, maxFrames);
  active.store(true, std::memory_order_release);
}

void ClapPlugin::Deactivate() {
  active.store(false, std::memory_order_release);
  engine->Deactivate();
}

bool ClapPlugin::OnMainThread() const {
  return !threadCheck || !threadCheck->is_main_thread || threadCheck->is_main_thread(&host);
}

bool ClapPlugin::OnAudioThread() const {
  return !threadCheck || !threadCheck->is_audio_thread || threadCheck->is_audio_thread(&host);
}

// Audio thread. Parameter changes act before the block's MIDI, as a block's controls do in the other
// formats. The host learns of changed values first, at the block's start, then what waited for room, then
// the block's messages as the engine hands them out, then at the block's last frame of what the block's
// MIDI changed (a preset a Program Change chose), so the queue is in time order.
clap_process_status ClapPlugin::Process(const clap_process_t& process) {
  const uint32_t frames = process.frames_count;
  midiOutput.BeginBlock(frames);
  blockFrames = frames;
  blockOut = process.out_events;
  if (process.in_events) TakeInput(*process.in_events, frames);
  if (blockOut) parameters->Report(*blockOut);
  if (blockOut && frames > 0) {
    const clap_output_events_t& out = *blockOut;
    midiOutput.Write([&out](const EngineEvent& message) { return PushMidi(out, message); });
  } else {
    midiOutput.Write([](const EngineEvent&) { return false; });
  }
  // A block without frames has no time to put an event at: what the engine has to send waits.
  if (frames > 0) {
    engine->Process(frames, midiOutput.OwnEventRoom(), midiOutput.SysexRoom());
    if (blockOut) parameters->ReportAfterBlock(*blockOut, frames - 1);
  }
  blockOut = nullptr;
  return CLAP_PROCESS_CONTINUE;
}

// The engine is read once, into a local: its store of each message might alias this instance's members, and
// it would be read again for every event. MIDI is asked for first, as most of a block's events are MIDI.
void ClapPlugin::TakeInput(const clap_input_events_t& in, uint32_t frames) {
  Engine& receiver = *engine;
  const uint32_t count = in.size(&in);
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* header = in.get(&in, i);
    if (!header || header->space_id != CLAP_CORE_EVENT_SPACE_ID) continue;
    if (header->type == CLAP_EVENT_MIDI) {
      if (header->size < sizeof(clap_event_midi_t)) continue;
      const auto& midi = *reinterpret_cast<const clap_event_midi_t*>(header);
      if (midi.port_index != 0) continue;
      receiver.Receive(header->time, frames, midi.data, kMessageLength[midi.data[0]]);
    } else if (header->type == CLAP_EVENT_PARAM_VALUE && header->size >= sizeof(clap_event_param_value_t)) {
      parameters->Apply(*reinterpret_cast<const clap_event_param_value_t*>(header));
    }
  }
}

// Inside the engine's block, on the audio thread. Whether the block can take events is known once for all.
void ClapPlugin::EngineEvents(const EngineEvent* events, uint32_t count) {
  if (!blockOut || blockFrames == 0) {
    midiOutput.Take(events, count, [](const EngineEvent&) { return false; });
    return;
  }
  const clap_output_events_t& out = *blockOut;
  midiOutput.Take(events, count, [&out](const EngineEvent& message) { return PushMidi(out, message); });
}

// Not at the same time as Process: parameter changes while the plug-in does not process.
void ClapPlugin::Flush(const clap_input_events_t& in, const clap_output_events_t& out) {
  const uint32_t count = in.size(&in);
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* header = in.get(&in, i);
    if (header && header->space_id == CLAP_CORE_EVENT_SPACE_ID && header->type == CLAP_EVENT_PARAM_VALUE &&
        header->size >= sizeof(clap_event_param_value_t))
      parameters->Apply(*reinterpret_cast<const clap_event_param_value_t*>(header));
  }
  parameters->Report(out);
}

// The engine may call while it is being made, before the host may be asked anything.
void ClapPlugin::EngineChanged(int) {
  stateChanged.store(true, std::memory_order_release);
  if (initialised.load(std::memory_order_acquire)) host.request_callback(&host);
}

bool ClapPlugin::EngineResizesEditor(int width, int height) {
  return editor && editor->RequestResize(width, height);
}

void ClapPlugin::MainThreadCallback() {
  if (stateChanged.exchange(false, std::memory_order_acq_rel) && hostState) hostState->mark_dirty(&host);
  if (hostParams && parameters->Unreported()) hostParams->request_flush(&host);
}

bool ClapPlugin::Save(const clap_ostream_t& stream) {
  const std::vector<uint8_t> bank = engine->State();
  return !bank.empty() && WriteWhole(stream, bank);
}

// The engine checks every field and takes all or nothing; to it a restore is a start-up, which sends when
// the bank says so.
bool ClapPlugin::Load(const clap_istream_t& stream) {
  std::vector<uint8_t> bank;
  if (!ReadWhole(stream, kMaxStateBytes, bank) || bank.empty() || !engine->SetState(bank.data(), bank.size()))
    return false;
  parameters->TakeAllAsReported();
  if (hostParams) hostParams->rescan(&host, CLAP_PARAM_RESCAN_VALUES);
  return true;
}

}  // namespace vantorine::clap
