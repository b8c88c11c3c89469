// A minimal plug-in that exercises the host from the other side of the boundary: it echoes the MIDI it
// is given from inside processing and then scribbles over its event memory, sends events from a thread
// of its own, asks for automation and a window size, and reports what the host told it. It refuses to
// load when the host's version is 0 or its product string contains "Refuse".
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
};

Probe* probeOf(AEffect* effect) {
  return static_cast<Probe*>(effect->object);
}

// Hands `count` events to the host from memory that is overwritten right afterwards, as a real plug-in
// reuses its buffers: a host that keeps pointers instead of copies would see 0xEE bytes.
void sendEvents(Probe* probe, const VstMidiEvent* events, VstInt32 count) {
  VstMidiEvent storage[16];
  std::memcpy(storage, events, sizeof(VstMidiEvent) * static_cast<size_t>(count));
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[16];
  } list{};
  list.numEvents = count;
  for (VstInt32 i = 0; i < count; ++i) list.events[i] = reinterpret_cast<VstEvent*>(&storage[i]);
  probe->host(&probe->effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
  std::memset(storage, 0xEE, sizeof storage);
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float) {
  Probe* probe = probeOf(effect);
  switch (opcode) {
    case effClose:
      delete probe;
      return 1;
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
          VstMidiEvent event{kVstMidiType, sizeof(VstMidiEvent), 0, 0, 0, 0, {'\xB1', 7, 99, 0}, 0, 0, 0, 0};
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
