// The host stores and restores the plug-in's state as opaque chunks: one
// preset or the whole bank. A chunk that uses none of the version 2 fields is the image itself; one that
// does has them after it. The chunk lives until the next request.
#include <cstring>

#include "plugin/VSTPlugin.h"
#include "plugin/VSTPluginProgramBank.h"
#include "preset/ProgramExtensionChunk.h"

// A copy of whole presets, taken between edits: the host may read it long after, while presets change.
VstInt32 VSTPlugin::getChunk(void** data, bool isPreset) {
  const int first = isPreset ? static_cast<int>(curProgram) : 0;
  const int count = isPreset ? 1 : kProgramCount;
  std::vector<VSTPluginProgram> records(count);
  std::vector<VSTPluginProgramExtension> extensions(count);
  {
    std::lock_guard<std::mutex> lock(editLock);
    for (int n = 0; n < count; ++n) ReadPreset(first + n, records[n], extensions[n]);
  }
  const size_t imageSize = sizeof(VSTPluginProgram) * count;
  chunkImage.resize(imageSize);
  std::memcpy(chunkImage.data(), records.data(), imageSize);
  vantorine::AppendProgramExtensions(extensions.data(), count, chunkImage);
  *data = chunkImage.data();
  return static_cast<VstInt32>(chunkImage.size());
}

// The chunk is read into copies of the presets it changes, which then replace them whole.
VstInt32 VSTPlugin::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
  const int first = isPreset ? static_cast<int>(curProgram) : 0;
  const int count = isPreset ? 1 : kProgramCount;
  std::vector<VSTPluginProgram> records(count);
  std::vector<VSTPluginProgramExtension> extensions(count);
  std::vector<uint8_t> thruBefore(count);
  {
    std::lock_guard<std::mutex> lock(editLock);
    for (int n = 0; n < count; ++n) {
      ReadPreset(first + n, records[n], extensions[n]);
      thruBefore[n] = records[n].midiThru;
    }
  }
  // Outside the lock: the reader may tell the user of a newer version in a message box.
  VSTPluginProgramBank reader(records.data(), extensions.data());
  const int result = isPreset ? reader.readProgram(data, byteSize, 0) : reader.readBank(data, byteSize);
  if (result != 1) return result;
  if (isPreset && extensions[0].sysexLength > SysexRoom(first)) return 0;
  {
    std::lock_guard<std::mutex> lock(editLock);
    for (int n = 0; n < count; ++n) presets.Publish(first + n, records[n], extensions[n], thruBefore[n]);
  }
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
