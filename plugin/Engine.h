// The engine as every plug-in format but VST 2 meets it: MIDI as frames and bytes in and out, the state as
// bytes, parameters and presets as calls, the editor in a window the host gives, and a notice when the
// host should save. A format adapter (LV2, CLAP) is a thin layer over this; it never sees an effect record
// or an event list.
//
// Making one opens no X connection and shows no message box: an instance runs on a machine without X, and
// the toolkit's connection opens when an editor first does. A refusal comes back as a status.
//
// Threads are the caller's: Receive and Process on the audio thread; the editor on the one thread that
// drives it; state, activation and the rest elsewhere, never at the same time as Process. Parameters and the
// preset may be set from any thread. The host's calls may come on any of the engine's threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plugin/EngineEvent.h"
#include "plugin/PluginHost.h"

class VSTPlugin;

namespace vantorine {

class EngineHost : public EngineEventSink {
 public:
  // Something the host keeps changed without the host's doing (the editor, or a Program Change that chose a
  // preset): a parameter (its index), or for -1 the bank; the host should mark its project for saving.
  virtual void EngineChanged(int parameter) = 0;
  // The editor's new size, while it is open; true when the host took the request.
  virtual bool EngineResizesEditor(int width, int height) = 0;
  virtual bool EngineCanResizeEditor() const { return true; }
};

class Engine final : private PluginHost {
 public:
  // Null when the engine cannot run here, after a line on standard error that says why; `status`, when
  // given, is then the start-up status.
  // `directory` is the folder the plug-in was installed in (the editor looks for its files beside it).
  static std::unique_ptr<Engine> Create(EngineHost& host, double sampleRate, const char* productName,
                                        const char* directory, int* status = nullptr);
  ~Engine() override;
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // `maxFrames` is the longest block the host will ask for, 0 when it does not say.
  void Activate(double sampleRate, uint32_t maxFrames);
  void Deactivate();
  // Audio thread, before the block's Process: a short message (1 to 3 bytes) at `frame` of a block of
  // `frames`, whose bytes stay where they are until Process returns. System Exclusive, anything malformed
  // and what comes past 256 messages a block are not passed on.
  void Receive(int64_t frame, uint32_t frames, const uint8_t* bytes, uint32_t size) {
    if (receivedCount == kMaxReceived || frames == 0 || !bytes || size == 0 || size > 3) return;
    const int64_t lastFrame = int64_t{frames} - 1;
    received[receivedCount++] = {static_cast<int32_t>(frame < 0 ? 0 : frame > lastFrame ? lastFrame : frame), size,
                                 bytes};
  }
  // Audio thread: one block. `ownEvents` and `ownSysexBytes` are how many of the engine's own messages, and
  // SysEx bytes among them, the caller can keep from this block; the rest waits in the engine. Audio, when
  // given, passes through. The messages go to the host's EngineEvents before this returns.
  void Process(uint32_t frames, uint32_t ownEvents, uint32_t ownSysexBytes, float** audioIn = nullptr,
               float** audioOut = nullptr);

  // The current preset, 0 to 127, and the choice of another (which sends as the engine's options say).
  int Preset() const;
  void SelectPreset(int preset);
  // The parameters: their count, name and value from 0 to 1.
  int ParameterCount() const;
  std::string ParameterName(int index) const;
  float Parameter(int index) const;
  void SetParameter(int index, float value);

  // The bank chunk; a restore of one, or of a bank file (.fxb) that carries one, is a start-up to the engine.
  // False when it refused the bytes.
  std::vector<uint8_t> State() const;
  bool SetState(const uint8_t* bytes, size_t size);

  // The editor, as a child of `parent` on the toolkit's own X connection, which opens now if it has not.
  // False when there is no X server or the editor is open already.
  bool OpenEditor(unsigned long parent);
  void CloseEditor();
  void IdleEditor();
  bool EditorSize(int& width, int& height) const;
  // The editor's panel window while it is open, else 0.
  unsigned long EditorWindow() const;

 private:
  Engine(EngineHost& host, double sampleRate, const char* productName, const char* directory);

  // The plug-in's questions and notices, answered for the format.
  void ParameterEdited(int index, float value) override;
  bool StateChanged() override;
  bool ResizeEditor(int width, int height) override;
  bool CanResizeEditor() override;
  bool HostVendor(char* text) override;
  bool HostProduct(char* text) override;
  int HostVendorVersion() override;
  const char* LibraryPath() override;
  bool SendEvents(VstEvents* events) override;

  EngineHost& host;
  double sampleRate;
  std::string productName;
  std::string directory;
  std::unique_ptr<VSTPlugin> plugin;
  bool editorOpening = false;
  // The block's messages from the host, taken by the engine as they are.
  static constexpr uint32_t kMaxReceived = 256;
  EngineEvent received[kMaxReceived];
  uint32_t receivedCount = 0;
};

}  // namespace vantorine
