// A control that shows a frame sequence: while a sequence is open it paints the current frame over the
// whole area it is asked to draw, otherwise it paints like any control. It listens for value-control
// messages (row 5), through which an owner can drive it; what advances the frames is left to subclasses.
#pragma once

#include "gui/SControl.h"
#include "gui/widgets/SIVideo.h"

namespace tovo::gui {

class SVideo : public SControl, public SIVideo {
 public:
  SVideo(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y, int width,
         int height, int hostWindow, bool flag);

  void Draw(const SRect& rect) override;
  // Frames are not advanced by the control's own timer.
  void StartTimer(int) override {}
  void TimerProc(int) override {}
  using SControl::StopTimer;
  // Marks the sequence's timer as stopped.
  void StopTimer();
  void InitControl(int, int);
};

}  // namespace tovo::gui
