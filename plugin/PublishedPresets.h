// The 128 presets as every thread reads them. A writer (a host or editor thread, one at a time: the plug-in
// holds its edit lock around each) publishes a finished copy of a preset; the audio and timer threads read a
// preset whole by its sequence number, which is odd while a copy goes in, and look again when a copy went in
// while they read. They never wait: after a few looks a reader keeps what it had. A field read alone (a byte,
// or an aligned 16- or 32-bit value) is always one that some writer stored, as every store is of whole
// 32-bit words or of single bytes.
//
// MIDI thru is the one field the audio thread changes (hosts automate it there). It is stored alone, never
// through a copy, unless the copy changes it: an edit of another field cannot undo a change of thru.
#pragma once

#include <atomic>
#include <cstdint>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

class PublishedPresets {
 public:
  // Numbered new presets.
  PublishedPresets();

  // For fields read alone: load them with LoadShared.
  const VSTPluginProgram& Record(int preset) const { return records[preset]; }
  const VSTPluginProgramExtension& Extension(int preset) const { return extensions[preset]; }
  // The bank's stored image: 128 records back to back.
  const VSTPluginProgram* Records() const { return records; }
  const VSTPluginProgramExtension* Extensions() const { return extensions; }

  // A whole copy of the preset. False when a copy went in each time it looked; `record` and `extension`
  // are then not to be used.
  bool Read(int preset, VSTPluginProgram& record, VSTPluginProgramExtension& extension) const;
  // Writers only, one at a time; a writer always reads whole. `thruBefore` is the MIDI thru the writer read
  // before it changed its copy.
  void Publish(int preset, const VSTPluginProgram& record, const VSTPluginProgramExtension& extension,
               uint8_t thruBefore);
  // Any thread.
  void SetThru(int preset, bool on);

 private:
  alignas(8) VSTPluginProgram records[kProgramCount];
  alignas(8) VSTPluginProgramExtension extensions[kProgramCount];
  std::atomic<uint32_t> sequences[kProgramCount];
};
