// What vantorine-host prints about a plug-in: its identity as a host sees it, its programs and
// parameters, and the MIDI events it sends, one line each.
#pragma once

#include <cstdio>
#include <string>

#include "host/VstHost.h"

class PluginReport {
 public:
  // The canDo texts a host asks a MIDI plug-in about.
  static constexpr const char* kMidiCanDos[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                                "receiveVstMidiEvent", "receiveVstTimeInfo"};

  static void printIdentity(VstHost& host, std::FILE* out);
  // Counted from 1, as presets are everywhere users see them.
  static void printPrograms(VstHost& host, std::FILE* out);
  static void printParameters(VstHost& host, std::FILE* out);
  // The parameter's display text followed by its label, if it has one.
  static std::string shownValue(VstHost& host, VstInt32 index);
  // "block 3 frame 0: C2 04 00  ch 3 Program Change 4" or "block 2 frame 88: SysEx F0 7E 7F 09 01 F7 (GM
  // System On)  at 13.61 ms" (where it starts in the audio), with the arrival time in front when
  // `withTime`, and a note when the event came outside a processing call.
  static std::string eventLine(const ReceivedEvent& event, bool withTime);
  // 'VTRN' for printable IDs, else the number in hex.
  static std::string fourCC(VstInt32 id);
  // "0x139 (HasEditor CanMono CanReplacing ProgramChunks IsSynth)".
  static std::string flagText(VstInt32 flags);
};
