// A System Exclusive event as a plug-in hands it to the host: the bytes belong to the plug-in and stay
// valid only until its next processing call, so the host copies them at once, and only after checking
// the size the event declares, which a broken or hostile plug-in may set to anything.
#pragma once

#include "vst/VstInterface.h"

// Far more than any module takes in one message (bulk dumps come in pieces), and few enough to copy
// within one cycle.
constexpr VstInt32 kMaxSysexDumpBytes = 64 * 1024;

// Why the event's bytes must not be read, or null when they may. Allocates nothing: the JACK cycle asks.
inline const char* SysexDumpProblem(const VstMidiSysexEvent& event) {
  if (event.dumpBytes < 0) return "a negative size";
  if (event.dumpBytes > kMaxSysexDumpBytes) return "more than 64 KiB";
  if (event.dumpBytes == 0 || !event.sysexDump) return "no bytes";
  return nullptr;
}
