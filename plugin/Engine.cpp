// The engine entry of the LV2 and CLAP plug-ins: see Engine.h. The engine answers a VST 2 host through its
// dispatcher; here its requests of a host are answered for the format, and its MIDI goes both ways as plain
// messages, past the VST 2 event lists.
#include "plugin/Engine.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "editor/SPluginEditor.h"
#include "editor/SPluginPanel.h"
#include "plugin/ProductInfo.h"
#include "plugin/StartUp.h"
#include "plugin/VSTPlugin.h"
#include "vst/FxFile.h"

namespace vantorine {
namespace {

// The engine calls back while its constructor runs, before the record can lead to this object. One engine
// is made at a time, so every callback of an instance without a record yet is the new one's.
std::mutex creating;
std::atomic<Engine*> engineBeingCreated{nullptr};

const char* const kHostCanDo[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                  "receiveVstMidiEvent"};

}  // namespace

std::unique_ptr<Engine> Engine::Create(EngineHost& host, double sampleRate, const char* productName,
                                       const char* directory, int* status) {
  std::unique_ptr<Engine> made(new Engine(host, sampleRate, productName, directory));
  // resvd1 belongs to the host: it leads the engine's callbacks here once the record exists.
  int startUp = kStartUpOk;
  {
    std::lock_guard<std::mutex> guard(creating);
    engineBeingCreated.store(made.get(), std::memory_order_release);
    made->effect = CreateQuietInstance(&Engine::HostCallback, startUp);
    if (made->effect) made->effect->resvd1 = reinterpret_cast<VstIntPtr>(made.get());
    engineBeingCreated.store(nullptr, std::memory_order_release);
  }
  if (status) *status = startUp;
  if (!made->effect) {
    // No message box here: a host's log is where a plug-in without a window says why it did not start.
    if (startUp != kRefuseSilently)
      std::fprintf(stderr, "%s: failed to load (%s)\n", kProductName, StartUpReason(startUp));
    return nullptr;
  }
  made->plugin = static_cast<VSTPlugin*>(static_cast<AudioEffect*>(made->effect->object));
  made->plugin->SetEventSink(&host);
  made->Dispatch(effOpen);
  made->Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  return made;
}

Engine::Engine(EngineHost& engineHost, double rate, const char* product, const char* folder)
    : host(engineHost), sampleRate(rate), productName(product ? product : ""), directory(folder ? folder : "") {}

Engine::~Engine() {
  // The engine deletes itself on effClose and joins its threads first.
  if (effect) Dispatch(effClose);
}

VstIntPtr Engine::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

VstIntPtr Engine::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float) {
  if (opcode == audioMasterVersion) return 2400;
  Engine* self = effect && effect->resvd1 ? reinterpret_cast<Engine*>(effect->resvd1)
                                          : engineBeingCreated.load(std::memory_order_acquire);
  return self ? self->Answer(opcode, index, value, ptr) : 0;
}

VstIntPtr Engine::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
  switch (opcode) {
    case audioMasterAutomate:
      host.EngineChanged(index);
      return 1;
    case audioMasterUpdateDisplay:
      host.EngineChanged(-1);
      return 1;
    case audioMasterSizeWindow:
      // The sizes the panel goes through while it opens are not the host's business: it asks for the
      // editor's size once the editor is open.
      return !editorOpening && host.EngineResizesEditor(index, static_cast<int>(value));
    case audioMasterWantMidi:
      return 1;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(sampleRate);
    case audioMasterGetVendorString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), kVendorName);
      return ptr != nullptr;
    case audioMasterGetProductString:
      if (ptr) std::strcpy(static_cast<char*>(ptr), productName.c_str());
      return ptr != nullptr;
    case audioMasterGetVendorVersion:
      return kVendorVersion;
    case audioMasterCanDo:
      if (!ptr) return 0;
      if (std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0) return host.EngineCanResizeEditor();
      for (const char* answer : kHostCanDo)
        if (std::strcmp(static_cast<const char*>(ptr), answer) == 0) return 1;
      return 0;
    case audioMasterGetDirectory:
      return directory.empty() ? 0 : reinterpret_cast<VstIntPtr>(directory.c_str());
    default:
      return 0;
  }
}

void Engine::Activate(double rate, uint32_t maxFrames) {
  sampleRate = rate;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  if (maxFrames > 0) Dispatch(effSetBlockSize, 0, static_cast<VstIntPtr>(maxFrames));
  Dispatch(effMainsChanged, 0, 1);
}

void Engine::Deactivate() { Dispatch(effMainsChanged, 0, 0); }

void Engine::Process(uint32_t frames, uint32_t ownEvents, uint32_t ownSysexBytes, float** audioIn,
                     float** audioOut) {
  plugin->ReceiveMidi(received, receivedCount);
  receivedCount = 0;
  plugin->SetOwnEventRoom(ownEvents, ownSysexBytes);
  plugin->processReplacing(audioIn, audioOut, static_cast<VstInt32>(frames));
  // A stopped engine took nothing, and the host's bytes are gone after this block.
  plugin->ReceiveMidi(nullptr, 0);
}

int Engine::Preset() const { return plugin->getProgram(); }

void Engine::SelectPreset(int preset) { Dispatch(effSetProgram, 0, preset); }

int Engine::ParameterCount() const { return effect->numParams; }

// Names longer than the VST 2 limit of 8 characters are common, so the room is a host's usual.
std::string Engine::ParameterName(int index) const {
  char name[256] = {};
  Dispatch(effGetParamName, index, 0, name);
  return name;
}

float Engine::Parameter(int index) const { return plugin->getParameter(index); }

void Engine::SetParameter(int index, float value) { plugin->setParameter(index, value); }

std::vector<uint8_t> Engine::State() const {
  void* bank = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 0, 0, &bank);
  if (!bank || size <= 0) return {};
  const auto* bytes = static_cast<const uint8_t*>(bank);
  return std::vector<uint8_t>(bytes, bytes + size);
}

// A bank file (.fxb) is taken for the chunk it carries, so that a file the bank tool or a VST 2 host wrote
// loads as a state; a file that is not ours, or damaged, is refused whole.
bool Engine::SetState(const uint8_t* bytes, size_t size) {
  if (!bytes || size > static_cast<size_t>(INT32_MAX)) return false;
  if (size >= 4 && std::memcmp(bytes, "CcnK", 4) == 0) {
    FxContent bank;
    if (!FxFile::decode(std::vector<uint8_t>(bytes, bytes + size), FxKind::Bank, kUniqueId, bank).empty() ||
        bank.chunk.empty())
      return false;
    return SetState(bank.chunk.data(), bank.chunk.size());
  }
  // The engine checks the size and every field, and takes all or nothing.
  return Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(size), const_cast<uint8_t*>(bytes)) == 1;
}

// No display passed: the editor lives on the toolkit's own connection and reads it in the idle passes. One
// pass lays the panel out for its strips.
bool Engine::OpenEditor(unsigned long parent) {
  if (!parent || EditorWindow() || !OpenToolkit()) return false;
  editorOpening = true;
  Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
  Dispatch(effEditIdle);
  editorOpening = false;
  return EditorWindow() != 0;
}

void Engine::CloseEditor() { Dispatch(effEditClose); }

void Engine::IdleEditor() { Dispatch(effEditIdle); }

bool Engine::EditorSize(int& width, int& height) const {
  ERect* rect = nullptr;
  Dispatch(effEditGetRect, 0, 0, &rect);
  if (!rect) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return width > 0 && height > 0;
}

unsigned long Engine::EditorWindow() const {
  const SPluginEditor* editor = plugin->PluginEditor();
  return editor && editor->IsOpen() && editor->Panel() ? editor->Panel()->GetWindow() : 0;
}

}  // namespace vantorine
