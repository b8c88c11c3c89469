// Reading and writing the atom sequences of the host's port buffers. Hosts do not all align those buffers
// to the eight bytes the atom structs need (jalv 1.6 hands four-byte aligned ones), and a sequence's sizes
// come from outside: so every header is copied out before it is read, every size is checked against the
// end, and output is built in an aligned buffer of ours and copied into the host's whole.
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
    const uint64_t bodyEnd = offset + sizeof(LV2_Atom_Event) + event.body.size;
    if (bodyEnd > end) return;
    take(event.time.frames, event.body.type, bytes + offset + sizeof(LV2_Atom_Event), event.body.size);
    offset += sizeof(LV2_Atom_Event) + lv2_atom_pad_size(event.body.size);
  }
}

// Copies a sequence built in `built` into the host's port buffer, as much as its capacity allows
// (a forge given that capacity never builds more).
inline void CopySequenceOut(void* port, const void* built) {
  std::memcpy(port, built, sizeof(LV2_Atom) + AtomBodySize(built));
}

}  // namespace vantorine::lv2
