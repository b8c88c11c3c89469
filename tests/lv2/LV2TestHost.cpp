// The test host's lilv world, buffers, cycles and state.
#include "tests/lv2/LV2TestHost.h"

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "CallCounter.h"

namespace lv2test {

namespace {

// What the host fills midi_out with before each cycle, to see what the plug-in wrote.
constexpr uint8_t kUnwritten = 0xEE;

// One property of the state, as the plug-in stored it or as it is to be retrieved; key 0 is none.
struct StoredBank {
  Bytes bytes;
  LV2_URID type = 0;
  uint32_t flags = 0;
  LV2_URID key = 0;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags) {
  auto* stored = static_cast<StoredBank*>(handle);
  stored->key = key;
  stored->bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
  stored->type = type;
  stored->flags = flags;
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  auto* stored = static_cast<StoredBank*>(handle);
  if (key != stored->key) return nullptr;
  *size = stored->bytes.size();
  *type = stored->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return stored->bytes.data();
}

const void* PortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type) {
  (void)symbol;
  (void)self;
  *size = 0;
  *type = 0;
  return nullptr;
}

}  // namespace

LV2World::LV2World() {
  uridMap = {this, &LV2World::Map};
  uridUnmap = {this, &LV2World::Unmap};
  // Our bundle and the LV2 core (which lilv needs to know plug-in classes), and nothing else installed.
  folder = std::filesystem::temp_directory_path() / ("vtrn-lv2-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::create_directory_symlink(VANTORINE_LV2_BUNDLE, folder + "/vantorine.lv2");
  std::filesystem::create_directory_symlink("/usr/lib/lv2/core.lv2", folder + "/core.lv2");
  setenv("LV2_PATH", folder.c_str(), 1);
  lilv = lilv_world_new();
  lilv_world_load_all(lilv);
  LilvNode* uri = lilv_new_uri(lilv, vantorine::lv2::kPluginUri);
  found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(lilv), uri);
  lilv_node_free(uri);
}

LV2World::~LV2World() {
  lilv_world_free(lilv);
  std::filesystem::remove_all(folder);
}

LV2_URID LV2World::Map(LV2_URID_Map_Handle handle, const char* uri) {
  auto* self = static_cast<LV2World*>(handle);
  for (size_t i = 0; i < self->uris.size(); ++i)
    if (self->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
  self->uris.emplace_back(uri);
  return static_cast<LV2_URID>(self->uris.size());
}

const char* LV2World::Unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  auto* self = static_cast<LV2World*>(handle);
  return urid >= 1 && urid <= self->uris.size() ? self->uris[urid - 1].c_str() : nullptr;
}

LV2Instance::LV2Instance(LV2World& hostWorld) : world(hostWorld), midiOutRoom(kFullRoom) {
  if (!world.plugin()) return;
  const LV2_Feature mapFeature = {LV2_URID__map, world.map()};
  const LV2_Feature unmapFeature = {LV2_URID__unmap, world.unmap()};
  const LV2_Feature* features[] = {&mapFeature, &unmapFeature, nullptr};
  instance = lilv_plugin_instantiate(world.plugin(), kRate, features);
  if (!instance) return;
  state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance, LV2_STATE__interface));
  midiInBuffer.assign(kAtomBufferBytes / 8, 0);
  midiOutBuffer.assign(kAtomBufferBytes / 8, 0);
  notifyBuffer.assign(kAtomBufferBytes / 8, 0);
  for (auto& channel : audio) channel.assign(kBlock, 0.f);
  using namespace vantorine::lv2;
  for (const PortInfo& port : kPorts) controls[port.index] = port.fallback;
  lilv_instance_connect_port(instance, kMidiIn, midiInBuffer.data());
  lilv_instance_connect_port(instance, kMidiOut, midiOutBuffer.data());
  lilv_instance_connect_port(instance, kNotify, notifyBuffer.data());
  for (uint32_t i = 0; i < 4; ++i) lilv_instance_connect_port(instance, kAudioIn1 + i, audio[i].data());
  for (uint32_t port : {kPresetPort, kResendPort, kMidiThruPort})
    lilv_instance_connect_port(instance, port, &controls[port]);
  lilv_instance_activate(instance);
}

LV2Instance::~LV2Instance() {
  if (!instance) return;
  lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
}

namespace {

// Checks a sequence the plug-in wrote into `offered` bytes of a buffer as a careful host would, and
// collects its MIDI events; the result names the first fault.
std::string ReadMidiSequence(const uint8_t* buffer, uint32_t offered, size_t bufferBytes, LV2_URID midiEvent,
                             std::vector<TimedMidi>& out) {
  for (size_t i = offered; i < bufferBytes; ++i)
    if (buffer[i] != kUnwritten) return "a byte past the offered room was written";
  LV2_Atom_Sequence head;
  if (offered < sizeof(head)) return "";
  std::memcpy(&head, buffer, sizeof(head));
  const uint64_t end = sizeof(LV2_Atom) + uint64_t{head.atom.size};
  if (end > offered) return "the sequence claims more than the offered room";
  uint64_t offset = sizeof(head);
  int64_t lastFrame = 0;
  while (offset < end) {
    LV2_Atom_Event event;
    if (offset + sizeof(event) > end) return "an event header is cut off";
    std::memcpy(&event, buffer + offset, sizeof(event));
    if (offset + sizeof(event) + lv2_atom_pad_size(event.body.size) > end) return "an event body is cut off";
    if (event.time.frames < lastFrame) return "events out of time order";
    lastFrame = event.time.frames;
    const uint8_t* body = buffer + offset + sizeof(event);
    if (event.body.type == midiEvent) {
      if (event.body.size == 0 || !(body[0] & 0x80)) return "a MIDI event without a status byte";
      out.push_back({static_cast<uint32_t>(event.time.frames), Bytes(body, body + event.body.size)});
    }
    offset += sizeof(event) + lv2_atom_pad_size(event.body.size);
  }
  return "";
}

}  // namespace

std::vector<TimedMidi> LV2Instance::run(const std::vector<TimedMidi>& midiIn, uint32_t frames) {
  LV2_Atom_Forge forge;
  lv2_atom_forge_init(&forge, world.map());
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(midiInBuffer.data()), kAtomBufferBytes);
  LV2_Atom_Forge_Frame frame;
  lv2_atom_forge_sequence_head(&forge, &frame, 0);
  const LV2_URID midiEvent = world.urid(LV2_MIDI__MidiEvent);
  for (const TimedMidi& message : midiIn) {
    lv2_atom_forge_frame_time(&forge, message.frame);
    lv2_atom_forge_atom(&forge, static_cast<uint32_t>(message.bytes.size()), midiEvent);
    lv2_atom_forge_write(&forge, message.bytes.data(), static_cast<uint32_t>(message.bytes.size()));
  }
  lv2_atom_forge_pop(&forge, &frame);
  // Output ports carry their capacity into the cycle, as hosts set them.
  auto* outBytes = reinterpret_cast<uint8_t*>(midiOutBuffer.data());
  std::memset(outBytes, kUnwritten, kAtomBufferBytes);
  for (auto [buffer, room] : {std::pair{outBytes, midiOutRoom},
                              std::pair{reinterpret_cast<uint8_t*>(notifyBuffer.data()), kFullRoom}}) {
    const LV2_Atom offered = {room, world.urid(LV2_ATOM__Chunk)};
    std::memcpy(buffer, &offered, sizeof(offered));
  }
  callcount::SetCounting(countCalls);
  lilv_instance_run(instance, frames);
  callcount::SetCounting(false);

  std::vector<TimedMidi> out;
  outFault = ReadMidiSequence(outBytes, midiOutRoom + sizeof(LV2_Atom), kAtomBufferBytes, midiEvent, out);
  stateChanges = 0;
  const LV2_URID changed = world.urid(LV2_STATE__StateChanged);
  const auto* notes = reinterpret_cast<const LV2_Atom_Sequence*>(notifyBuffer.data());
  LV2_ATOM_SEQUENCE_FOREACH(notes, event) {
    if (lv2_atom_forge_is_object_type(&forge, event->body.type) &&
        reinterpret_cast<const LV2_Atom_Object*>(&event->body)->body.otype == changed)
      ++stateChanges;
  }
  return out;
}

Bytes LV2Instance::saveBank() {
  StoredBank stored;
  if (state->save(lilv_instance_get_handle(instance), Store, &stored, LV2_STATE_IS_POD, nullptr) !=
      LV2_STATE_SUCCESS)
    return {};
  if (stored.key != world.urid(vantorine::lv2::kBankStateKey) || stored.type != world.urid(LV2_ATOM__Chunk) ||
      stored.flags != (LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE))
    return {};
  return stored.bytes;
}

LV2_State_Status LV2Instance::restoreBank(const Bytes& bank, LV2_URID type) {
  StoredBank stored;
  stored.bytes = bank;
  stored.key = world.urid(vantorine::lv2::kBankStateKey);
  stored.type = type ? type : world.urid(LV2_ATOM__Chunk);
  return state->restore(lilv_instance_get_handle(instance), Retrieve, &stored, 0, nullptr);
}

LV2_State_Status LV2Instance::restoreWithoutBank() {
  StoredBank stored;
  return state->restore(lilv_instance_get_handle(instance), Retrieve, &stored, 0, nullptr);
}

void LV2Instance::saveStateFolder(const std::string& folder) {
  LilvState* saved = lilv_state_new_from_instance(world.plugin(), instance, world.map(), nullptr, nullptr,
                                                  nullptr, nullptr, PortValue, this, 0, nullptr);
  lilv_state_save(world.world(), world.map(), world.unmap(), saved, nullptr, folder.c_str(), "state.ttl");
  lilv_state_free(saved);
}

bool LV2Instance::restoreStateFile(const std::string& file) {
  LilvState* loaded = lilv_state_new_from_file(world.world(), world.map(), nullptr, file.c_str());
  if (!loaded) return false;
  lilv_state_restore(loaded, instance, nullptr, nullptr, 0, nullptr);
  lilv_state_free(loaded);
  return true;
}

}  // namespace lv2test
