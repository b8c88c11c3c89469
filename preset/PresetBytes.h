// Field by field access to a preset record. The plug-in's presets are read by several threads while a
// host or editor thread replaces one (with a copy it edited): each field is read and written whole, so a
// reader of one field sees the value before or the value after a change, never a mixture. What must be
// consistent across fields (a send) reads the whole preset from the plug-in instead.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

template <typename T>
inline T LoadShared(const T& field) {
  return __atomic_load_n(&field, __ATOMIC_RELAXED);
}

template <typename T>
inline void StoreShared(T& field, T value) {
  __atomic_store_n(&field, value, __ATOMIC_RELAXED);
}

inline bool StripInUse(const VSTPluginStrip& strip) { return __atomic_load_n(&strip.inUse, __ATOMIC_ACQUIRE) != 0; }

inline void SetStripInUse(VSTPluginStrip& strip, bool inUse) {
  __atomic_store_n(&strip.inUse, static_cast<uint8_t>(inUse ? 1 : 0), __ATOMIC_RELEASE);
}

// The six value bytes of a strip back to "not sent".
inline void ClearStripValues(VSTPluginStrip& strip) {
  for (uint8_t* value : {&strip.swapBankOrder, &strip.channel, &strip.program, &strip.bankMsb, &strip.bankLsb,
                         &strip.volume})
    StoreShared(*value, uint8_t{0});
}

// Copies a device's name into the strip's device, cut to fit and terminated, byte by byte; the caller
// passes printable ASCII only, as the chunk requires.
inline void StoreDevice(VSTPluginProgramExtension& extension, int strip, const char* name) {
  int i = 0;
  for (; i < kDeviceNameSize - 1 && name && name[i]; ++i) StoreShared(extension.devices[strip][i], name[i]);
  for (; i < kDeviceNameSize; ++i) StoreShared(extension.devices[strip][i], '\0');
}

// The strip's device as a terminated copy; empty for none.
inline std::string LoadDevice(const VSTPluginProgramExtension& extension, int strip) {
  std::string name;
  for (int i = 0; i < kDeviceNameSize - 1; ++i) {
    const char c = LoadShared(extension.devices[strip][i]);
    if (!c) break;
    name.push_back(c);
  }
  return name;
}

// The strip's controller row values back to "not sent", as its own values, and its device to none.
inline void ClearStripExtension(VSTPluginProgramExtension& extension, int strip) {
  for (uint8_t& value : extension.rowValues[strip]) StoreShared(value, uint8_t{0});
  StoreDevice(extension, strip, "");
}

// Replaces the preset's SysEx list. The length goes to 0 first and gets its new value last, and the bytes
// past the list are zeroed, so that a list of none is stored as a preset that never had one. Bytes past the
// old list are zero already: only the old list's bytes need clearing.
inline void StoreSysexList(VSTPluginProgramExtension& extension, const uint8_t* list, size_t length) {
  if (length > sizeof(extension.sysex)) return;
  const size_t oldLength = std::min<size_t>(LoadShared(extension.sysexLength), sizeof(extension.sysex));
  StoreShared(extension.sysexLength, uint32_t{0});
  for (size_t i = 0; i < std::max(length, oldLength); ++i)
    StoreShared(extension.sysex[i], i < length ? list[i] : uint8_t{0});
  StoreShared(extension.sysexLength, static_cast<uint32_t>(length));
}

// The preset's SysEx list as a copy; empty when its length cannot be true.
inline std::vector<uint8_t> LoadSysexList(const VSTPluginProgramExtension& extension) {
  const size_t length = LoadShared(extension.sysexLength);
  std::vector<uint8_t> list;
  if (length > sizeof(extension.sysex)) return list;
  list.reserve(length);
  for (size_t i = 0; i < length; ++i) list.push_back(LoadShared(extension.sysex[i]));
  return list;
}

// Copies a text into the strip's label, cut to fit and terminated, byte by byte.
inline void StoreLabel(VSTPluginStrip& strip, const char* text) {
  int i = 0;
  for (; i < kLabelSize - 1 && text && text[i]; ++i) StoreShared(strip.label[i], text[i]);
  for (; i < kLabelSize; ++i) StoreShared(strip.label[i], '\0');
}

// The strip's label as a terminated copy.
inline void LoadLabel(const VSTPluginStrip& strip, char (&text)[kLabelSize]) {
  for (int i = 0; i < kLabelSize; ++i) text[i] = LoadShared(strip.label[i]);
  text[kLabelSize - 1] = '\0';
}
