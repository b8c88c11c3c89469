// A strip's place in the panel's sound band, under its column: the name of the sound the strip's values
// select, reading upwards as the labels do, and beside it the device in short, each shortened with "..."
// where the band is too short for it; for a strip without a device, a dim hint to choose one. A press on it
// is reported to its listeners as a value event (type 3): the panel opens the sound browser. The panel
// gives it the texts when the values or the device change; drawing only paints what it was given.
#pragma once

#include <string>

#include "gui/SControl.h"

namespace vantorine::editor {
struct StripSound;
}

class SSoundPlace : public tovo::gui::SControl {
 public:
  static constexpr int kWidth = 24;

  // Hidden until the panel shows it.
  SSoundPlace(tovo::gui::SGlobals* globals, tovo::gui::SControl* parent, const char* name, int x, int y,
              int height);

  // Fits the sound's and the device's names to the band now, so that drawing measures nothing.
  void SetSound(const vantorine::editor::StripSound& sound);

  void Draw(const tovo::gui::SRect& rect) override;
  void MouseStateChanged(bool* mouse, int index) override;

 private:
  // As painted: in the fonts' Latin-1, shortened to fit.
  std::string sound;
  std::string device;
  bool hint = true;
};
