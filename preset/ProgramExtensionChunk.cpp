// Writing and checking the version 2 fields of stored chunks.
#include "preset/ProgramExtensionChunk.h"

#include <algorithm>
#include <cstring>

#include "preset/PresetRules.h"

namespace vantorine {
namespace {

constexpr uint8_t kMagic[4] = {'V', 'T', 'X', '2'};
constexpr size_t kHeaderBytes = sizeof(kMagic) + sizeof(uint32_t);
constexpr size_t kFieldHeadBytes = 4;

enum Tag : uint8_t {
  kSysexList = 1,
  kSettle = 2,
  kRowControllers = 3,
  kRowValues = 4,
  kResetControllersFirst = 5,
  kStripDevice = 6,  // one field per strip with a device: its slot, then the name
  // A list longer than earlier versions held, in pieces that follow one another. Those versions skip a
  // tag they do not know, and so take such a bank without its long lists.
  kLongSysexListPiece = 7,
  kTagEnd
};

// The most a list field of earlier versions held; longer lists go in pieces.
constexpr size_t kShortSysexListBytes = 256;
constexpr size_t kSysexPieceBytes = 32 * 1024;

// What one preset's fields may hold once each: a field of every tag, and a device field per strip.
constexpr size_t kFieldsPerPreset = kTagEnd + kStripCount;

void PutField(std::vector<uint8_t>& out, Tag tag, int preset, const void* body, size_t size) {
  out.push_back(tag);
  out.push_back(static_cast<uint8_t>(preset));
  out.push_back(static_cast<uint8_t>(size & 0xFF));
  out.push_back(static_cast<uint8_t>(size >> 8));
  const auto* bytes = static_cast<const uint8_t*>(body);
  out.insert(out.end(), bytes, bytes + size);
}

uint16_t Read16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

// Takes one field's body into its preset's extension; false when its size or slot cannot be one the writer
// wrote. What the values may be is checked once all fields are in, by the record's own rules.
bool TakeField(Tag tag, const uint8_t* body, size_t size, VSTPluginProgramExtension& extension) {
  switch (tag) {
    case kSysexList:
      if (size == 0 || size > kShortSysexListBytes) return false;
      std::memcpy(extension.sysex, body, size);
      extension.sysexLength = static_cast<uint32_t>(size);
      return true;
    case kLongSysexListPiece:
      if (size == 0 || size > sizeof(extension.sysex) - extension.sysexLength) return false;
      std::memcpy(extension.sysex + extension.sysexLength, body, size);
      extension.sysexLength += static_cast<uint32_t>(size);
      return true;
    case kSettle:
      if (size != 2) return false;
      extension.settleMs = Read16(body);
      return true;
    case kRowControllers:
      if (size != kControllerRows) return false;
      std::memcpy(extension.rowControllers, body, size);
      return true;
    case kRowValues:
      if (size != sizeof(extension.rowValues)) return false;
      std::memcpy(extension.rowValues, body, size);
      return true;
    case kResetControllersFirst:
      if (size != 1) return false;
      extension.resetControllersFirst = body[0];
      return true;
    case kStripDevice:
      // The slot, then a name that leaves room for the terminator.
      if (size < 2 || size > kDeviceNameSize || body[0] >= kStripCount) return false;
      std::memcpy(extension.devices[body[0]], body + 1, size - 1);
      return true;
    default:
      return false;
  }
}

}  // namespace

void AppendProgramExtensions(const VSTPluginProgramExtension* extensions, int count,
                             std::vector<uint8_t>& out) {
  VSTPluginProgramExtension fresh;
  InitProgramExtension(fresh);
  std::vector<uint8_t> fields;
  for (int preset = 0; preset < count; ++preset) {
    const VSTPluginProgramExtension& extension = extensions[preset];
    if (extension.sysexLength <= kShortSysexListBytes) {
      if (extension.sysexLength > 0)
        PutField(fields, kSysexList, preset, extension.sysex, extension.sysexLength);
    } else {
      for (size_t at = 0; at < extension.sysexLength; at += kSysexPieceBytes)
        PutField(fields, kLongSysexListPiece, preset, extension.sysex + at,
                 std::min<size_t>(kSysexPieceBytes, extension.sysexLength - at));
    }
    if (extension.settleMs != fresh.settleMs)
      PutField(fields, kSettle, preset, &extension.settleMs, sizeof(extension.settleMs));
    if (std::memcmp(extension.rowControllers, fresh.rowControllers, sizeof(fresh.rowControllers)) != 0)
      PutField(fields, kRowControllers, preset, extension.rowControllers, sizeof(extension.rowControllers));
    if (std::memcmp(extension.rowValues, fresh.rowValues, sizeof(fresh.rowValues)) != 0)
      PutField(fields, kRowValues, preset, extension.rowValues, sizeof(extension.rowValues));
    if (extension.resetControllersFirst)
      PutField(fields, kResetControllersFirst, preset, &extension.resetControllersFirst, 1);
    for (int strip = 0; strip < kStripCount; ++strip) {
      const size_t length = strnlen(extension.devices[strip], kDeviceNameSize - 1);
      if (length == 0) continue;
      uint8_t body[kDeviceNameSize];
      body[0] = static_cast<uint8_t>(strip);
      std::memcpy(body + 1, extension.devices[strip], length);
      PutField(fields, kStripDevice, preset, body, length + 1);
    }
  }
  if (fields.empty()) return;
  out.insert(out.end(), kMagic, kMagic + sizeof(kMagic));
  const auto size = static_cast<uint32_t>(fields.size());
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(size >> shift));
  out.insert(out.end(), fields.begin(), fields.end());
}

ExtensionRead ReadProgramExtensions(const uint8_t* bytes, size_t size, int count,
                                    VSTPluginProgramExtension* extensions) {
  for (int preset = 0; preset < count; ++preset) InitProgramExtension(extensions[preset]);
  if (size == 0) return ExtensionRead::kRead;
  // Bytes after the image that are not ours: a newer version's layout.
  if (size < kHeaderBytes || std::memcmp(bytes, kMagic, sizeof(kMagic)) != 0) return ExtensionRead::kNewer;
  uint32_t declared = 0;
  for (int i = 3; i >= 0; --i) declared = (declared << 8) | bytes[sizeof(kMagic) + i];
  if (declared != size - kHeaderBytes) return ExtensionRead::kBroken;

  ExtensionRead result = ExtensionRead::kRead;
  std::vector<bool> seen(static_cast<size_t>(count) * kFieldsPerPreset, false);
  std::vector<bool> inPieces(static_cast<size_t>(count), false);
  for (size_t at = kHeaderBytes; at < size;) {
    if (size - at < kFieldHeadBytes) return ExtensionRead::kBroken;
    const uint8_t tag = bytes[at];
    const int preset = bytes[at + 1];
    const size_t length = Read16(bytes + at + 2);
    const uint8_t* body = bytes + at + kFieldHeadBytes;
    if (length > size - at - kFieldHeadBytes) return ExtensionRead::kBroken;
    at += kFieldHeadBytes + length;
    if (tag == 0) return ExtensionRead::kBroken;
    if (tag >= kTagEnd) {
      result = ExtensionRead::kNewer;
      continue;
    }
    if (preset >= count) return ExtensionRead::kBroken;
    // The pieces of a long list share one place: a list is one field or pieces, never both, and a list
    // that fits the short field is never in pieces.
    const Tag place = tag == kLongSysexListPiece ? kSysexList : static_cast<Tag>(tag);
    const size_t slot = tag == kStripDevice && length > 0 ? kTagEnd + body[0] % kStripCount : place;
    const size_t key = static_cast<size_t>(preset) * kFieldsPerPreset + slot;
    if (seen[key] && !(tag == kLongSysexListPiece && inPieces[preset])) return ExtensionRead::kBroken;
    seen[key] = true;
    if (tag == kLongSysexListPiece) inPieces[preset] = true;
    if (!TakeField(static_cast<Tag>(tag), body, length, extensions[preset])) return ExtensionRead::kBroken;
  }
  size_t bankSysexBytes = 0;
  for (int preset = 0; preset < count; ++preset) {
    if (inPieces[preset] && extensions[preset].sysexLength <= kShortSysexListBytes) return ExtensionRead::kBroken;
    if (preset::CheckExtension(extensions[preset])) return ExtensionRead::kBroken;
    bankSysexBytes += extensions[preset].sysexLength;
  }
  if (bankSysexBytes > midi::kMaxBankSysexBytes) return ExtensionRead::kBroken;
  return result;
}

}  // namespace vantorine
