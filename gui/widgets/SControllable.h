// The ground of value widgets: a label that holds a ranged value and changes it in steps by the user's
// gestures, reporting each change as a control event (type 5). It keeps the zone where presses count
// (the handle zone), the handle's rectangle, optional background and handle images, a double buffer, its
// colours and the drag start. A press inside the handle zone starts a drag, a middle click steps once
// towards the side clicked, and a Control-click returns to the default.
#pragma once

#include "gui/widgets/SIControllable.h"
#include "gui/widgets/SIHoverable.h"
#include "gui/widgets/SLabel.h"

namespace tovo::gui {

namespace context {
class SDrawBitmap;
class SDrawMemoryDevice;
}  // namespace context

// Type bits of value controls.
enum SControllableType : int {
  kControlLabelled = 0x02,   // the label's background and text lie under the value
  kControlImages = 0x04,     // internal: background and handle images are present
  kControlWholeZone = 0x08,  // presses count anywhere on the control
  kControlValueZone = 0x10,  // internal: a value zone was set
};

template <typename T, bool Variant>
class SControllable;

// The toolkit uses only the plain integer variant.
template <>
// Its frame takes the hover colours: the first (SetHoverColours) while the pointer is elsewhere, the second
// while it is over the control.
class SControllable<int, false> : public SLabel<false>, public SIControllable<int>, public SIHoverable {
 public:
  SControllable(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
                int width, int height, int hostWindow, bool flag);
  ~SControllable() override;

  // The four control colours (pixels); the fourth is the handle colour.
  virtual void SetControlColours(int first, int second, int third, int handle);
  virtual void SetValueColour(int colour);
  virtual int GetValueColour();
  virtual void SetValueFont(context::SDrawFont* font);
  virtual void SetHandleZone(const SRect& zone);
  // The handle colour and the third control colour.
  virtual void SetHandleColours(int handle, int third);
  virtual void SetValueZone(const SRect& zone);
  virtual void SetValueOffset(const SPoint& offset);
  // A fresh double buffer of the size the control had when it was made.
  virtual void SetDoubleBuffer();
  // How far down a handle stands that travels the buffer's height as the value goes through the range.
  virtual int CalcHandleOffset();
  // One user step of amount units up or down, within the range; a change is redrawn and reported.
  virtual void ValueChange(bool up, int amount);
  // Reports the current value (type 5).
  virtual void SendControlEvent();

  // The user bits (labelled, whole zone) are stored; the internal ones stay as they are.
  void SetType(int type) override;
  // Background and handle images; the control owns them from now on, also when it cannot use them.
  void SetBitmaps(context::SDrawBitmap* background, context::SDrawBitmap* handle) override;
  void MouseStateChanged(bool* state, int index) override;
  // Back to the default value, as a value holder resets.
  void Reset() override;

  int GetType() const { return type; }
  const SRect& GetHandleZone() const { return handleZone; }
  const SRect& GetHandleRect() const { return handleRect; }
  const SRect& GetValueZone() const { return valueZone; }
  context::SDrawFont* GetValueFont() const { return valueFont; }
  int GetControlColour(int index) const { return controlColours[index]; }

 protected:
  bool InHandleZone(const SPoint& client) const {
    return client.x >= handleZone.left && client.x <= handleZone.right && client.y >= handleZone.top &&
           client.y <= handleZone.bottom;
  }
  void OnPress(int index);
  void DiscardBitmaps();

  context::SDrawBitmap* backgroundImage = nullptr;
  context::SDrawBitmap* handleImage = nullptr;
  context::SDrawBitmap* bufferBitmap = nullptr;
  context::SDrawMemoryDevice* backgroundDevice = nullptr;
  context::SDrawMemoryDevice* handleDevice = nullptr;
  context::SDrawMemoryDevice* bufferDevice = nullptr;
  context::SDrawFont* valueFont = nullptr;
  int valueColour;
  int controlColours[4];
  int type = 0;
  int bufferWidth;
  int bufferHeight;
  SRect handleRect;
  // Empty until set: no press counts.
  SRect handleZone{0, 0, -1, -1};
  SRect valueZone{0, 0, 0, 0};
  SPoint valueOffset{0, 0};
  // Where the drag started, in client coordinates, moved on at each step.
  SPoint dragStart{0, 0};
};

}  // namespace tovo::gui
