// A fixed image that reports clicks, such as the editor's logo: the image is drawn over the whole control
// and presses are reported to the listeners as value events (type 3), as labels do.
#pragma once

#include "gui/SWindow.h"

namespace tovo::gui {

namespace context {
class SDrawBitmap;
class SDrawMemoryDevice;
}  // namespace context

class SImageLabel : public SWindow {
 public:
  SImageLabel(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
              int width, int height, int hostWindow, bool flag);
  ~SImageLabel() override;

  // Replaces the image by one made from XPM data.
  virtual void LoadBackground(void* image, int width, int height);

  void Draw(const SRect& rect) override;
  void MouseStateChanged(bool* state, int index) override;

  context::SDrawBitmap* GetImage() const { return image; }

 private:
  void DiscardImage();

  context::SDrawBitmap* image = nullptr;
  context::SDrawMemoryDevice* imageDevice = nullptr;
};

}  // namespace tovo::gui
