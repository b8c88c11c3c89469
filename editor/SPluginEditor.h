// The plug-in's editor as the host sees it: opened into the host's window,
// closed, and told about changes by update requests that any thread may
// post and the editor's idle pass performs. It also finds out which host
// application loaded the plug-in, and refuses the hosts it cannot serve.
#pragma once

#include <atomic>

#include "plugin/AEffEditor.h"

class SPlugin;
namespace tovo::gui {
class SGlobals;
}

class SPluginEditor : public AEffEditor {
 public:
  static constexpr int kIndexCount = 256;

  // status: the entry point's start-up status; an unsupported host sets it to 3.
  SPluginEditor(SPlugin* plugin, tovo::gui::SGlobals* globals, int& status);
  ~SPluginEditor() override;

  bool open(void* ptr) override;
  void close() override;
  void idle() override;
  void update() override;
  void postUpdate() override;
  virtual void updateIndexed();
  virtual void postUpdateIndexed(int index);
  virtual void updateAtIndex(int index);

  // Host detection from the host's product string; returns the host code.
  int GetHostApp(int& status);
  int HostCode() const { return hostCode; }
  bool IsOpen() const { return isOpen.load(std::memory_order_acquire); }
  // What the next idle pass will refresh.
  bool IsUpdatePending() const { return updateFlag.load(std::memory_order_acquire); }
  bool IsIndexPending(int index) const {
    return index >= 0 && index < kIndexCount && indexFlags[index].load(std::memory_order_relaxed) != 0;
  }
  unsigned long ParentWindow() const { return parentWindow; }

 private:
  // The panel comes with the toolkit's widgets; until then a refresh has nothing to draw.
  void RefreshControls(int /*index*/) {}

  tovo::gui::SGlobals* globals;
  SPlugin* plugin;
  int hostCode = 0;
  std::atomic<bool> indexedUpdatePending{false};
  bool neverOpened = true;
  std::atomic<bool> isOpen{false};
  unsigned long parentWindow = 0;
  std::atomic<unsigned char> indexFlags[kIndexCount] = {};
};
