// The plug-in that does the job: 128 presets of up to 16 strips, the
// parameters through which host and editor change them, the MIDI engine that
// sends each strip's Program Change, Bank Select and volume, passes MIDI
// through and ends the notes it passed, the delay timer, and the stored chunk.
//
// Threads: host threads call the preset and parameter operations; the audio
// thread calls processEvents/process/processReplacing and, through preset
// switching, setProgram; the delay-timer thread sends after its countdown.
// The processing path allocates nothing and waits on no lock.
#pragma once

#include <semaphore.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "plugin/EngineEvent.h"
#include "plugin/HeldNoteTable.h"
#include "plugin/MidiEventQueue.h"
#include "plugin/PresetSend.h"
#include "plugin/PublishedPresets.h"
#include "plugin/WireClock.h"
#include "plugin/SPlugin.h"
#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"
#include "threading/SMutexID.h"
#include "threading/SThread.h"
#include "threading/SingleWriterRing.h"

class VSTPlugin : public SPlugin {
 public:
  // Parameters the host sees, and the indexes the editor and the timer use.
  enum ParameterIndex {
    kResend = 0,
    kMidiThru = 1,
    kBankSelectFirst = 2,
    kInitSend = 3,
    kInitDelay = 4,
    kChangeSend = 5,
    kChangeDelay = 6,
    kPresetSwitching = 7,
    kStripChannel = 8,
    kStripProgram = 24,
    kStripBankMsb = 40,
    kStripBankLsb = 56,
    kStripSwap = 72,
    kStripVolume = 88,
    kEditorSignalFirst = 104,
    kSignalTimerState = 107,
    kSignalTimerSecond = 108,
    kSignalTimerEnd = 109,
    // The strips' wait for the settle time began, went on by 10 ms or ended.
    kSignalSettle = 110,
    kEditorSignalLast = 110,
  };
  enum TimerKind { kTimerInit = 0, kTimerChange = 1 };

  VSTPlugin(vantorine::PluginHost& host, int& status);
  ~VSTPlugin() override;

  // Presets.
  void setProgram(VstInt32 program) override;
  void getProgramName(char* name) override;
  void setProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  void copySelProgram();
  void pasteSelProgram();

  // Parameters.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  void getParameterName(VstInt32 index, char* text) override;
  void getParameterLabel(VstInt32 index, char* text) override;
  void getParameterDisplay(VstInt32 index, char* text) override;

  // MIDI engine.
  VstInt32 processEvents(VstEvents* events) override;
  // Audio thread, for a format that hands MIDI over plainly instead of through processEvents: the short
  // messages (1 to 3 bytes) of the next processing call, at their frames, passed by that call as they are,
  // before anything processEvents queued. They must stay where they are until it returns.
  void ReceiveMidi(const vantorine::EngineEvent* events, uint32_t count) {
    plainInput = events;
    plainInputCount = count;
  }
  // Where a processing call's events go as plain messages instead of to the VST 2 host; set before
  // processing begins, null for the host.
  void SetEventSink(vantorine::EngineEventSink* sink) { eventSink = sink; }
  void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void suspend() override;
  // Asks for the current preset's send: its SysEx list and, after the settle time, its strip messages.
  // The request leaves with the next processing call, which sends them.
  void sendPCData();
  // Audio thread, before a processing call: how many of the plug-in's own events, and how many bytes of
  // System Exclusive among them, the host can take from this call and the next; what does not fit waits in
  // the plug-in. A VST 2 host takes a whole hand-out (256 events) and never needs to call this; an adapter
  // that keeps what its own host has no room for tells how much more it can keep.
  void SetOwnEventRoom(uint32_t events, uint32_t sysexBytes);
  // Any thread but the audio thread: sends the Bank Select and Program Change of a strip with these values
  // (its channel, program, banks and bank order) in the next block, in the current preset's order, and
  // stores nothing: the module plays a sound before the user chooses it.
  void AuditionStrip(const VSTPluginStrip& values);
  void startTimer(bool start);
  // Ends and joins the timer thread; a derived class whose overrides the timer
  // calls must do this in its own destructor. Safe to call more than once.
  void ShutdownTimer();
  void midiInProcess();
  void midiPostProcess();
  // The notes-off flush: a Note Off for every note passed through, then the table is empty.
  void edit();

  // Stored state.
  VstInt32 getChunk(void** data, bool isPreset) override;
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;

  // The presets as they are now, for fields read alone (with LoadShared).
  const VSTPluginProgram& CurrentProgram() const { return presets.Record(curProgram); }
  const VSTPluginProgramExtension& CurrentExtension() const { return presets.Extension(curProgram); }
  const VSTPluginProgram& Program(int preset) const { return presets.Record(preset); }
  const VSTPluginProgramExtension& Extension(int preset) const { return presets.Extension(preset); }
  // The longest SysEx list preset `preset` may take: a list's own limit, or less when the other presets'
  // lists leave less of the bank's.
  size_t SysexRoom(int preset) const;
  // Changes preset `preset` (0 to 127) from any thread but the audio thread: `edit(record, extension)` works
  // on a copy of it, which then replaces the preset whole. Edits of one plug-in take turns.
  template <typename Edit>
  void EditPreset(int preset, Edit&& edit) {
    std::lock_guard<std::mutex> lock(editLock);
    EditLocked(preset, edit);
  }
  template <typename Edit>
  void EditCurrentPreset(Edit&& edit) {
    EditPreset(curProgram, edit);
  }
  // The global option, written into every preset.
  void SetResetControllersFirst(bool on);
  int& PanelColumns() { return panelColumns; }
  int SecondsLeft() const { return secondsLeft.load(std::memory_order_relaxed); }
  bool TimerRunning() const { return timerRunning.load(std::memory_order_acquire); }
  int TimerKindValue() const { return timerKind.load(std::memory_order_relaxed); }
  // While the strips of a send wait for the settle time: what is left of it, in milliseconds rounded up to
  // the next 10; 0 when none wait.
  int SettleMsLeft() const { return settleMsLeft.load(std::memory_order_relaxed); }

 private:
  enum AudioMode { kAdd, kReplace };
  // What sendPCData puts in the generated queue: a request for the send of the preset in midiData[0],
  // which the processing call carries out. Never handed to the host.
  static constexpr VstInt32 kSendRequestType = 0x53454E44;
  void Process(float** inputs, float** outputs, VstInt32 sampleFrames, AudioMode mode);
  void PassIncomingEvent(VstMidiEvent& event);
  // What becomes of a message from the host, whatever its form: its bytes made whole in place, and true
  // when it passes through.
  bool PassMessage(uint8_t bytes[3]);
  bool PassNoteStart(const uint8_t bytes[3]);
  bool PassNoteEnd(uint8_t bytes[3]);
  void SendQueuedEventsToHost();
  void HandOutPlain(VstInt32 first, VstInt32 count);
  void NotesOffHandshake();
  void PushGenerated(uint8_t status, uint8_t data1, uint8_t data2);
  bool StartSend(int preset);
  bool NewerSendWaiting() const;
  void HandOutOwnEvents(VstInt32& count);
  // What became of a send's next message in this block.
  enum class SendStep { kHandedOut, kNoRoom, kLater };
  SendStep HandOutSendMessage(VstInt32& count);
  void AdvanceWaitingSend();
  void PublishSettleLeft(int64_t framesLeft);

  void SendDecision();
  void ScheduleInitSend();
  void ScheduleSend(int delaySeconds, TimerKind kind);
  bool IsOn(int index) { return getParameter(index) >= 1e-10f; }
  int DelayFromParameter(int index);
  template <typename Edit>
  void EditLocked(int preset, Edit& edit) {
    VSTPluginProgram record;
    VSTPluginProgramExtension extension;
    presets.Read(preset, record, extension);
    const VSTPluginProgram recordBefore = record;
    const VSTPluginProgramExtension extensionBefore = extension;
    edit(record, extension);
    // An edit that changes nothing publishes nothing: readers on the audio thread need not look again.
    if (std::memcmp(&record, &recordBefore, sizeof(record)) == 0 &&
        std::memcmp(&extension, &extensionBefore, sizeof(extension)) == 0)
      return;
    presets.Publish(preset, record, extension, recordBefore.midiThru);
  }
  // The global options are stored in every preset: `edit(preset, record, extension)` for each, in one turn.
  template <typename Edit>
  void EditAllPresets(Edit&& edit) {
    std::lock_guard<std::mutex> lock(editLock);
    for (int preset = 0; preset < kProgramCount; ++preset) {
      auto editThis = [&](VSTPluginProgram& record, VSTPluginProgramExtension& extension) {
        edit(preset, record, extension);
      };
      EditLocked(preset, editThis);
    }
  }
  // A whole copy, for threads other than the audio thread, which may wait for one.
  void ReadPreset(int preset, VSTPluginProgram& record, VSTPluginProgramExtension& extension) const;
  void SetGlobalOption(uint8_t VSTPluginProgram::*field, uint8_t value);
  void SetGlobalDelay(int32_t VSTPluginProgram::*field, int32_t value);
  void Signal(int index) { setParameter(index, 0.f); }

  // The delay timer's thread waits for work and counts down; see timerfunction.
  static void* timerfunction(void* plugin);
  void TimerLoop();
  void RunCountdown(uint32_t generation);
  bool WaitForTimerEvent(long milliseconds);
  bool TimerRunCancelled(uint32_t generation) const;

  PublishedPresets presets;
  // Held by an edit from its copy to its publication, so edits from several threads never undo each other.
  // Never taken on the audio thread.
  mutable std::mutex editLock;
  // A stored chunk, while the host reads it.
  std::vector<uint8_t> chunkImage;
  VSTPluginProgram copyBuffer;
  VSTPluginProgramExtension copyExtension;
  bool copyBufferValid = false;
  std::atomic<bool> resendRequest{false};
  // Room beyond the 64 characters hosts may write, for hosts that write more.
  char hostProductName[4 * kVstMaxProductStrLen] = {};
  int panelColumns = 0;

  // MIDI engine (audio thread unless noted).
  // The events from the host (written by processEvents) and those passed through (written by the
  // processing call) have one writer each; the plug-in's own messages and send requests have several.
  using MidiEventRing = tovo::threading::SingleWriterRing<VstMidiEvent, MidiEventQueue::kCapacity>;
  MidiEventRing inputQueue;
  MidiEventRing outputQueue;
  MidiEventQueue generatedQueue;  // written by host, timer and audio threads
  // Send requests pushed into the generated queue (any thread) and taken out of it (audio thread): a send
  // in progress learns that a newer one waits behind it.
  std::atomic<uint32_t> sendRequestsQueued{0};
  uint32_t sendRequestsTaken = 0;
  VstMidiEvent hostEventStore[MidiEventQueue::kCapacity];
  VstMidiSysexEvent hostSysexStore[MidiEventQueue::kCapacity];
  // The SysEx bytes of this processing call's sends, valid for the host until the next call: the longest
  // message fits, and what does not fit beside others goes out in the next call.
  static constexpr uint32_t kSysexOutBytes = vantorine::midi::kMaxSysexListBytes;
  uint8_t sysexOut[kSysexOutBytes];
  uint32_t sysexOutUsed = 0;
  // What the host can take of the plug-in's own events in a processing call (SetOwnEventRoom).
  struct {
    uint32_t events = MidiEventQueue::kCapacity;
    uint32_t sysexBytes = kSysexOutBytes;
  } ownRoom;
  // The send going out, or whose strips wait for the settle time. Audio thread only; a stop of processing
  // drops the wait through the flag.
  PresetSend send;
  // Where the plug-in's own messages are on the MIDI line; it outlives each send, so that a new one
  // follows the last message of the old. Audio thread only.
  WireClock line;
  // A send whose preset could not be read whole (it was being replaced each time), tried again next block.
  int retrySend = -1;
  // The block in progress, and the frame the plug-in's own events go out at in it: the start, where the
  // settle time ended, or where the last message of a list went out.
  VstInt32 blockFrames = 0;
  VstInt32 ownFrame = 0;
  std::atomic<bool> dropWaitingSend{false};
  // What the settle dial counts down: written by the audio thread (and by suspend, which stops it), each
  // change signalled to the editor.
  std::atomic<int> settleMsLeft{0};
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[MidiEventQueue::kCapacity];
  } hostEvents;
  void PassPlainInput();
  vantorine::EngineEventSink* eventSink = nullptr;
  const vantorine::EngineEvent* plainInput = nullptr;
  uint32_t plainInputCount = 0;
  // The block's list for the sink: what passed through of the plain input first, with its bytes here.
  vantorine::EngineEvent plainEvents[MidiEventQueue::kCapacity];
  uint8_t plainBytes[MidiEventQueue::kCapacity][4];
  uint32_t plainPassedCount = 0;
  HeldNoteTable heldNotes;
  tovo::threading::SMutexID flushLock;
  std::atomic<bool> notesOffPending{false};
  bool notesOffQueued = false;

  // Send scheduling.
  std::atomic<bool> firstProgramPending{true};
  std::atomic<bool> chunkLoaded{true};
  std::atomic<bool> hostWorkaround{false};
  std::atomic<bool> initSendDone{false};

  // Delay timer. A start or stop only changes these and posts the semaphore,
  // so the audio thread can schedule a send without creating a thread or waiting.
  tovo::threading::SThread timerThread{2};
  sem_t timerWake;
  std::atomic<bool> timerShutdown{false};
  std::atomic<uint32_t> timerRequest{0};  // the generation to count down, 0 for none
  std::atomic<uint32_t> timerGeneration{0};
  std::atomic<bool> timerRunning{false};
  std::atomic<int> delaySeconds{0};
  std::atomic<int> secondsLeft{0};
  std::atomic<int> timerKind{kTimerInit};
};
