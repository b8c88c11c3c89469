// A VST 2 host for one plug-in instance, for tests and the command-line host: it loads the file, answers
// the plug-in's callback, drives the dispatcher and processing with real buffers, and collects what the
// plug-in hands back (MIDI events with the block they arrived in, automation and window-size requests).
// Several hosts may run side by side; a host can unload its plug-in and load it again.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "host/PluginLibrary.h"
#include "vst/VstInterface.h"

// How the host presents itself; tests change it to pose as other hosts. Must be set before load().
struct HostSettings {
  VstIntPtr version = 2400;  // 0 asks the plug-in to refuse to load.
  std::string vendor = "velkaro";
  std::string product = "vantorine-host";
  VstIntPtr vendorVersion = 106;
  bool answerStrings = true;  // False: string requests get 0 and an untouched buffer, as during some scans.
  std::set<std::string> canDo = {"sendVstEvents",       "sendVstMidiEvent", "receiveVstEvents",
                                 "receiveVstMidiEvent", "sizeWindow",       "supplyIdle"};
  VstInt32 blockSize = 512;
  float sampleRate = 44100.0f;
};

// An event the plug-in handed over, copied at once because the plug-in reuses its memory.
struct ReceivedEvent {
  VstMidiEvent event;     // Other event types keep only their type and frame; the MIDI fields are zero.
  int64_t block;          // Number of the processing block (from 1), or the last one begun if outside.
  bool duringProcessing;  // False when it came from another thread or between blocks.
  double seconds;         // Since the host was created.
  // Where in the audio it was sent: the frames of the blocks before its own and its frame, in seconds at
  // the host's rate. Meaningful during processing only.
  double streamSeconds;
  // A System Exclusive event's bytes, or, when they could not be taken, why (its declared size in front).
  std::vector<uint8_t> sysex;
  std::string sysexRefusal;
  const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(event.midiData); }
};

struct AutomationCall {
  VstInt32 index;
  float value;
};

struct WindowSizeCall {
  VstInt32 width;
  VstInt32 height;
};

// Takes the events the plug-in hands over during processReplacingWith(), on the processing thread, in
// place of the collection: a real-time host that must neither allocate nor wait installs one.
class ProcessingEventSink {
 public:
  virtual ~ProcessingEventSink() = default;
  virtual void takeEvents(const VstEvents& list) = 0;
};

class VstHost {
 public:
  explicit VstHost(HostSettings settings = HostSettings());
  VstHost(const VstHost&) = delete;
  VstHost& operator=(const VstHost&) = delete;
  ~VstHost() { unload(); }

  // Loads the file and creates an instance (effOpen, sample rate and block size sent). Returns false
  // with error() set if the file, its entry point or the instance is unusable.
  bool load(const std::string& path);
  // Suspends a running instance, then effClose; returns effClose's answer (0 if nothing was open).
  VstIntPtr close();
  // close(), then lets go of the file.
  void unload();

  const std::string& error() const { return lastError; }
  AEffect* effect() const { return fx; }
  HostSettings& settings() { return config; }
  const PluginLibrary& library() const { return module; }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  // Text answers read from a zeroed buffer, so a plug-in that writes nothing gives "".
  std::string dispatchText(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);
  std::string programName(VstInt32 index) { return dispatchText(effGetProgramNameIndexed, index); }
  std::string parameterName(VstInt32 index) { return dispatchText(effGetParamName, index); }
  std::string parameterDisplay(VstInt32 index) { return dispatchText(effGetParamDisplay, index); }
  std::string parameterLabel(VstInt32 index) { return dispatchText(effGetParamLabel, index); }
  VstIntPtr canDo(const char* text) { return dispatch(effCanDo, 0, 0, const_cast<char*>(text)); }

  void setParameter(VstInt32 index, float value);
  float getParameter(VstInt32 index);
  void setProgram(VstInt32 program) { dispatch(effSetProgram, 0, program); }
  void mainsChanged(bool on);
  // Sets the resend parameter on and off again, which asks the plug-in to send its preset now.
  void resend();
  static constexpr VstInt32 kResendParameter = 0;

  // Chunks: `preset` selects one preset (index 1), else the whole bank (index 0).
  std::vector<uint8_t> getChunk(bool preset);
  VstIntPtr setChunk(const std::vector<uint8_t>& chunk, bool preset);

  // Queues one MIDI message (1 to 3 bytes) for the next processing block.
  void queueMidi(const std::vector<uint8_t>& bytes, VstInt32 deltaFrames = 0);
  // One processReplacing call of settings().blockSize frames, preceded by effProcessEvents when MIDI is
  // queued. Outputs are cleared first, so an idle plug-in leaves silence.
  void processBlock();
  // One cycle on the caller's buffers for a real-time host: effProcessEvents with `events` (if any), then
  // processReplacing. Allocates nothing and takes no lock; what the plug-in sends meanwhile goes to the
  // sink. Only the processing thread may call it while a sink is installed.
  void processReplacingWith(VstEvents* events, float** ins, float** outs, VstInt32 frames);
  // Installed before processing starts and removed after it has stopped; null restores collection.
  void setProcessingSink(ProcessingEventSink* sink) { processingSink = sink; }
  int64_t blocksStarted() const;
  std::vector<float>& input(size_t channel) { return inputs.at(channel); }
  const std::vector<float>& output(size_t channel) const { return outputs.at(channel); }

  // What the plug-in handed back, in arrival order; the take functions also clear.
  std::vector<ReceivedEvent> events() const;
  std::vector<ReceivedEvent> takeEvents();
  void clearEvents();
  std::vector<AutomationCall> automationCalls() const;
  std::vector<WindowSizeCall> sizeWindowCalls() const;
  // Called, on the plug-in's thread, with every audioMasterSizeWindow request after it is recorded; an
  // editor window sets it to follow the plug-in's size. It must not wait for the thread that replaces
  // it: replacing it (an empty function stops it) waits for a call in flight to return.
  void setSizeWindowListener(std::function<void(VstInt32 width, VstInt32 height)> listener);
  // How often the plug-in used each audioMaster opcode since load().
  int callbackCount(VstInt32 opcode) const;
  double secondsSinceStart() const;

 private:
  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void collectEvents(const VstEvents* list);
  VstIntPtr copyString(const std::string& text, void* ptr) const;
  void prepareBuffers();
  void startBlockFrames(VstInt32 frames);

  HostSettings config;
  PluginLibrary module;
  AEffect* fx = nullptr;
  bool mainsOn = false;
  std::string lastError;
  const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

  std::vector<std::vector<float>> inputs, outputs;
  std::vector<float*> inputPointers, outputPointers;
  std::vector<VstMidiEvent> pendingMidi;
  ProcessingEventSink* processingSink = nullptr;

  // Written by the plug-in's threads through the callback, read by the host's.
  mutable std::mutex collectedLock;
  std::atomic<int64_t> blockCount{0};
  // The frames processed before the block in progress, and with it.
  std::atomic<int64_t> blockStartFrame{0};
  int64_t framesProcessed = 0;
  std::vector<ReceivedEvent> received;
  std::vector<AutomationCall> automation;
  std::vector<WindowSizeCall> windowSizes;
  std::mutex listenerLock;
  std::function<void(VstInt32, VstInt32)> sizeWindowListener;
  // The opcodes hosts know fit the array, counted without a lock so that processing can count them;
  // any other number goes to the map under collectedLock.
  static constexpr VstInt32 kCountedOpcodes = 64;
  std::array<std::atomic<int>, kCountedOpcodes> knownCallbackCounts{};
  std::map<VstInt32, int> otherCallbackCounts;
};
