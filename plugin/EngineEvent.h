// A MIDI message as the engine hands it to a plug-in format, and who takes the messages of a block.
#pragma once

#include <cstdint>

namespace vantorine {

// One whole message at a frame of the block in progress: a short one of 1 to 3 bytes or a System
// Exclusive. The bytes stay where they are until the engine's next block.
struct EngineEvent {
  int32_t frame;
  uint32_t size;
  const uint8_t* bytes;
};

class EngineEventSink {
 public:
  virtual ~EngineEventSink() = default;
  // Audio thread, inside the engine's block: its messages, passed through and its own, in time order.
  virtual void EngineEvents(const EngineEvent* events, uint32_t count) = 0;
};

}  // namespace vantorine
