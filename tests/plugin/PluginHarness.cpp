// The in-process host used by the plug-in tests.
#include "PluginHarness.h"

#include <cstring>

namespace {
PluginHarness* current = nullptr;
}

PluginHarness::PluginHarness(std::string productString) : product(std::move(productString)) { current = this; }

PluginHarness::~PluginHarness() { current = nullptr; }

VstIntPtr PluginHarness::Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
  PluginHarness* self = current;
  if (!self) return 0;
  switch (opcode) {
    case audioMasterVersion:
      return 2400;
    case audioMasterGetProductString:
      std::strncpy(static_cast<char*>(ptr), self->product.c_str(), 63);
      return 1;
    case audioMasterProcessEvents: {
      const VstEvents* events = static_cast<const VstEvents*>(ptr);
      std::lock_guard<std::mutex> lock(self->mutex);
      for (int i = 0; i < events->numEvents; ++i) {
        if (events->events[i]->type == kVstSysExType) {
          const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(events->events[i]);
          const auto* bytes = reinterpret_cast<const unsigned char*>(sysex->sysexDump);
          self->messages.push_back({sysex->deltaFrames, {bytes, bytes + sysex->dumpBytes}});
          continue;
        }
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
        const auto* bytes = reinterpret_cast<const unsigned char*>(midi->midiData);
        self->messages.push_back({midi->deltaFrames, {bytes, bytes + ((bytes[0] & 0xF0) == 0xC0 ? 2 : 3)}});
        self->sentEvents.push_back(*midi);
        self->sent.push_back({static_cast<unsigned char>(midi->midiData[0]),
                              static_cast<unsigned char>(midi->midiData[1]),
                              static_cast<unsigned char>(midi->midiData[2])});
      }
      ++self->hostCalls;
      return 1;
    }
    default:
      return 0;
  }
}

std::vector<MidiBytes> PluginHarness::Process(VSTPlugin& plugin, int frames) {
  left.assign(frames, 0.25f);
  right.assign(frames, -0.5f);
  float* buffers[2] = {left.data(), right.data()};
  plugin.processReplacing(buffers, buffers, frames);
  return TakeSent();
}

void PluginHarness::Incoming(VSTPlugin& plugin, std::vector<MidiBytes> events, std::vector<int> frames) {
  std::vector<VstMidiEvent> store(events.size());
  std::vector<VstEvent*> pointers;
  for (size_t i = 0; i < events.size(); ++i) {
    std::memset(&store[i], 0, sizeof(VstMidiEvent));
    store[i].type = kVstMidiType;
    store[i].byteSize = 24;
    store[i].deltaFrames = i < frames.size() ? frames[i] : 0;
    store[i].midiData[0] = static_cast<char>(events[i].status);
    store[i].midiData[1] = static_cast<char>(events[i].data1);
    store[i].midiData[2] = static_cast<char>(events[i].data2);
    store[i].midiData[3] = 0x55;
    store[i].noteLength = 1000 + static_cast<VstInt32>(i);
    store[i].detune = -3;
    store[i].noteOffVelocity = 64;
    store[i].flags = 1;  // real time
    pointers.push_back(reinterpret_cast<VstEvent*>(&store[i]));
  }
  std::vector<char> block(sizeof(VstEvents) + sizeof(VstEvent*) * pointers.size());
  VstEvents* list = reinterpret_cast<VstEvents*>(block.data());
  list->numEvents = static_cast<VstInt32>(pointers.size());
  if (!pointers.empty()) std::memcpy(list->events, pointers.data(), sizeof(VstEvent*) * pointers.size());
  plugin.processEvents(list);
}

std::vector<MidiBytes> PluginHarness::TakeSent() {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<MidiBytes> out;
  out.swap(sent);
  return out;
}

std::vector<VstMidiEvent> PluginHarness::TakeSentEvents() {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<VstMidiEvent> out;
  out.swap(sentEvents);
  return out;
}

std::vector<SentMessage> PluginHarness::TakeMessages() {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<SentMessage> out;
  out.swap(messages);
  return out;
}

HostedPlugin<> MakePlugin() {
  HostedPlugin<> plugin = HostedPlugin<>::Make();
  plugin.dispatcher(effMainsChanged, 0, 1, nullptr, 0);
  return plugin;
}
