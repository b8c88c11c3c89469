// One dlopen handle on a plug-in file and its entry point. Each object holds its own reference, so two
// instances of one plug-in keep the file loaded until both have let go, and the last one really unloads it.
#pragma once

#include <string>

#include "vst/VstInterface.h"

class PluginLibrary {
 public:
  typedef AEffect* (*EntryPoint)(audioMasterCallback);

  PluginLibrary() = default;
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary() { close(); }

  // Loads `path` and finds "VSTPluginMain", else "main". Returns the empty string on success, else a
  // one-line reason; on failure nothing stays loaded.
  std::string open(const std::string& path);
  void close();

  bool isOpen() const { return handle != nullptr; }
  EntryPoint entryPoint() const { return entry; }
  // Name of the symbol the entry point was found under.
  const std::string& entryName() const { return entrySymbol; }
  // Absolute folder of the loaded file, with a trailing '/': the answer to audioMasterGetDirectory.
  const std::string& directory() const { return folder; }

  // True while the dynamic loader still has `path` mapped, by anyone in this process.
  static bool isResident(const std::string& path);

 private:
  void* handle = nullptr;
  EntryPoint entry = nullptr;
  std::string entrySymbol;
  std::string folder;
};
