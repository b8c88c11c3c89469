// One send of a preset, given out a message at a time: its System Exclusive list, paced on the MIDI line,
// the settle time counted in frames from the end of the list's last message on the line, then its strips
// in strip-number order. The processing call hands its host each message when it is due and as the host
// has room, and the next call goes on from the same place: a send of any size arrives whole and in order
// at any block size, kept in no more than the preset's copy and one strip's messages. Audio thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/PublishedPresets.h"
#include "plugin/StripMessages.h"
#include "plugin/WireClock.h"

class PresetSend {
 public:
  // A System Exclusive message of the list (`sysex` set), or a strip's short message.
  struct Message {
    const uint8_t* sysex;
    uint32_t sysexSize;
    ShortMessage message;
  };

  // Ends the send in progress and starts the send of the preset as it is now, read whole, so that its list
  // and its strips are of one version. False, and no send, when the preset was being replaced each time it
  // looked. Only a list of whole messages goes out: a module would take the rest of a broken one as other
  // messages. Without a list there is no wait, whatever the settle time.
  bool Start(const PublishedPresets& presets, int preset, double sampleRate);
  void End() { stage = Stage::kDone; }

  // A message waits to go out: the list's next when the line is free, a strip's at once.
  bool HasMessage() const { return stage == Stage::kList || stage == Stage::kStrips; }
  // The list goes out, or waits for the line.
  bool InList() const { return stage == Stage::kList; }
  // Waiting for the settle time, strips to follow.
  bool Settling() const { return stage == Stage::kSettling; }
  // Between two messages of the list or two strips: a send that takes over here cuts no message apart,
  // and no strip's Bank Select from its Program Change.
  bool AtBreak() const { return stage == Stage::kList || (stage == Stage::kStrips && messageAt == 0); }
  // What goes out next; only while HasMessage.
  Message Next() const;
  // The message Next gave went out at `frame` of the block, and is on the line from there.
  void Advance(int64_t frame, WireClock& line);
  // While settling: the block has `frames` frames. True when the wait ends inside them, at `readyFrame`;
  // otherwise what is left of it is counted from the next block's start.
  bool CountDown(int64_t frames, int64_t& readyFrame);
  // While settling: the frames left, from the start of the next block.
  int64_t SettleFramesLeft() const { return framesLeft; }
  // While InList: the frames until the strips are due, from the current block's start, if each message
  // left goes out as soon as the line is free.
  int64_t ListFramesLeft(const WireClock& line) const;

 private:
  enum class Stage { kDone, kList, kSettling, kStrips };
  void EnterStrips(int from);

  VSTPluginProgram record;
  VSTPluginProgramExtension extension;
  Stage stage = Stage::kDone;
  size_t listLength = 0;
  size_t listAt = 0;
  size_t messageLength = 0;  // of the list's message at listAt
  size_t messagesLeft = 0;   // from listAt on
  int gapMs = 0;
  int64_t settleFrames = 0;
  int64_t framesLeft = 0;
  int slot = 0;
  int messageAt = 0;
  int messageCount = 0;
  ShortMessage stripMessages[kMaxStripMessages];
};
