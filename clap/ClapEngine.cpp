// The engine behind the CLAP plug-in, reached through the VST 2 entry: see ClapEngine.h.
#include "clap/ClapEngine.h"

#include <cstring>

#include "editor/SPluginEditor.h"
#include "editor/SPluginPanel.h"
#include "plugin/ProductInfo.h"
#include "plugin/StartUp.h"
#include "plugin/VSTPlugin.h"

namespace vantorine::clap {
namespace {

// The engine calls back while its constructor runs, before the record can lead to this object.
thread_local ClapEngine* engineBeingCreated = nullptr;

constexpr const char* kHostProduct = "Vantorine CLAP";
const char* const kHostCanDo[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                  "receiveVstMidiEvent", "sizeWindow"};

}  // namespace

std::unique_ptr<ClapEngine> ClapEngine::Create(Listener& listener, double sampleRate) {
  std::unique_ptr<ClapEngine> made(new ClapEngine(listener, sampleRate));
  engineBeingCreated = made.get();
  made->effect = CreateEffectInstance(&ClapEngine::HostCallback);
  engineBeingCreated = nullptr;
  if (!made->effect) return nullptr;
  made->engine = static_cast<VSTPlugin*>(static_cast<AudioEffect*>(made->effect->object));
  // resvd1 belongs to the host: from now on it leads the engine's callbacks here.
  made->effect->resvd1 = reinterpret_cast<VstIntPtr>(made.get());
  made->Dispatch(effOpen);
  made->Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  return made;
}

ClapEngine::ClapEngine(Listener& engineListener, double rate) : listener(engineListener), sampleRate(rate) {}

ClapEngine::~ClapEngine() {
  // The engine deletes itself on effClose and joins its threads first.
  if (effect) Dispatch(effClose);
}

VstIntPtr ClapEngine::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

VstIntPtr ClapEngine::HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float) {
  if (opcode == audioMasterVersion) return 2400;
  ClapEngine* self = effect && effect->resvd1 ? reinterpret_cast<ClapEngine*>(effect->resvd1) : engineBeingCreated;
  return self ? self->Answer(opcode, index, value, ptr) : 0;
}

VstIntPtr ClapEngine::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) {
  switch (opcode) {
    case audioMasterProcessEvents:
      if (!ptr) return 0;
      listener.EngineEvents(*static_cast<const VstEvents*>(ptr));
      return 1;
    case audioMasterAutomate:
      listener.EngineChanged(index);
      return 1;
    case audioMasterUpdateDisplay:
      listener.EngineChanged(-1);
      return 1;
    case audioMasterSizeWindow:
      // The sizes the panel goes through while it opens are not the host's business: it asks for the
      // editor's size once the editor is open.
      return !editorOpening && listener.EngineResizesEditor(index, static_cast<int>(value));
    case audioMasterWantMidi:
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
      for (const char* answer : kHostCanDo)
        if (std::strcmp(static_cast<const char*>(ptr), answer) == 0) return 1;
      return 0;
    default:
      return 0;
  }
}

void ClapEngine::Activate(double rate, uint32_t maxFrames) {
  sampleRate = rate;
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  Dispatch(effSetBlockSize, 0, static_cast<VstIntPtr>(maxFrames));
  Dispatch(effMainsChanged, 0, 1);
}

void ClapEngine::Deactivate() {
  Dispatch(effMainsChanged, 0, 0);
}

// The engine has no audio to make: its processing call passes audio only when it is given some.
void ClapEngine::Process(void* midiIn, uint32_t frames, uint32_t ownEvents, uint32_t ownSysexBytes) {
  if (midiIn) Dispatch(effProcessEvents, 0, 0, midiIn);
  engine->SetOwnEventRoom(ownEvents, ownSysexBytes);
  effect->processReplacing(effect, nullptr, nullptr, static_cast<VstInt32>(frames));
}

int ClapEngine::Preset() const {
  return static_cast<int>(Dispatch(effGetProgram));
}

void ClapEngine::SelectPreset(int preset) {
  Dispatch(effSetProgram, 0, preset);
}

int ClapEngine::ParameterCount() const {
  return effect->numParams;
}

// Names longer than the VST 2 limit of 8 characters are common, so the room is a host's usual.
std::string ClapEngine::ParameterName(int index) const {
  char name[256] = {};
  Dispatch(effGetParamName, index, 0, name);
  return name;
}

float ClapEngine::Parameter(int index) const {
  return effect->getParameter(effect, index);
}

void ClapEngine::SetParameter(int index, float value) {
  effect->setParameter(effect, index, value);
}

std::vector<uint8_t> ClapEngine::Bank() {
  void* bank = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 0, 0, &bank);
  if (!bank || size <= 0) return {};
  const auto* bytes = static_cast<const uint8_t*>(bank);
  return std::vector<uint8_t>(bytes, bytes + size);
}

bool ClapEngine::SetBank(const uint8_t* bytes, size_t size) {
  // The engine checks the size and every field, and takes all or nothing.
  return Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(size), const_cast<uint8_t*>(bytes)) == 1;
}

// No display passed: the editor lives on the toolkit's own connection and reads it in the idle passes. One
// pass lays the panel out for its strips.
bool ClapEngine::OpenEditor(unsigned long parent) {
  editorOpening = true;
  Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
  Dispatch(effEditIdle);
  editorOpening = false;
  return EditorWindow() != 0;
}

void ClapEngine::CloseEditor() {
  Dispatch(effEditClose);
}

void ClapEngine::IdleEditor() {
  Dispatch(effEditIdle);
}

bool ClapEngine::EditorSize(int& width, int& height) const {
  ERect* rect = nullptr;
  Dispatch(effEditGetRect, 0, 0, &rect);
  if (!rect) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return width > 0 && height > 0;
}

unsigned long ClapEngine::EditorWindow() const {
  const auto* plugin = static_cast<const SPlugin*>(effect->object);
  const SPluginEditor* editor = plugin->PluginEditor();
  return editor && editor->IsOpen() && editor->Panel() ? editor->Panel()->GetWindow() : 0;
}

}  // namespace vantorine::clap
