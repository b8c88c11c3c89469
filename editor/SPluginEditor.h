// The plug-in's editor as the host sees it: opened into the host's window, closed, and told about changes by
// update requests that any thread may post. It owns the panel, a hidden holder window in which the panel
// waits while the editor is closed, and the default mouse cursor, and it finds out which host application
// loaded the plug-in, refusing the hosts it cannot serve.
//
// Threads: hosts call open, close and effEditIdle, and hand X events to the panel, on one thread of theirs.
// All work inside the panel (refreshes, timer deliveries, and in hosts that pass no display the reading of
// our own connection) happens in the idle pass on that thread, under the toolkit lock. The process-wide
// idle thread only steps in when such a host stops sending effEditIdle, and only while the editor lives on
// our own connection; posting an update only sets flags.
#pragma once

#include <atomic>
#include <chrono>

#include "plugin/AEffEditor.h"

class SPlugin;
class SPluginPanel;
namespace tovo::gui {
class SControl;
class SCursor;
class SGlobals;
}  // namespace tovo::gui

class SPluginEditor : public AEffEditor {
 public:
  static constexpr int kIndexCount = 256;
  static constexpr int kWidth = 120;
  static constexpr int kHeight = 462;

  // status: the entry point's start-up status; an unsupported host sets it to 3.
  SPluginEditor(SPlugin* plugin, tovo::gui::SGlobals* globals, int& status);
  ~SPluginEditor() override;

  // Host thread. Embeds the panel in the window ptr names; true.
  bool open(void* ptr) override;
  // Host thread. Parks the panel in the holder; returns once nothing runs in the panel any more.
  void close() override;
  // The update step of an idle pass: a full refresh if one was posted, else the indexed ones.
  void idle() override;
  void update() override;
  // Any thread: flags only.
  void postUpdate() override;
  virtual void updateIndexed();
  virtual void postUpdateIndexed(int index);
  virtual void updateAtIndex(int index);
  // Calls the panel's timer procedure with timer 0.
  virtual void idleslow();

  // effEditIdle, on the host's editor thread: the whole idle pass (our connection's events, due timers,
  // updates).
  void HostIdle();
  // The idle thread's registered function.
  static void idlestatic(void* data);

  // Sets the editor's size, the host window's and the panel's.
  void SetSize(int width, int height);

  // Host detection from the host's product string; returns the host code.
  int GetHostApp(int& status);
  int HostCode() const { return hostCode; }
  bool IsOpen() const { return isOpen.load(std::memory_order_acquire); }
  bool NeverOpened() const { return neverOpened; }
  // What the next idle pass will refresh.
  bool IsUpdatePending() const { return updateFlag.load(std::memory_order_acquire); }
  bool IsIndexPending(int index) const {
    return index >= 0 && index < kIndexCount && indexFlags[index].load(std::memory_order_relaxed) != 0;
  }
  unsigned long ParentWindow() const { return parentWindow; }
  unsigned long HolderWindow() const { return holderWindow; }
  SPluginPanel* Panel() const { return panel; }
  tovo::gui::SCursor* Cursor() const { return cursor; }

 private:
  // The two words the idle list is given: a zero word, then the function.
  struct IdleRecord {
    void* zero;
    void (*function)(void*);
  };

  // Caller holds the toolkit lock.
  void ServeIdle();
  void IdleFromIdleThread();
  void CreatePanel();
  void RefreshControls(long index);
  bool PanelWindowAlive() const;

  IdleRecord idleRecord{nullptr, &SPluginEditor::idlestatic};
  tovo::gui::SGlobals* globals;
  SPluginPanel* panel = nullptr;
  SPlugin* plugin;
  int hostCode = 0;
  std::atomic<bool> indexedUpdatePending{false};
  bool neverOpened = true;
  std::atomic<bool> isOpen{false};
  tovo::gui::SCursor* cursor = nullptr;
  unsigned long parentWindow = 0;
  tovo::gui::SControl* holder = nullptr;
  unsigned long holderWindow = 0;
  std::atomic<unsigned char> indexFlags[kIndexCount] = {};
  // When the host last sent effEditIdle (steady-clock milliseconds); the idle thread stands in only after
  // a silence.
  std::atomic<int64_t> lastHostIdle{0};
};
