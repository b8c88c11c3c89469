// The MIDI engine: incoming events, MIDI thru with its held-note table, the
// notes-off flush, and what the processing calls hand the host (the sends of
// the presets are in VSTPluginSend.cpp). Everything here that the audio thread runs works on fixed
// arrays inside the plug-in and waits on no other thread.
#include <array>
#include <cstring>

#include "midi/MidiMessageLength.h"
#include "plugin/MidiEventMaking.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"

namespace {

constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kProgramChange = 0xC0;

// The length of a short message from its status byte, looked up: every event handed out plainly asks.
constexpr auto kMessageLength = [] {
  std::array<uint8_t, 256> lengths{};
  for (int status = 0; status < 256; ++status)
    lengths[status] = static_cast<uint8_t>(MidiMessageLength(static_cast<uint8_t>(status)));
  return lengths;
}();

}  // namespace

VstInt32 VSTPlugin::processEvents(VstEvents* events) {
  if (!events || events->numEvents <= 0) return 0;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = events->events[i];
    if (event && event->type == kVstMidiType) inputQueue.Push(*reinterpret_cast<const VstMidiEvent*>(event));
  }
  return 0;
}

void VSTPlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
  Process(inputs, outputs, sampleFrames, kAdd);
}

void VSTPlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  Process(inputs, outputs, sampleFrames, kReplace);
}

void VSTPlugin::Process(float** inputs, float** outputs, VstInt32 sampleFrames, AudioMode mode) {
  if (IsSuspended()) return;
  line.BlockDone(blockFrames);
  if (dropWaitingSend.exchange(false, std::memory_order_acq_rel)) {
    // A list under way goes on after the stop, on a line that has gone quiet meanwhile.
    if (send.Settling()) send.End();
    line.Reset();
    PublishSettleLeft(0);
  }
  // The host has read the SysEx bytes of the last call by now.
  sysexOutUsed = 0;
  blockFrames = sampleFrames;
  ownFrame = 0;
  midiInProcess();
  AdvanceWaitingSend();
  if (inputs && outputs) {
    for (int channel = 0; channel < 2; ++channel) {
      const float* in = inputs[channel];
      float* out = outputs[channel];
      if (!in || !out) continue;
      if (mode == kReplace) {
        if (in != out && sampleFrames > 0) std::memmove(out, in, sizeof(float) * sampleFrames);
      } else {
        for (VstInt32 i = 0; i < sampleFrames; ++i) out[i] += in[i];
      }
    }
  }
  midiPostProcess();
  NotesOffHandshake();
}

void VSTPlugin::midiInProcess() {
  PassPlainInput();
  VstMidiEvent event;
  while (inputQueue.Pop(event)) {
    if (notesOffPending.load(std::memory_order_acquire)) continue;
    PassIncomingEvent(event);
  }
}

// A format's plain messages go through as the host's would, without a queue: they come on this thread, and
// what passes waits for the hand-out with its bytes inline, never in an effect's event form.
void VSTPlugin::PassPlainInput() {
  const uint32_t count = plainInputCount;
  plainInputCount = 0;
  plainPassedCount = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const vantorine::EngineEvent& plain = plainInput[i];
    if (plain.size == 0 || plain.size > 3 || notesOffPending.load(std::memory_order_acquire)) continue;
    uint8_t bytes[3] = {plain.bytes[0], plain.size > 1 ? plain.bytes[1] : uint8_t{0},
                        plain.size > 2 ? plain.bytes[2] : uint8_t{0}};
    if (!PassMessage(bytes) || plainPassedCount == MidiEventQueue::kCapacity) continue;
    // The bytes go in as one word: what reads them back then loads what one store wrote.
    const uint32_t word = bytes[0] | bytes[1] << 8 | bytes[2] << 16;
    std::memcpy(plainBytes[plainPassedCount], &word, sizeof(word));
    plainEvents[plainPassedCount] = {plain.frame, kMessageLength[bytes[0]], plainBytes[plainPassedCount]};
    ++plainPassedCount;
  }
}

// The host's other fields go out as they came, and its bytes too when they were whole already: the queue's
// copy of the event reads them as wider words, which waits for a store made just before, so a store is made
// only where a byte changes. The bytes are read and written as one word, first byte lowest.
void VSTPlugin::PassIncomingEvent(VstMidiEvent& event) {
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "a message's bytes are read as a little-endian word");
  uint32_t word;
  std::memcpy(&word, event.midiData, sizeof(word));
  uint8_t bytes[3] = {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word >> 16)};
  if (!PassMessage(bytes)) return;
  const uint32_t passed = bytes[0] | bytes[1] << 8 | bytes[2] << 16;
  if (passed != word) std::memcpy(event.midiData, &passed, sizeof(passed));
  outputQueue.Push(event);
}

bool VSTPlugin::PassMessage(uint8_t bytes[3]) {
  // A host can hand us anything: a message must start with a status byte, and
  // its data bytes are kept in range before anything is passed on. System
  // Exclusive never comes as a short event: a start or end of one there would
  // leave the module's input inside a message that never ends.
  if ((bytes[0] & 0x80) == 0 || bytes[0] == 0xF0 || bytes[0] == 0xF7) return false;
  bytes[1] &= 0x7F;
  bytes[2] &= 0x7F;
  const bool thru = LoadShared(CurrentProgram().midiThru) != 0;
  const uint8_t status = bytes[0] & 0xF0;
  if (status == kNoteOn || status == kNoteOff) {
    if (!thru) return false;
    return status == kNoteOn && bytes[2] != 0 ? PassNoteStart(bytes) : PassNoteEnd(bytes);
  }
  if (status == kProgramChange && LoadShared(CurrentProgram().presetSwitching)) {
    setProgram(bytes[1]);
    return false;
  }
  return thru;
}

// A note held already that starts again goes out too; one the table has no room for does not.
bool VSTPlugin::PassNoteStart(const uint8_t bytes[3]) {
  return heldNotes.NoteStart(bytes[0] & 0x0F, bytes[1], bytes[2]) != HeldNoteTable::Start::Full;
}

bool VSTPlugin::PassNoteEnd(uint8_t bytes[3]) {
  const int channel = bytes[0] & 0x0F;
  if (!heldNotes.NoteEnd(channel, bytes[1])) return false;
  bytes[0] = static_cast<uint8_t>(kNoteOff + channel);
  bytes[2] = 0;
  return true;
}

void VSTPlugin::midiPostProcess() { SendQueuedEventsToHost(); }

// Hosts take a block's events in time order, and some drop or reorder what is not. What passed through
// waits at its own frames, and the plug-in's own sends behind it at the start of the block or where the
// settle time ended: an insertion sort puts each in its place, keeps events of one frame in the order they
// came, allocates nothing, and costs one comparison per event when the list is in order already.
template <typename Event, typename FrameOf>
static void PutInTimeOrder(Event* events, uint32_t count, FrameOf frameOf) {
  for (uint32_t i = 1; i < count; ++i) {
    const Event moving = events[i];
    uint32_t j = i;
    for (; j > 0 && frameOf(events[j - 1]) > frameOf(moving); --j) events[j] = events[j - 1];
    events[j] = moving;
  }
}

// What passed through in this block, then as many of the plug-in's own events as the host has room for
// (VSTPluginSend.cpp), in one list.
void VSTPlugin::SendQueuedEventsToHost() {
  VstInt32 count = eventSink ? static_cast<VstInt32>(plainPassedCount) : 0;
  const VstInt32 firstQueued = count;
  while (count < static_cast<VstInt32>(MidiEventQueue::kCapacity) && outputQueue.Pop(hostEventStore[count])) {
    hostEvents.events[count] = reinterpret_cast<VstEvent*>(&hostEventStore[count]);
    ++count;
  }
  HandOutOwnEvents(count);
  if (eventSink) {
    HandOutPlain(firstQueued, count);
    return;
  }
  if (count == 0) return;
  PutInTimeOrder(hostEvents.events, count, [](const VstEvent* event) { return event->deltaFrames; });
  hostEvents.numEvents = count;
  hostEvents.reserved = 0;
  sendVstEventsToHost(reinterpret_cast<VstEvents*>(&hostEvents));
}

// The plain messages that passed through are in the list already; what came in the effect's form (the
// plug-in's own) joins them from `first` on.
void VSTPlugin::HandOutPlain(VstInt32 first, VstInt32 count) {
  for (VstInt32 i = first; i < count; ++i) {
    const VstEvent* event = hostEvents.events[i];
    if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      plainEvents[i] = {sysex->deltaFrames, static_cast<uint32_t>(sysex->dumpBytes),
                        reinterpret_cast<const uint8_t*>(sysex->sysexDump)};
      continue;
    }
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
    const auto* bytes = reinterpret_cast<const uint8_t*>(midi->midiData);
    // Every event here was checked or made whole by the engine: its status byte gives its length.
    plainEvents[i] = {midi->deltaFrames, kMessageLength[bytes[0]], bytes};
  }
  if (count == 0) return;
  PutInTimeOrder(plainEvents, static_cast<uint32_t>(count),
                 [](const vantorine::EngineEvent& event) { return event.frame; });
  eventSink->EngineEvents(plainEvents, static_cast<uint32_t>(count));
}

// Thru went off: this call drops what comes in and queues the Note Offs, the
// next one sends them, and the one after is back to normal.
void VSTPlugin::NotesOffHandshake() {
  if (!notesOffPending.load(std::memory_order_acquire)) return;
  if (!notesOffQueued) {
    edit();
    if (notesOffPending.load(std::memory_order_acquire)) notesOffQueued = true;
  } else {
    notesOffQueued = false;
    notesOffPending.store(false, std::memory_order_release);
  }
}

void VSTPlugin::edit() {
  flushLock.Lock();
  heldNotes.Flush([this](int channel, int note) {
    PushGenerated(static_cast<uint8_t>(kNoteOff + channel), static_cast<uint8_t>(note), 0);
  });
  flushLock.Unlock();
}

void VSTPlugin::PushGenerated(uint8_t status, uint8_t data1, uint8_t data2) {
  generatedQueue.Push(MakeMidiEvent(status, data1, data2, 0));
}
