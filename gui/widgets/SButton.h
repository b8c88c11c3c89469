// The push and toggle button: a label with a value (0 released, 1 pressed) that the mouse switches and
// that is reported to the listeners as a value event (type 3). It can be momentary, a toggle that reports
// both ways, a click button that reports which mouse button was pressed, or a menu button for its
// window's menu; it shows hover frames, an active label colour and an alternative text while pressed, and
// a pair of images that replace background and text.
#pragma once

#include "gui/widgets/SIHoverable.h"
#include "gui/widgets/SIValueHolder.h"
#include "gui/widgets/SLabel.h"

namespace tovo::gui {

namespace context {
class SDrawBitmap;
class SDrawMemoryDevice;
}  // namespace context

// Button type bits (SetType).
enum SButtonType : int {
  kButtonCodeOnly = 0x01,       // a left press does nothing: only code changes the value
  kButtonMomentary = 0x02,      // release, or the pointer leaving, switches it off again
  kButtonReportOff = 0x04,      // switching off by Toggle is reported too
  kButtonClick = 0x08,          // the value never stays on; each press reports the mouse button
  kButtonMenu = 0x10,           // switching on opens the window's menu under the button
  kButtonImages = 0x20,         // internal: both images are present and drawn instead
  kButtonReportOffAlso = 0x40,  // the same as kButtonReportOff
};

template <bool Variant>
class SButton;

// The toolkit uses only the plain variant of the button.
template <>
class SButton<false> : public SLabel<false>, public SIHoverable, public SIValueHolder<int> {
 public:
  SButton(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
          int width, int height, int hostWindow, bool flag);
  ~SButton() override;

  virtual void SetLabelColourActive(int colour);
  // The text shown instead of the label while the value is 1 and use is set; null empties it.
  virtual void SetLabelAlternative(const char* text, bool use);
  // Released and pressed images from XPM data; both must be given and load, or neither is used.
  virtual void SetBitmaps(void* released, void* pressed, int width, int height);
  // Stores and redraws; with notify the new value is reported (type 3). False when v is the value already.
  bool SetValue(int v, bool notify) override;
  int GetValue() override;

  // Stores the type bits only.
  void SetType(int type) override;
  // Back to 0 (reported); the press that closed the menu must not open it again.
  void Reset() override;
  void Toggle() override;
  void ClearState() override;
  void Draw(const SRect& rect) override;
  void DrawOutlines(const SRect& rect) override;
  // The same with ready bitmaps; the button owns them from now on, also when it cannot use them.
  void SetBitmaps(context::SDrawBitmap* released, context::SDrawBitmap* pressed) override;
  void MouseStateChanged(bool* state, int index) override;
  // The label colour also becomes the active colour.
  void SetLabelColours(int colour, int disabledColour) override;
  // Disabled colour while disabled, else the active colour while the value is 1, else the label colour.
  int GetLabelColour() override;
  void DrawLabel() override;

  int GetType() const { return type; }
  int GetLabelColourActive() const { return labelColourActive; }
  const SLabelText& GetLabelAlternative() const { return alternative; }
  bool MenuJustClosed() const { return menuJustClosed; }

 private:
  // Releases the images and their devices and clears the image bit.
  void DiscardBitmaps();
  // Keeps both images when both are real pixmaps, else discards them.
  void AdoptBitmaps(context::SDrawBitmap* released, context::SDrawBitmap* pressed);
  void OnLeftPress();
  void OnRightPress();
  void OnMiddlePress();
  void OnRelease();
  // A right or middle press of a click button: shown pressed and reported as that button's value.
  void ReportClick(int buttonValue);

  int type = kButtonMomentary;
  int labelColourActive;
  SLabelText alternative;
  bool useAlternative = false;
  context::SDrawBitmap* releasedImage = nullptr;
  context::SDrawBitmap* pressedImage = nullptr;
  context::SDrawMemoryDevice* releasedDevice = nullptr;
  context::SDrawMemoryDevice* pressedDevice = nullptr;
  // Set when the menu closed by a press on this button, so that the same press does not reopen it.
  bool menuJustClosed = false;
};

}  // namespace tovo::gui
