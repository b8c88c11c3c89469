// Reading and writing the atom sequences of the host's port buffers. Hosts do not all align those buffers
// to the eight bytes the atom structs need (jalv 1.6 hands four-byte aligned ones), and a sequence's sizes
// come from outside: so every header is copied out before it is read, every size is checked against the
// end, and output is written through memcpy, header by header.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>

#include <cstdint>
#include <cstring>

namespace vantorine::lv2 {

// The capacity a host gave an output port, or the size of what an input port holds: its atom's size.
inline uint32_t AtomBodySize(const void* port) {
  LV2_Atom atom;
  std::memcpy(&atom, port, sizeof(atom));
  return atom.size;
}

// Calls take(frames, type, body, size) for each event that lies wholly inside the sequence.
template <typename Take>
void ForEachAtomEvent(const void* sequence, Take take) {
  const auto* bytes = static_cast<const uint8_t*>(sequence);
  const uint64_t end = sizeof(LV2_Atom) + static_cast<uint64_t>(AtomBodySize(sequence));
  for (uint64_t offset = sizeof(LV2_Atom_Sequence); offset + sizeof(LV2_Atom_Event) <= end;) {
    LV2_Atom_Event event;
    std::memcpy(&event, bytes + offset, sizeof(event));
    const uint32_t size = event.body.size;
    const uint64_t body = offset + sizeof(LV2_Atom_Event);
    if (body + size > end) return;
    take(event.time.frames, event.body.type, bytes + body, size);
    // A MIDI message's body is one padded word: on a branch that bets on that, the next event's place is
    // known before this one's size has been read, and the reads of a block's events overlap.
    if (size - 1 < sizeof(uint64_t))
      offset = body + sizeof(uint64_t);
    else
      offset = body + lv2_atom_pad_size(size);
  }
}

// Writes a sequence straight into a host's output port, one whole event at a time: an event that does
// not fit is refused and leaves nothing behind, so a host never finds a cut event in its buffer. The port
// holds its capacity in its atom's size when the run starts; Finish writes the header with what was put in.
// Headers go out as whole 64-bit words built in registers (the atom layouts are little-endian memory
// images): this runs for every event of every block.
class AtomSequenceWriter {
 public:
  // A port the host left unconnected has no room: everything is refused and nothing is written.
  AtomSequenceWriter(void* port, uint32_t sequenceType)
      : bytes(static_cast<uint8_t*>(port)),
        capacity(port ? sizeof(LV2_Atom) + static_cast<uint64_t>(AtomBodySize(port)) : 0),
        used(sizeof(LV2_Atom_Sequence)),
        type(sequenceType) {}

  // False, with nothing written, when the event does not fit.
  bool Append(int64_t frames, uint32_t bodyType, const void* body, uint32_t size) {
    const uint64_t padded = lv2_atom_pad_size(size);
    if (used + sizeof(LV2_Atom_Event) + padded > capacity) return false;
    uint8_t* at = PutHead(frames, bodyType, size);
    std::memcpy(at, body, size);
    std::memset(at + size, 0, padded - size);
    used += sizeof(LV2_Atom_Event) + padded;
    return true;
  }

  // The same for a body of at most eight bytes packed in a word, first byte lowest: a short MIDI message.
  bool AppendPacked(int64_t frames, uint32_t bodyType, uint64_t body, uint32_t size) {
    if (used + sizeof(LV2_Atom_Event) + sizeof(body) > capacity) return false;
    std::memcpy(PutHead(frames, bodyType, size), &body, sizeof(body));
    used += sizeof(LV2_Atom_Event) + sizeof(body);
    return true;
  }

  // An empty sequence when nothing went in; nothing at all when the port cannot hold even that.
  void Finish() {
    if (capacity < sizeof(LV2_Atom_Sequence)) return;
    const uint64_t atom = Pair(static_cast<uint32_t>(used - sizeof(LV2_Atom)), type);
    const uint64_t unitAndPad = 0;
    std::memcpy(bytes, &atom, sizeof(atom));
    std::memcpy(bytes + sizeof(atom), &unitAndPad, sizeof(unitAndPad));
  }

 private:
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "headers are written as little-endian words");
  static uint64_t Pair(uint32_t first, uint32_t second) { return first | (uint64_t{second} << 32); }

  // The event's time and atom header; returns where its body goes.
  uint8_t* PutHead(int64_t frames, uint32_t bodyType, uint32_t size) {
    uint8_t* at = bytes + used;
    const uint64_t atom = Pair(size, bodyType);
    std::memcpy(at, &frames, sizeof(frames));
    std::memcpy(at + sizeof(frames), &atom, sizeof(atom));
    return at + sizeof(LV2_Atom_Event);
  }

  uint8_t* bytes;
  uint64_t capacity;
  uint64_t used;
  uint32_t type;
};

}  // namespace vantorine::lv2
