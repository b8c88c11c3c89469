// Runs a loaded plug-in inside a JACK client, which is how the host program works without a DAW: ports
// midi_in, midi_out, in_1, in_2, out_1 and out_2, and in JACK's process callback the cycle's incoming MIDI
// handed to the plug-in at its frames, processReplacing on the cycle's audio, and what the plug-in sends
// written to midi_out at its frames, in frame order, each System Exclusive as one event. The callback runs
// on JACK's real-time thread: it allocates nothing, takes no lock and prints nothing. MIDI queued by the
// host's actions reaches it, and what it sent leaves it for printing, through lock-free rings; the
// server's buffer-size changes suspend and resume the plug-in around the new size, and the server going
// away and connections made or undone are reported to whoever polls.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "host/SysexDump.h"
#include "host/VstHost.h"
#include "threading/SingleWriterRing.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

class JackClient : private ProcessingEventSink {
 public:
  // One message the plug-in sent on midi_out, for the printing thread.
  struct SentMessage {
    double seconds;  // Since the client was opened.
    uint32_t frame;  // Offset in its cycle.
    std::vector<uint8_t> bytes;
  };
  // Called on the processing thread as a cycle begins (true) and ends (false); lets a test watch what
  // the callback does, such as allocating.
  using CycleHook = void (*)(bool entering);

  static constexpr const char* kPortNames[] = {"midi_in", "midi_out", "in_1", "in_2", "out_1", "out_2"};
  // The most frames a JACK server puts in one cycle; the spare channel buffers are this long.
  static constexpr uint32_t kMaxFrames = 8192;

  explicit JackClient(VstHost& host);
  ~JackClient() override;
  JackClient(const JackClient&) = delete;
  JackClient& operator=(const JackClient&) = delete;

  // Connects to the server (`server` empty: the one the JACK environment names) without ever starting
  // one, and registers the ports. Returns the empty string on success, else a one-line reason.
  std::string open(const std::string& name, const std::string& server);
  // The name the server gave us: ours, or with a number added when another client has it.
  const std::string& name() const { return clientName; }
  uint32_t sampleRate() const;
  // The cycle length the plug-in was last told.
  uint32_t bufferSize() const;

  // Starts the callback on the loaded plug-in, whose sample rate, block size and mains the caller has
  // set from this client. Returns the empty string on success, else a one-line reason.
  std::string activate();
  // Connects two ports, ours by their short names, in whichever direction their kinds allow. Returns the
  // empty string on success (also when they were connected already), else a one-line reason.
  std::string connect(const std::string& first, const std::string& second);
  // Waits until `count` more cycles have run, or `limit` passed. A connection is made in the server's
  // next graph, which a cycle after it takes up: what is queued once two cycles ran reaches the port.
  void waitForCycles(int count, std::chrono::milliseconds limit) const;
  // Stops the callback; afterwards the plug-in is the caller's alone again.
  void deactivate();

  // Normal thread: queues one MIDI message for the start of the next cycle. False when the queue is full.
  bool queueMidi(const std::vector<uint8_t>& bytes);
  // Printing thread: the next message sent on midi_out. False when there is none yet.
  bool takeSent(SentMessage& message);
  // Messages that midi_out or the printing rings had no room for.
  uint64_t droppedOnPort() const { return portDrops; }
  uint64_t droppedFromPrinting() const { return printDrops; }
  // System Exclusive events the plug-in handed over that are not one whole message of a size to believe.
  uint64_t refusedSysex() const { return sysexRefusals; }
  // Set, once, when the server shut the client down; the reason is the server's.
  bool serverGone() const { return shutDown; }
  std::string shutdownReason() const;
  // How often a buffer-size change suspended and resumed the plug-in.
  int bufferSizeChanges() const { return resizes; }
  // How many Program Changes the plug-in was handed, queued or from midi_in.
  uint64_t programChangesIn() const { return programChanges; }
  // Whether a connection was made or undone anywhere in the graph since the last call; what changed is for
  // the caller to read.
  bool takeConnectionsChanged() { return connectionsChanged.exchange(false, std::memory_order_acq_rel); }
  // Normal thread: the full names of the ports connected to midi_out.
  std::vector<std::string> midiOutConnections() const;

  void setCycleHook(CycleHook hook) { cycleHook = hook; }

 private:
  struct QueuedMidi {
    uint8_t size;
    uint8_t bytes[3];
  };
  // A message the plug-in handed over in this cycle; its bytes are in outgoingBytes.
  struct OutgoingMessage {
    VstInt32 frame;
    uint32_t offset;
    uint32_t size;
  };
  // A message on its way to printing; its bytes follow in sentBytes.
  struct SentRecord {
    double seconds;
    uint32_t frame;
    uint32_t size;
  };
  static constexpr size_t kMaxEventsIn = 512;
  static constexpr size_t kMaxEventsOut = 1024;
  // Room for a cycle's short messages and one System Exclusive of the largest size taken.
  static constexpr size_t kMaxBytesOut = 3 * kMaxEventsOut + kMaxSysexDumpBytes;
  // What the printing thread may fall behind by: messages, and their bytes.
  static constexpr size_t kPrintedMessages = 4096;
  static constexpr size_t kPrintedBytes = 2 * kMaxSysexDumpBytes;
  static constexpr int kMaxChannels = 8;
  // The layout of VstEvents with room for a cycle's events.
  struct EventList {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[kMaxEventsIn];
  };

  static int processEntry(uint32_t frames, void* self);
  static int bufferSizeEntry(uint32_t frames, void* self);
  static void shutdownEntry(int status, const char* reason, void* self);
  static void connectEntry(uint32_t first, uint32_t second, int connected, void* self);

  // Processing thread.
  int process(uint32_t frames);
  void gatherInput(uint32_t frames);
  void writeOutput(void* port, uint32_t frames);
  void handToPrinting(double seconds, uint32_t frame, const uint8_t* bytes, uint32_t size);
  void takeEvents(const VstEvents& list) override;
  void takeMessage(VstInt32 frame, const uint8_t* bytes, size_t size);
  // JACK's notification thread.
  void changeBufferSize(uint32_t frames);
  std::string fullName(const std::string& port) const;

  VstHost& host;
  jack_client_t* client = nullptr;
  std::string clientName;
  jack_port_t* midiIn = nullptr;
  jack_port_t* midiOut = nullptr;
  jack_port_t* audioIn[2] = {};
  jack_port_t* audioOut[2] = {};
  bool active = false;
  CycleHook cycleHook = nullptr;
  uint64_t startMicros = 0;

  // Processing thread only, sized here so that a cycle never allocates.
  VstMidiEvent incoming[kMaxEventsIn];
  EventList list{};
  OutgoingMessage outgoing[kMaxEventsOut];
  size_t outgoingCount = 0;
  uint8_t outgoingBytes[kMaxBytesOut];
  size_t outgoingByteCount = 0;
  std::vector<float> spareIn, spareOut;
  float* inputs[kMaxChannels] = {};
  float* outputs[kMaxChannels] = {};

  tovo::threading::SingleWriterRing<QueuedMidi, 256> queued;
  tovo::threading::SingleWriterRing<SentRecord, kPrintedMessages> sent;
  tovo::threading::SingleWriterRing<uint8_t, kPrintedBytes> sentBytes;
  // Counted through a cycle and published at its end, so that a cycle's losses are reported in one line.
  struct Losses {
    uint64_t port = 0;
    uint64_t printing = 0;
    uint64_t sysex = 0;
  };
  Losses cycleLosses;
  std::atomic<uint64_t> portDrops{0};
  std::atomic<uint64_t> printDrops{0};
  std::atomic<uint64_t> sysexRefusals{0};
  std::atomic<uint64_t> programChanges{0};
  std::atomic<uint32_t> sampleRateNow{0};
  std::atomic<uint32_t> blockSizeNow{0};

  // A buffer-size change waits for the cycle in flight, and cycles meanwhile leave the plug-in alone.
  std::atomic<bool> inCycle{false};
  std::atomic<bool> resizing{false};
  std::atomic<int> resizes{0};
  std::atomic<bool> shutDown{false};
  std::atomic<bool> connectionsChanged{false};
  std::atomic<uint64_t> cyclesRun{0};
  char shutdownText[256] = {};
};
