// A CLAP host for the tests, as hosts drive the module: it loads vantorine.clap through clap_entry and its
// factory, offers params, state, gui, timer-support and thread-check, runs process blocks with MIDI and
// parameter values in and reads what comes out (up to a queue size it chooses), moves the state through
// streams in pieces of a size it chooses, embeds the editor in a window of its own and fires its timers,
// and in its idle passes does what a host's main loop does for the plug-in. The thread that makes the
// instance is the host's main thread.
#pragma once

#include <clap/entry.h>
#include <clap/events.h>
#include <clap/ext/gui.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/thread-check.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin-factory.h>
#include <clap/plugin.h>

#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TimedMidi.h"

namespace claptest {

using testsupport::Bytes;
using testsupport::TimedMidi;

struct ParamChange {
  clap_id id;
  double value;
  bool operator==(const ParamChange& other) const { return id == other.id && value == other.value; }
};

// The module, loaded once per test program.
class ClapModule {
 public:
  explicit ClapModule(const std::string& path);
  ~ClapModule();
  bool ok() const { return factory != nullptr; }
  const clap_plugin_factory_t* pluginFactory() const { return factory; }

 private:
  void* library = nullptr;
  const clap_plugin_entry_t* entry = nullptr;
  const clap_plugin_factory_t* factory = nullptr;
};

class ClapInstance {
 public:
  static constexpr double kRate = 48000;
  static constexpr uint32_t kMaxBlock = 4096;

  explicit ClapInstance(ClapModule& module);
  ~ClapInstance();
  ClapInstance(const ClapInstance&) = delete;
  ClapInstance& operator=(const ClapInstance&) = delete;

  bool ok() const { return plugin != nullptr; }
  const clap_plugin_t* clap() const { return plugin; }
  bool activate();
  // One block with these MIDI messages and parameter values in (all at frame 0 for the values); returns
  // the MIDI that came out. The output queue takes `outRoom` events, then refuses.
  std::vector<TimedMidi> process(uint32_t frames, const std::vector<TimedMidi>& midiIn = {},
                                 const std::vector<ParamChange>& params = {});
  void setOutputRoom(uint32_t events) { outRoom = events; }
  // The parameter values the last block or flush told the host.
  const std::vector<ParamChange>& paramsOut() const { return paramOut; }
  // Parameter values through params.flush, as a host does while it does not process.
  std::vector<ParamChange> flush(const std::vector<ParamChange>& params = {});
  const clap_plugin_params_t* params() const { return paramsExt; }

  // The state through the host's streams, `piece` bytes a call at most.
  bool saveState(Bytes& bytes, size_t piece);
  bool loadState(const Bytes& bytes, size_t piece);

  // Calls the plug-in's on_main_thread when it asked for it; returns whether it had.
  bool runMainThreadCallback();
  // One pass of the host's main loop: the plug-in's timers fire, on_main_thread runs when it was asked
  // for, and a flush the plug-in requested is made at once while it is not active (an active plug-in
  // reports in its next block instead). What those flushes told is kept in hostLearned.
  void idle();
  const std::vector<ParamChange>& hostLearned() const { return learned; }
  int markDirtyCount() const { return dirtyMarks; }
  int flushRequests() const { return flushRequested; }
  int valueRescans() const { return rescans; }
  // Host calls CLAP allows on the main thread only that came on another thread.
  int offMainThreadCalls() const { return offMain; }

  // The editor embedded in `parent`; destroyed with closeEditor.
  bool openEditor(unsigned long parent);
  void closeEditor();
  // Fires every timer the plug-in registered.
  void fireTimers();
  size_t timerCount() const { return timers.size(); }
  std::vector<std::pair<uint32_t, uint32_t>> resizeRequests() const { return resizes; }

  // Counts the heap allocations and mutex locks inside process (see CallCounter.h).
  void countCallsInProcess(bool on) { countCalls = on; }

 private:
  static const void* GetExtension(const clap_host_t* host, const char* id);
  static void RequestCallback(const clap_host_t* host);
  static ClapInstance& Of(const clap_host_t* host);
  void checkMainThread();

  clap_host_t host;
  const clap_plugin_t* plugin = nullptr;
  const clap_plugin_params_t* paramsExt = nullptr;
  const clap_plugin_state_t* stateExt = nullptr;
  const clap_plugin_gui_t* guiExt = nullptr;
  const clap_plugin_timer_support_t* timerExt = nullptr;
  std::thread::id mainThread;
  bool active = false;
  bool callbackRequested = false;
  bool flushPending = false;
  std::vector<ParamChange> learned;
  int dirtyMarks = 0, flushRequested = 0, rescans = 0, offMain = 0;
  uint32_t outRoom = 1u << 20;
  std::vector<ParamChange> paramOut;
  std::map<clap_id, uint32_t> timers;
  clap_id nextTimer = 1;
  std::vector<std::pair<uint32_t, uint32_t>> resizes;
  bool countCalls = false;
  int64_t steadyTime = 0;

 public:
  // The host interfaces the plug-in may ask for, bound to this instance through host_data.
  static const clap_host_params_t kHostParams;
  static const clap_host_state_t kHostState;
  static const clap_host_gui_t kHostGui;
  static const clap_host_timer_support_t kHostTimer;
  static const clap_host_thread_check_t kHostThreadCheck;
};

}  // namespace claptest
