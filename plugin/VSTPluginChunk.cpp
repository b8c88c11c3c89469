// The host stores and restores the plug-in's state as opaque chunks: one
// preset or the whole bank, handed out straight from the plug-in's memory.
#include <cstring>

#include "plugin/VSTPlugin.h"
#include "plugin/VSTPluginProgramBank.h"

VstInt32 VSTPlugin::getChunk(void** data, bool isPreset) {
  if (isPreset) {
    *data = &bank[curProgram];
    return VSTPluginProgramBank::kProgramSize;
  }
  *data = bank;
  return VSTPluginProgramBank::kBankSize;
}

VstInt32 VSTPlugin::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  VSTPluginProgramBank reader(bank);
  const int result = isPreset ? reader.readProgram(data, byteSize, curProgram) : reader.readBank(data, byteSize);
  if (result != 1) return result;
  std::memset(hostProductName, 0, sizeof(hostProductName));
  getHostProductString(hostProductName);
  hostProductName[sizeof(hostProductName) - 1] = 0;
  if (!std::strstr(hostProductName, "Bidule")) {
    if (isPreset) setProgram(curProgram);
  } else if (curProgram == 0) {
    // This host restores its state without selecting a preset afterwards.
    hostWorkaround = true;
    setProgram(kProgramCount - 1);
  }
  // Many hosts restore a project by selecting a preset first and loading the
  // bank chunk after it, with no preset selected afterwards: the start-up
  // send must then follow the chunk, or it would never happen.
  ScheduleInitSend();
  chunkLoaded = true;
  return 1;
}
