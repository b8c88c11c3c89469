// The frame-sequence control.
#include "gui/widgets/SVideo.h"

#include "gui/SEvent.h"

namespace tovo::gui {

SVideo::SVideo(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name, int styleBits, int x,
               int y, int width, int height, int hostWindow, bool flag)
    : SControl(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag) {
  EnableEventHandler(kEventControlChanged);
}

void SVideo::Draw(const SRect& rect) {
  if (open)
    GrabFrame(currentFrame, rect.right - rect.left, rect.bottom - rect.top);
  else
    SControl::Draw(rect);
}

void SVideo::StopTimer() { timerRunning = false; }

void SVideo::InitControl(int, int) { EnableEventHandler(kEventControlChanged); }

}  // namespace tovo::gui
