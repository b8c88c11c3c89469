// The GUI resources one plug-in instance hands to every control it creates: the control-id counter, where
// the plug-in's library file lives, the host's parent window, the menu being shown, the shared cursor, a
// mutex and a random generator for unique window names. Made by the plug-in object and outlived by none
// of its controls.
#pragma once

#include <atomic>

#include "data/datastring.h"
#include "math/SRandomMarsaglia.h"
#include "threading/SMutexOS.h"

namespace tovo::gui {

class SControl;
class SCursor;

class SGlobals {
 public:
  // Seeds the generator from the time-stamp counter after a 3 ms pause, so instances made in quick
  // succession still draw different names.
  SGlobals();
  SGlobals(const SGlobals&) = delete;
  SGlobals& operator=(const SGlobals&) = delete;

  // Any thread: the next fresh id (1, 2, ...).
  int NextId() { return idCounter.fetch_add(1, std::memory_order_acq_rel) + 1; }
  int LastId() const { return idCounter.load(std::memory_order_acquire); }
  // Any thread: the counter's value, which restarts at 0; a top-level window takes its id so and the
  // controls made in it are numbered again from 1.
  int TakeId() { return idCounter.exchange(0, std::memory_order_acq_rel); }

  // Splits the path of the loaded library into its directory (with the final separator) and file name.
  void SetBinaryData(const char* libraryPath);
  const tovo::data::datastring<32, char>& GetDirectory() const { return directory; }
  const tovo::data::datastring<32, char>& GetFileName() const { return fileName; }
  // What the plug-in learns later (its effect name, the folder the host loaded it from) replaces them.
  void SetFileName(const char* name) { fileName.Clear(false).Append(name ? name : ""); }
  void SetDirectory(const char* path) { directory.Clear(false).Append(path ? path : ""); }

  // The window the host handed to the editor when it opened; 0 before.
  unsigned long GetParentWindow() const { return parentWindow; }
  void SetParentWindow(unsigned long window) { parentWindow = window; }
  SControl* GetPopupMenu() const { return popupMenu; }
  void SetPopupMenu(SControl* menu) { popupMenu = menu; }
  SCursor* GetCursor() const { return cursor; }
  void SetCursor(SCursor* shared) { cursor = shared; }

  tovo::threading::SMutexOS& GetMutex() { return mutex; }
  tovo::math::random::generator::SRandomMarsaglia& GetRandom() { return random; }
  unsigned GetSeed() const { return seed; }

 private:
  std::atomic<int> idCounter{0};
  tovo::data::datastring<32, char> directory;
  tovo::data::datastring<32, char> fileName;
  void* reservedA = nullptr;
  void* reservedB = nullptr;
  unsigned long parentWindow = 0;
  SControl* popupMenu = nullptr;
  SCursor* cursor = nullptr;
  tovo::threading::SMutexOS mutex;
  tovo::math::random::generator::SRandomMarsaglia random;
  unsigned seed = 0;
};

}  // namespace tovo::gui
