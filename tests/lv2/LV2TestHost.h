// An LV2 host for the tests, as hosts drive the bundle: lilv finds it on a private LV2_PATH, instantiates
// it with a URID map, connects every port to buffers of its own, runs cycles with MIDI in and reads the
// atom MIDI out, and saves and restores the plug-in's state through its state interface or a lilv state
// folder (the way a host keeps it in a session).
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lv2/LV2Ports.h"
#include "tests/support/TimedMidi.h"

namespace lv2test {

using testsupport::Bytes;
using testsupport::TimedMidi;

// The lilv world with the built bundle and the LV2 core beside it; one per test program.
class LV2World {
 public:
  LV2World();
  ~LV2World();
  const LilvPlugin* plugin() const { return found; }
  LilvWorld* world() const { return lilv; }
  LV2_URID_Map* map() { return &uridMap; }
  LV2_URID_Unmap* unmap() { return &uridUnmap; }
  LV2_URID urid(const char* uri) { return uridMap.map(uridMap.handle, uri); }

 private:
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri);
  static const char* Unmap(LV2_URID_Unmap_Handle handle, LV2_URID urid);

  std::string folder;
  LilvWorld* lilv = nullptr;
  const LilvPlugin* found = nullptr;
  std::vector<std::string> uris;
  LV2_URID_Map uridMap;
  LV2_URID_Unmap uridUnmap;
};

class LV2Instance {
 public:
  static constexpr uint32_t kBlock = 256;
  static constexpr double kRate = 48000;
  // Each atom port's buffer, and the room midi_out offers in it unless a test says otherwise.
  // What the plug-in asks hosts for on midi_out.
  static constexpr uint32_t kAtomBufferBytes = vantorine::lv2::kMidiOutMinimumBytes;
  static constexpr uint32_t kFullRoom = kAtomBufferBytes - sizeof(LV2_Atom);

  explicit LV2Instance(LV2World& world);
  ~LV2Instance();
  LV2Instance(const LV2Instance&) = delete;
  LV2Instance& operator=(const LV2Instance&) = delete;

  bool ok() const { return instance != nullptr; }
  // What instance-access gives a UI.
  void* handle() const { return lilv_instance_get_handle(instance); }
  void setControl(uint32_t port, float value) { controls[port] = value; }
  // One cycle with these MIDI messages in; returns what came out on midi_out.
  std::vector<TimedMidi> run(const std::vector<TimedMidi>& midiIn = {}, uint32_t frames = kBlock);
  // The room midi_out offers the plug-in from the next cycle on, in its atom's size (the bytes after the
  // atom header), as a host that ignores the bundle's minimum may give.
  void setMidiOutRoom(uint32_t atomSize) { midiOutRoom = atomSize; }
  // Empty when the last cycle's midi_out was a sequence of whole, well-formed MIDI events inside the
  // room offered, with nothing written past them; else what was wrong.
  const std::string& midiOutFault() const { return outFault; }
  // Counts the heap allocations and mutex locks made inside the plug-in's run (see CallCounter.h).
  void countCallsInRun(bool on) { countCalls = on; }
  // How many state:StateChanged objects notify carried in the last cycle.
  int stateChangedCount() const { return stateChanges; }
  const float* audioOut(int channel) const { return audio[2 + channel].data(); }
  float* audioIn(int channel) { return audio[channel].data(); }

  // The bank as the state interface stores it, and a restore from given bytes and type.
  Bytes saveBank();
  LV2_State_Status restoreBank(const Bytes& bank, LV2_URID type = 0);
  // A restore whose state holds no bank at all, as some hosts make at start.
  LV2_State_Status restoreWithoutBank();
  // Through a lilv state folder on disk, as a session keeps it.
  void saveStateFolder(const std::string& folder);
  // A state file: a folder's state.ttl, or a preset's file.
  bool restoreStateFile(const std::string& file);

 private:
  LV2World& world;
  LilvInstance* instance = nullptr;
  const LV2_State_Interface* state = nullptr;
  std::vector<uint64_t> midiInBuffer, midiOutBuffer, notifyBuffer;  // 64-bit aligned, as atoms need
  std::vector<float> audio[4];
  float controls[vantorine::lv2::kPortCount] = {};
  int stateChanges = 0;
  uint32_t midiOutRoom;
  std::string outFault;
  bool countCalls = false;
};

}  // namespace lv2test
