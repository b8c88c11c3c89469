// Formatting of the plug-in's identity and its MIDI output for vantorine-host.
#include "host/PluginReport.h"

#include "host/MidiText.h"

std::string PluginReport::fourCC(VstInt32 id) {
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
    if (c < 0x20 || c >= 0x7F) {
      char number[16];
      std::snprintf(number, sizeof number, "0x%08X", static_cast<uint32_t>(id));
      return number;
    }
    text += c;
  }
  return text + "'";
}

std::string PluginReport::flagText(VstInt32 flags) {
  static const struct {
    VstInt32 bit;
    const char* name;
  } kNames[] = {{effFlagsHasEditor, "HasEditor"},
                {effFlagsHasClip, "HasClip"},
                {effFlagsHasVu, "HasVu"},
                {effFlagsCanMono, "CanMono"},
                {effFlagsCanReplacing, "CanReplacing"},
                {effFlagsProgramChunks, "ProgramChunks"},
                {effFlagsIsSynth, "IsSynth"},
                {effFlagsNoSoundInStop, "NoSoundInStop"}};
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", static_cast<uint32_t>(flags));
  std::string names;
  VstInt32 known = 0;
  for (const auto& flag : kNames) {
    if (!(flags & flag.bit)) continue;
    known |= flag.bit;
    names += names.empty() ? "" : " ";
    names += flag.name;
  }
  if (flags & ~known) names += names.empty() ? "unknown bits" : " and unknown bits";
  return std::string(hex) + " (" + (names.empty() ? "none" : names) + ")";
}

void PluginReport::printIdentity(VstHost& host, std::FILE* out) {
  const AEffect* fx = host.effect();
  std::fprintf(out, "effect name:    %s\n", host.dispatchText(effGetEffectName).c_str());
  std::fprintf(out, "vendor:         %s\n", host.dispatchText(effGetVendorString).c_str());
  std::fprintf(out, "product:        %s\n", host.dispatchText(effGetProductString).c_str());
  std::fprintf(out, "vendor version: %ld\n", static_cast<long>(host.dispatch(effGetVendorVersion)));
  std::fprintf(out, "unique ID:      %s\n", fourCC(fx->uniqueID).c_str());
  std::fprintf(out, "version:        %d\n", fx->version);
  std::fprintf(out, "flags:          %s\n", flagText(fx->flags).c_str());
  std::fprintf(out, "inputs/outputs: %d / %d\n", fx->numInputs, fx->numOutputs);
  std::fprintf(out, "programs:       %d\n", fx->numPrograms);
  std::fprintf(out, "parameters:     %d\n", fx->numParams);
  std::fprintf(out, "VST version:    %ld\n", static_cast<long>(host.dispatch(effGetVstVersion)));
  std::fprintf(out, "category:       %ld\n", static_cast<long>(host.dispatch(effGetPlugCategory)));
  for (const char* text : kMidiCanDos)
    std::fprintf(out, "canDo %-20s %ld\n", text, static_cast<long>(host.canDo(text)));
}

void PluginReport::printPrograms(VstHost& host, std::FILE* out) {
  const VstInt32 count = host.effect()->numPrograms;
  std::fprintf(out, "presets (%d):\n", count);
  for (VstInt32 i = 0; i < count; ++i) std::fprintf(out, "  %3d: %s\n", i + 1, host.programName(i).c_str());
}

void PluginReport::printParameters(VstHost& host, std::FILE* out) {
  const VstInt32 count = host.effect()->numParams;
  std::fprintf(out, "parameters (%d):\n", count);
  for (VstInt32 i = 0; i < count; ++i)
    std::fprintf(out, "  %3d: %s = %s (%g)\n", i, host.parameterName(i).c_str(), shownValue(host, i).c_str(),
                 host.getParameter(i));
}

std::string PluginReport::shownValue(VstHost& host, VstInt32 index) {
  const std::string label = host.parameterLabel(index);
  return host.parameterDisplay(index) + (label.empty() ? "" : " " + label);
}

std::string PluginReport::eventLine(const ReceivedEvent& event, bool withTime) {
  std::string line;
  if (withTime) {
    char time[32];
    std::snprintf(time, sizeof time, "%8.3f s  ", event.seconds);
    line = time;
  }
  line += event.duringProcessing ? "block " + std::to_string(event.block)
                                 : "outside processing (after block " + std::to_string(event.block) + ")";
  line += " frame " + std::to_string(event.event.deltaFrames) + ": ";
  if (event.event.type == kVstMidiType) return line + MidiText::line(event.bytes());
  if (event.event.type != kVstSysExType)
    return line + "non-MIDI event of type " + std::to_string(event.event.type);
  if (!event.sysexRefusal.empty()) return line + "SysEx refused, " + event.sysexRefusal;
  line += MidiText::sysex(event.sysex.data(), event.sysex.size());
  // Where it starts in the audio, so that the pace of a list shows whatever the block size.
  if (!event.duringProcessing) return line;
  char start[32];
  std::snprintf(start, sizeof start, "  at %.2f ms", event.streamSeconds * 1000.0);
  return line + start;
}
