// The send of a preset: its SysEx list, the settle time, then each strip's messages. A request may come
// from any thread (a resend, the delay timer, a preset change); the processing call carries it out, so
// the list's pace and the settle time are counted in the host's audio frames and each message goes out at
// its own frame, exact in every host and at every block size. Each message of the list waits until the one
// before is through the MIDI line and the preset's gap has passed, and may wait many blocks; meanwhile
// what the plug-in was asked to send after it goes out, as it does during the settle time. What one block
// has no room for goes out at the start of the next, before anything the plug-in sends after it.
//
// A new send takes over from an old one between two messages of its list or two of its strips, never
// inside one message or one strip, so that a module never gets a Bank Select without its Program Change.
// Its list starts once what the old one sent is through the line; the old messages not begun, or strips
// still waiting for the settle time, are not sent. Strips never wait for the line: the port queues their
// short messages, which modules take at any pace.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "midi/MidiMessageLength.h"
#include "plugin/MidiEventMaking.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"

void VSTPlugin::sendPCData() {
  VstMidiEvent request;
  std::memset(&request, 0, sizeof(request));
  request.type = kSendRequestType;
  request.midiData[0] = static_cast<char>(curProgram);
  // Counted before it is queued, so the audio thread never takes a request it has not counted.
  sendRequestsQueued.fetch_add(1, std::memory_order_acq_rel);
  if (!generatedQueue.Push(request)) sendRequestsQueued.fetch_sub(1, std::memory_order_acq_rel);
}

void VSTPlugin::SetOwnEventRoom(uint32_t events, uint32_t sysexBytes) {
  ownRoom.events = std::min<uint32_t>(events, MidiEventQueue::kCapacity);
  ownRoom.sysexBytes = std::min<uint32_t>(sysexBytes, kSysexOutBytes);
}

bool VSTPlugin::NewerSendWaiting() const {
  return static_cast<int32_t>(sendRequestsQueued.load(std::memory_order_acquire) - sendRequestsTaken) > 0;
}

// Audio thread. A preset that could not be read whole is tried again next block, before anything else of
// the plug-in's own; false until then.
bool VSTPlugin::StartSend(int preset) {
  retrySend = -1;
  if (preset < 0 || preset >= kProgramCount) return true;
  PublishSettleLeft(0);
  line.UseRate(sampleRate);
  if (send.Start(presets, preset, sampleRate)) {
    AdvanceWaitingSend();
    return true;
  }
  retrySend = preset;
  return false;
}

// The editor's settle dial shows the wait in its own 10 ms steps: only a change of those is signalled, so
// small blocks do not flood the editor with updates. The signal only sets flags.
void VSTPlugin::PublishSettleLeft(int64_t framesLeft) {
  const double rate = sampleRate > 0 ? sampleRate : 44100.0;
  const double tens = framesLeft > 0 ? std::ceil(static_cast<double>(framesLeft) * 100.0 / rate) : 0.0;
  const int ms = static_cast<int>(tens) * 10;
  if (settleMsLeft.exchange(ms, std::memory_order_relaxed) != ms) Signal(kSignalSettle);
}

// At the start of each block, and when a send has just started or sent a message of its list: the strips
// follow at the frame where the wait ends, in this block or a later one. While the list goes out, the dial
// counts down the time it still needs and the settle time after it.
void VSTPlugin::AdvanceWaitingSend() {
  if (!send.Settling()) {
    if (send.InList()) PublishSettleLeft(send.ListFramesLeft(line) - blockFrames);
    return;
  }
  int64_t readyFrame = 0;
  if (send.CountDown(blockFrames, readyFrame)) {
    ownFrame = std::max(ownFrame, static_cast<VstInt32>(readyFrame));
    PublishSettleLeft(0);
  } else {
    PublishSettleLeft(send.SettleFramesLeft());
  }
}

// Behind what passed through, the plug-in's own events in the order they were asked for, while the host
// has room: the send in progress, then what was queued after it, where a send request starts the next send.
void VSTPlugin::HandOutOwnEvents(VstInt32& count) {
  const uint32_t end = std::min<uint32_t>(MidiEventQueue::kCapacity, count + ownRoom.events);
  const auto limit = static_cast<VstInt32>(end);
  if (retrySend >= 0 && !StartSend(retrySend)) return;
  VstMidiEvent event;
  while (count < limit) {
    if (send.HasMessage()) {
      if (send.AtBreak() && NewerSendWaiting()) {
        send.End();
        continue;
      }
      const SendStep step = HandOutSendMessage(count);
      if (step == SendStep::kNoRoom) return;
      if (step == SendStep::kHandedOut) continue;
    }
    if (!generatedQueue.Pop(event)) return;
    if (event.type == kSendRequestType) {
      ++sendRequestsTaken;
      if (!StartSend(static_cast<uint8_t>(event.midiData[0]))) return;
      continue;
    }
    event.deltaFrames = ownFrame;
    line.Carry(ownFrame, MidiMessageLength(static_cast<uint8_t>(event.midiData[0])));
    hostEventStore[count] = event;
    hostEvents.events[count] = reinterpret_cast<VstEvent*>(&hostEventStore[count]);
    ++count;
  }
}

// A message of the list goes out once the line is free, later in this block or in a later one; its bytes
// may find no room in this block.
VSTPlugin::SendStep VSTPlugin::HandOutSendMessage(VstInt32& count) {
  const PresetSend::Message next = send.Next();
  if (next.sysex) {
    const int64_t start = std::max<int64_t>(ownFrame, line.FreeFrame());
    if (start >= blockFrames) return SendStep::kLater;
    if (sysexOutUsed + next.sysexSize > ownRoom.sysexBytes) return SendStep::kNoRoom;
    ownFrame = static_cast<VstInt32>(start);
    uint8_t* bytes = sysexOut + sysexOutUsed;
    std::memcpy(bytes, next.sysex, next.sysexSize);
    sysexOutUsed += next.sysexSize;
    VstMidiSysexEvent& sysex = hostSysexStore[count];
    std::memset(&sysex, 0, sizeof(sysex));
    sysex.type = kVstSysExType;
    sysex.byteSize = sizeof(VstMidiSysexEvent) - 2 * sizeof(VstInt32);
    sysex.deltaFrames = ownFrame;
    sysex.dumpBytes = static_cast<VstInt32>(next.sysexSize);
    sysex.sysexDump = reinterpret_cast<char*>(bytes);
    hostEvents.events[count] = reinterpret_cast<VstEvent*>(&sysex);
  } else {
    const ShortMessage& message = next.message;
    hostEventStore[count] = MakeMidiEvent(message.status, message.data1, message.data2, ownFrame);
    hostEvents.events[count] = reinterpret_cast<VstEvent*>(&hostEventStore[count]);
  }
  ++count;
  send.Advance(ownFrame, line);
  AdvanceWaitingSend();
  return SendStep::kHandedOut;
}

// The messages go through the generated queue, as a send request does, so the audio thread hands them to
// the host in its next block, in the order pushed.
void VSTPlugin::AuditionStrip(const VSTPluginStrip& values) {
  if (values.channel < 1 || values.channel > 16) return;
  const bool bankSelectFirst = LoadShared(CurrentProgram().bankSelectFirst) != 0;
  ShortMessage select[kMaxSelectMessages];
  const int count = SelectMessages(values, bankSelectFirst, select);
  for (int i = 0; i < count; ++i)
    generatedQueue.Push(MakeMidiEvent(select[i].status, select[i].data1, select[i].data2, 0));
}
