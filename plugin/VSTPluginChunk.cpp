// The host stores and restores the plug-in's state as opaque chunks: one
// preset or the whole bank, handed out straight from the plug-in's memory.
// A chunk that uses none of the version 2 fields is the image itself; one that does is built in a buffer
// that lives until the next request.
#include <cstring>

#include "plugin/VSTPlugin.h"
#include "plugin/VSTPluginProgramBank.h"
#include "preset/ProgramExtensionChunk.h"

VstInt32 VSTPlugin::getChunk(void** data, bool isPreset) {
  const VSTPluginProgram* image = isPreset ? &bank[curProgram] : bank;
  const int count = isPreset ? 1 : kProgramCount;
  const size_t imageSize = sizeof(VSTPluginProgram) * count;
  std::vector<uint8_t> fields;
  vantorine::AppendProgramExtensions(isPreset ? &extensions[curProgram] : extensions, count, fields);
  if (fields.empty()) {
    *data = const_cast<VSTPluginProgram*>(image);
    return static_cast<VstInt32>(imageSize);
  }
  chunkImage.resize(imageSize);
  std::memcpy(chunkImage.data(), image, imageSize);
  chunkImage.insert(chunkImage.end(), fields.begin(), fields.end());
  *data = chunkImage.data();
  return static_cast<VstInt32>(chunkImage.size());
}

VstInt32 VSTPlugin::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  VSTPluginProgramBank reader(bank, extensions);
  const int result =
      isPreset ? reader.readProgram(data, byteSize, curProgram) : reader.readBank(data, byteSize);
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
  // A bank brings new values for the preset the editor shows, whether or not a preset change follows.
  NotifyEditor();
  return 1;
}
