// A minimal plug-in that exercises the host from the other side of the boundary: it echoes the MIDI it
// is given from inside processing and then scribbles over its event memory, sends events from a thread
// of its own, asks for automation and a window size, and reports what the host told it. Selecting
// program 1 or 2 makes it send System Exclusive in the next block (see sendProgramsEvents). It refuses to
// load when the host's version is 0 or its product string contains "Refuse".
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "vst/VstInterface.h"

namespace {

// Private opcodes, sent through effVendorSpecific's index.
enum ProbeRequest : VstInt32 {
  kProbeSizeWindow = 1,      // asks for a 300 x 200 window
  kProbeSendFromThread = 2,  // sends one Control Change from another thread and joins it
  kProbeHostDirectory = 3,   // copies the host's directory answer into ptr
};

struct Probe {
  AEffect effect;
  audioMasterCallback host;
  VstMidiEvent incoming[16];
  VstInt32 incomingCount = 0;
  // The program selected since the last block, whose events the next block sends; 0 when none.
  std::atomic<VstInt32> selected{0};
};

Probe* probeOf(AEffect* effect) {
  return static_cast<Probe*>(effect->object);
}

// Hands `count` events to the host, then overwrites `memory` (where the events or their bytes are), as a
// real plug-in reuses its buffers: a host that keeps pointers instead of copies would see 0xEE bytes.
void handOver(Probe* probe, VstEvent* const* events, VstInt32 count, void* memory, size_t size) {
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[16];
  } list{};
  list.numEvents = count;
  std::copy(events, events + count, list.events);
  probe->host(&probe->effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
  std::memset(memory, 0xEE, size);
}

void sendEvents(Probe* probe, const VstMidiEvent* events, VstInt32 count) {
  VstMidiEvent storage[16];
  VstEvent* pointers[16];
  for (VstInt32 i = 0; i < count; ++i) {
    storage[i] = events[i];
    pointers[i] = reinterpret_cast<VstEvent*>(&storage[i]);
  }
  handOver(probe, pointers, count, storage, sizeof storage);
}

template <typename Event>
VstEvent* asEvent(Event& event) {
  return reinterpret_cast<VstEvent*>(&event);
}

VstMidiEvent midiAt(VstInt32 frame, uint8_t status, uint8_t data1, uint8_t data2) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof event;
  event.deltaFrames = frame;
  event.midiData[0] = static_cast<char>(status);
  event.midiData[1] = static_cast<char>(data1);
  event.midiData[2] = static_cast<char>(data2);
  return event;
}

VstMidiSysexEvent sysexAt(VstInt32 frame, VstInt32 size, char* bytes) {
  return {kVstSysExType, sizeof(VstMidiSysexEvent) - 2 * sizeof(VstInt32), frame, 0, size, 0, bytes, 0};
}

// Program 1: a list out of frame order, System Exclusive among short messages, as a plug-in that puts
// what it passes through after what it sends itself: a controller at the block's last frame, GS Reset at
// frame 0, a message without a name halfway, a note at frame 0 again.
// Program 2: what a host must not read (a negative size, a size over 64 KiB, no bytes), a whole message of
// 64 KiB that no JACK port's buffer holds, then a controller at frame 1 that must still arrive.
void sendProgramsEvents(Probe* probe, VstInt32 program, VstInt32 frames) {
  static char memory[65536 + 16];
  if (program == 1) {
    const char gsReset[] = {'\xF0', 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, '\xF7'};
    const char unnamed[] = {'\xF0', 0x7D, 0x01, 0x02, '\xF7'};
    std::memcpy(memory, gsReset, sizeof gsReset);
    std::memcpy(memory + sizeof gsReset, unnamed, sizeof unnamed);
    VstMidiEvent last = midiAt(frames - 1, 0xB0, 7, 100);
    VstMidiSysexEvent reset = sysexAt(0, sizeof gsReset, memory);
    VstMidiSysexEvent other = sysexAt(frames / 2, sizeof unnamed, memory + sizeof gsReset);
    VstMidiEvent note = midiAt(0, 0x90, 60, 100);
    VstEvent* const list[] = {asEvent(last), asEvent(reset), asEvent(other), asEvent(note)};
    handOver(probe, list, 4, memory, sizeof gsReset + sizeof unnamed);
  } else if (program == 2) {
    std::memset(memory, 0, sizeof memory);
    memory[0] = '\xF0';
    memory[1] = 0x7D;
    memory[65535] = '\xF7';
    VstMidiSysexEvent negative = sysexAt(0, -1, memory);
    VstMidiSysexEvent tooLarge = sysexAt(0, 65537, memory + 65536);
    VstMidiSysexEvent none = sysexAt(0, 6, nullptr);
    VstMidiSysexEvent whole = sysexAt(0, 65536, memory);
    VstMidiEvent after = midiAt(1, 0xB0, 10, 32);
    VstEvent* const list[] = {asEvent(negative), asEvent(tooLarge), asEvent(none), asEvent(whole),
                              asEvent(after)};
    handOver(probe, list, 5, memory, sizeof memory);
  }
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float) {
  Probe* probe = probeOf(effect);
  switch (opcode) {
    case effClose:
      delete probe;
      return 1;
    case effSetProgram:
      probe->selected = static_cast<VstInt32>(value);
      return 0;
    case effGetEffectName:
      std::strcpy(static_cast<char*>(ptr), "Probe");
      return 1;
    case effCanDo:
      return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
    case effGetProgramNameIndexed:
      std::snprintf(static_cast<char*>(ptr), 24, "probe %d", index);
      return 1;
    case effProcessEvents: {
      const auto* list = static_cast<const VstEvents*>(ptr);
      for (VstInt32 i = 0; i < list->numEvents && probe->incomingCount < 16; ++i)
        std::memcpy(&probe->incoming[probe->incomingCount++], list->events[i], sizeof(VstMidiEvent));
      return 1;
    }
    case effVendorSpecific:
      if (index == kProbeSizeWindow)
        return probe->host(effect, audioMasterSizeWindow, 300, 200, nullptr, 0.0f);
      if (index == kProbeSendFromThread) {
        std::thread([probe] {
          VstMidiEvent event = midiAt(0, 0xB1, 7, 99);
          sendEvents(probe, &event, 1);
        }).join();
        return 1;
      }
      if (index == kProbeHostDirectory) {
        const auto* directory =
            reinterpret_cast<const char*>(probe->host(effect, audioMasterGetDirectory, 0, 0, nullptr, 0.0f));
        std::strcpy(static_cast<char*>(ptr), directory ? directory : "");
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

void processReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  Probe* probe = probeOf(effect);
  for (VstInt32 channel = 0; channel < 2; ++channel)
    std::memcpy(outputs[channel], inputs[channel], sizeof(float) * static_cast<size_t>(frames));
  if (probe->incomingCount > 0) sendEvents(probe, probe->incoming, probe->incomingCount);
  probe->incomingCount = 0;
  sendProgramsEvents(probe, probe->selected.exchange(0), frames);
}

void setParameter(AEffect* effect, VstInt32 index, float value) {
  probeOf(effect)->host(effect, audioMasterAutomate, index, 0, nullptr, value);
}

float getParameter(AEffect*, VstInt32) {
  return 0.0f;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  char product[64] = {};
  host(nullptr, audioMasterGetProductString, 0, 0, product, 0.0f);
  if (std::strstr(product, "Refuse")) return nullptr;

  auto* probe = new Probe{};
  probe->host = host;
  AEffect& fx = probe->effect;
  fx.magic = kEffectMagic;
  fx.dispatcher = dispatch;
  fx.setParameter = setParameter;
  fx.getParameter = getParameter;
  fx.processReplacing = processReplacing;
  fx.numPrograms = 3;
  fx.numParams = 1;
  fx.numInputs = 2;
  fx.numOutputs = 2;
  fx.flags = effFlagsCanReplacing;
  fx.object = probe;
  fx.uniqueID = VstFourCC('P', 'r', 'b', 'e');
  fx.version = 1;
  return &fx;
}
