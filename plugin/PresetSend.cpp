// The cursor of a send: where in the list, or in which strip at which message, the next block goes on.
#include "plugin/PresetSend.h"

#include "midi/MidiMessageLength.h"
#include "midi/SysexMessages.h"

bool PresetSend::Start(const PublishedPresets& presets, int preset, double sampleRate) {
  stage = Stage::kDone;
  if (!presets.Read(preset, record, extension)) return false;
  const size_t length = extension.sysexLength;
  listLength =
      length <= vantorine::midi::kMaxSysexListBytes && vantorine::midi::IsSysexList(extension.sysex, length)
          ? length
          : 0;
  if (listLength == 0) {
    EnterStrips(0);
    return true;
  }
  listAt = 0;
  messageLength = vantorine::midi::WholeSysexLength(extension.sysex, listLength);
  messagesLeft = 0;
  vantorine::midi::ForEachSysex(extension.sysex, listLength, [this](const uint8_t*, size_t) { ++messagesLeft; });
  gapMs = extension.sysexGapMs;
  settleFrames = static_cast<int64_t>(static_cast<double>(extension.settleMs) * sampleRate / 1000.0 + 0.5);
  stage = Stage::kList;
  return true;
}

PresetSend::Message PresetSend::Next() const {
  if (stage == Stage::kList) return {extension.sysex + listAt, static_cast<uint32_t>(messageLength), {}};
  return {nullptr, 0, stripMessages[messageAt]};
}

// A strip's messages go out together and queue on the line; the list's next message waits for the gap
// after the one before, its last for nothing: the settle time counts from where it leaves the line.
void PresetSend::Advance(int64_t frame, WireClock& line) {
  if (stage == Stage::kStrips) {
    line.Carry(frame, MidiMessageLength(stripMessages[messageAt].status));
    if (++messageAt == messageCount) EnterStrips(slot + 1);
    return;
  }
  if (stage != Stage::kList) return;
  const int64_t through = line.Carry(frame, messageLength);
  listAt += messageLength;
  --messagesLeft;
  if (listAt < listLength) {
    messageLength = vantorine::midi::WholeSysexLength(extension.sysex + listAt, listLength - listAt);
    line.Rest(gapMs);
    return;
  }
  stage = Stage::kSettling;
  framesLeft = through + settleFrames;
}

bool PresetSend::CountDown(int64_t frames, int64_t& readyFrame) {
  if (stage != Stage::kSettling || frames <= 0) return false;
  if (framesLeft >= frames) {
    framesLeft -= frames;
    return false;
  }
  readyFrame = framesLeft;
  EnterStrips(0);
  return true;
}

int64_t PresetSend::ListFramesLeft(const WireClock& line) const {
  return line.FreeFrameAfter(listLength - listAt, messagesLeft - 1, gapMs) + settleFrames;
}

// The first strip from `from` on that sends anything; the send is done after the last.
void PresetSend::EnterStrips(int from) {
  for (slot = from; slot < kStripCount; ++slot) {
    messageCount = StripMessages(record, extension, slot, stripMessages);
    if (messageCount > 0) {
      messageAt = 0;
      stage = Stage::kStrips;
      return;
    }
  }
  stage = Stage::kDone;
}
