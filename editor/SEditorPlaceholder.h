// What the editor embeds in the host's window until the panel with its controls exists: a plain window of
// the panel's size, painted in the panel's body colour, that repaints whenever the editor asks the panel to
// show changed values. It lets the editor's opening, closing, sizing and update rules run as they will for
// the panel.
#pragma once

#include <atomic>

#include "gui/SWindow.h"

class SEditorPlaceholder : public tovo::gui::SWindow {
 public:
  SEditorPlaceholder(tovo::gui::SGlobals* globals, unsigned id, const char* name, int style, int width, int height,
                     int hostWindow);

  // The panel's colours.
  void LoadControls() override;
  // Repaints; index -1 means everything changed.
  void RefreshControls(long index) override;

  // How often the editor asked for a refresh (any thread may read it).
  int RefreshCount() const { return refreshes.load(std::memory_order_acquire); }
  long LastRefreshIndex() const { return lastIndex.load(std::memory_order_acquire); }

 private:
  std::atomic<int> refreshes{0};
  std::atomic<long> lastIndex{0};
};
