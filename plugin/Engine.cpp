// The engine entry of the LV2 and CLAP plug-ins: see Engine.h. The plug-in's questions of a host are
// answered here for the format, and its MIDI goes both ways as plain messages, past the VST 2 event lists.
#include "plugin/Engine.h"

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

std::unique_ptr<Engine> Engine::Create(EngineHost& host, double sampleRate, const char* productName,
                                       const char* directory, int* status) {
  std::unique_ptr<Engine> made(new Engine(host, sampleRate, productName, directory));
  int startUp = kStartUpOk;
  {
    // VST 2 hosts make instances on one thread; hosts of the other formats may make several at once, and
    // the plug-in's construction was never made to run beside itself.
    static std::mutex creating;
    std::lock_guard<std::mutex> guard(creating);
    made->plugin = CreatePlugin(*made, startUp);
  }
  if (status) *status = startUp;
  if (!made->plugin) {
    // No message box here: a host's log is where a plug-in without a window says why it did not start.
    if (startUp != kRefuseSilently)
      std::fprintf(stderr, "%s: failed to load (%s)\n", kProductName, StartUpReason(startUp));
    return nullptr;
  }
  made->plugin->SetEventSink(&host);
  made->plugin->open();
  made->plugin->setSampleRate(static_cast<float>(sampleRate));
  return made;
}

Engine::Engine(EngineHost& engineHost, double rate, const char* product, const char* folder)
    : host(engineHost), sampleRate(rate), productName(product ? product : ""), directory(folder ? folder : "") {}

Engine::~Engine() {
  if (plugin) plugin->close();
}

void Engine::ParameterEdited(int index, float) { host.EngineChanged(index); }

bool Engine::StateChanged() {
  host.EngineChanged(-1);
  return true;
}

// The sizes the panel goes through while it opens are not the host's business: it asks for the editor's
// size once the editor is open.
bool Engine::ResizeEditor(int width, int height) {
  return !editorOpening && host.EngineResizesEditor(width, height);
}

bool Engine::CanResizeEditor() { return host.EngineCanResizeEditor(); }

bool Engine::HostVendor(char* text) {
  std::strcpy(text, kVendorName);
  return true;
}

bool Engine::HostProduct(char* text) {
  std::snprintf(text, kVstMaxProductStrLen, "%s", productName.c_str());
  return true;
}

int Engine::HostVendorVersion() { return kVendorVersion; }

const char* Engine::LibraryPath() { return directory.empty() ? nullptr : directory.c_str(); }

// The plug-in's MIDI goes to the format's sink (EngineHost) instead.
bool Engine::SendEvents(VstEvents*) { return false; }

void Engine::Activate(double rate, uint32_t maxFrames) {
  sampleRate = rate;
  plugin->setSampleRate(static_cast<float>(rate));
  if (maxFrames > 0) plugin->setBlockSize(static_cast<VstInt32>(maxFrames));
  plugin->resume();
}

void Engine::Deactivate() { plugin->suspend(); }

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

void Engine::SelectPreset(int preset) { plugin->setProgram(preset); }

int Engine::ParameterCount() const { return plugin->ParameterCount(); }

// Names longer than the VST 2 limit of 8 characters are common, so the room is a host's usual.
std::string Engine::ParameterName(int index) const {
  char name[256] = {};
  plugin->getParameterName(index, name);
  return name;
}

float Engine::Parameter(int index) const { return plugin->getParameter(index); }

void Engine::SetParameter(int index, float value) { plugin->setParameter(index, value); }

std::vector<uint8_t> Engine::State() const {
  void* bank = nullptr;
  const VstInt32 size = plugin->getChunk(&bank, false);
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
  return plugin->setChunk(const_cast<uint8_t*>(bytes), static_cast<VstInt32>(size), false) == 1;
}

// No display passed: the editor lives on the toolkit's own connection and reads it in the idle passes. One
// pass lays the panel out for its strips.
bool Engine::OpenEditor(unsigned long parent) {
  if (!parent || EditorWindow() || !OpenToolkit()) return false;
  editorOpening = true;
  plugin->OpenEditor(reinterpret_cast<void*>(parent), nullptr);
  plugin->IdleEditor();
  editorOpening = false;
  return EditorWindow() != 0;
}

void Engine::CloseEditor() { plugin->CloseEditor(); }

void Engine::IdleEditor() { plugin->IdleEditor(); }

bool Engine::EditorSize(int& width, int& height) const {
  const ERect& rect = plugin->EditorRect();
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  return width > 0 && height > 0;
}

unsigned long Engine::EditorWindow() const {
  const SPluginEditor* editor = plugin->PluginEditor();
  return editor && editor->IsOpen() && editor->Panel() ? editor->Panel()->GetWindow() : 0;
}

}  // namespace vantorine
