// The image label: its image, drawing and press reports.
#include "gui/widgets/SImageLabel.h"

#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SDrawing.h"
#include "gui/widgets/SPressValue.h"

namespace tovo::gui {

SImageLabel::SImageLabel(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name,
                         int styleBits, int x, int y, int width, int height, int hostWindow, bool flag)
    : SWindow(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag) {}

SImageLabel::~SImageLabel() {
  DiscardImage();
}

void SImageLabel::DiscardImage() {
  delete imageDevice;
  delete image;
  imageDevice = nullptr;
  image = nullptr;
}

void SImageLabel::LoadBackground(void* data, int width, int height) {
  DiscardImage();
  image = new context::SDrawBitmap(data, width, height, false);
  imageDevice = new context::SDrawMemoryDevice(GetDevice(), image);
}

void SImageLabel::Draw(const SRect&) {
  if (!drawing || !imageDevice) return;
  drawing->DrawMemory(imageDevice, 0, 0, 0, 0, clientRect.right - clientRect.left,
                      clientRect.bottom - clientRect.top);
}

void SImageLabel::MouseStateChanged(bool*, int index) {
  if (!window || IsCleaningUp()) return;
  if (const int pressed = PressValue(index))
    SendEvent(kEventValueChanged, kKindValue, pressed, 0.0f, nullptr, this, nullptr);
}

}  // namespace tovo::gui
