// The text label, base of every widget that shows text: a text of one or more lines in a font, laid out as
// one block inside the client rectangle by the alignment bits and drawn line by line in the label colour
// (or the disabled colour). It reports mouse presses to its listeners as value events (type 3).
#pragma once

#include <vector>

#include "gui/SWindow.h"

namespace tovo::gui {

namespace context {
class SDrawFont;
}

template <bool Variant>
class SLabel;

// The toolkit uses only the plain variant of the label.
template <>
class SLabel<false> : public SWindow {
 public:
  SLabel(SGlobals* globals, SControl* parent, unsigned id, const char* name, int style, int x, int y,
         int width, int height, int hostWindow, bool flag);
  ~SLabel() override;

  // Label colour and disabled label colour (pixels); stored only.
  virtual void SetLabelColours(int colour, int disabledColour);
  // The colour the text is drawn in now: the label colour while enabled, else the disabled one.
  virtual int GetLabelColour();
  // Lays the text out (null empties it) and redraws; nothing happens while no font is set.
  virtual void SetLabel(const char* text);
  virtual void SetLabel(const SLabelText& text);
  virtual void SetLabel(const char* text, context::SDrawFont* font, int alignment);
  virtual void SetLabel(const SLabelText& text, context::SDrawFont* font, int alignment);
  // Places the measured block again, for a new client size.
  virtual void RedrawLabel();
  virtual void SetLabelOffset(SPoint offset);
  virtual void SetLabelRounding(int radius);
  virtual void DrawLabel();

  void Draw(const SRect& rect) override;
  void DrawOutlines(const SRect& rect) override;
  void MouseStateChanged(bool* state, int index) override;
  const SLabelText& GetLabel() override;
  // Stored only: the next SetLabel or RedrawLabel uses it.
  void SetAlignment(int alignment) override;
  void SetLabelOffset(SPoint& offset) override;
  // The outline shows colour while on; the two further numbers are not used.
  void Highlight(bool on, int colour, int, int) override;
  void SetSize(int width, int height) override;
  // Remembers the shape so that backgrounds and frames are drawn rounded too.
  void SetRoundShape(bool round) override;

  context::SDrawFont* GetFont() const { return font; }
  int GetAlignment() const { return alignment; }
  const std::vector<SLabelText>& GetLines() const { return lines; }
  const std::vector<SRect>& GetLineRects() const { return lineRects; }
  int GetTextWidth() const { return textWidth; }
  int GetTextHeight() const { return textHeight; }
  bool IsHighlighted() const { return highlighted; }
  bool IsRoundShape() const { return roundShape; }

 protected:
  // Whether the control's window exists and is not being torn down: only then does it react to the mouse.
  bool Live() const { return window != 0 && !IsCleaningUp(); }
  bool HasFrame() const { return (style & kStyleFramedOutline) != 0; }
  // Each line in its rectangle with the current font and GC colour.
  void DrawLines();
  // The rectangle outlined in colour, with rounded corners of radius when the control is round.
  void DrawFrame(const SRect& rect, int colour, int radius);
  // The rectangle filled in the current background colour with rounded corners of radius.
  void FillRounded(const SRect& rect, int radius);
  SRect WholeClient() const {
    return {0, 0, clientRect.right - clientRect.left, clientRect.bottom - clientRect.top};
  }

  context::SDrawFont* font = nullptr;
  SLabelText text;
  std::vector<SLabelText> lines;
  std::vector<SRect> lineRects;
  int textWidth = 1;
  int textHeight = 1;
  int labelColour = 0;
  int labelColourDisabled = 0;
  SPoint labelOffset{0, 0};
  int alignment = 0;
  int labelRounding = 7;
  bool highlighted = false;
  int highlightColour = 0;
  bool roundShape = false;

 private:
  void MeasureLines();
  void PlaceLines();
};

}  // namespace tovo::gui
