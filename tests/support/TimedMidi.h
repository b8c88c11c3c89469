// A MIDI message a plug-in sent, at its frame of the block, as the test hosts of every format record it.
#pragma once

#include <cstdint>
#include <vector>

namespace testsupport {

using Bytes = std::vector<uint8_t>;

struct TimedMidi {
  uint32_t frame;
  Bytes bytes;
  bool operator==(const TimedMidi& other) const { return frame == other.frame && bytes == other.bytes; }
};

}  // namespace testsupport
