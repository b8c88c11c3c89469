// A top-level window that is shown and closed as a whole and can run modally: ShowModal serves the X
// events of the toolkit's connection on the calling thread until the dialog is closed.
#pragma once

#include <atomic>

#include "gui/SWindow.h"

namespace tovo::gui {

class SDialog : public SWindow {
 public:
  SDialog() = default;
  SDialog(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y, int width,
          int height, int hostWindow, bool flag);

  // Shows and raises the dialog and returns at once.
  virtual void ShowDialog();
  // Shows and raises the dialog, then hands events to the toolkit until the dialog is closed or a
  // window-manager protocol message arrives.
  virtual void ShowModal();
  // Hides the dialog and ends its modal loop.
  void CloseDialog() override;

  bool IsShowing() const { return showing.load(std::memory_order_acquire); }

 protected:
  // Shown, raised and marked as showing.
  void Present();
  // The modal loop; the running flag must be set.
  void RunModal();

  std::atomic<bool> showing{false};
};

}  // namespace tovo::gui
