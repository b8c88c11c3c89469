// Retained shapes that a container keeps in a list and paints in order on its own drawing context: a
// plain background patch, a filled or framed rectangle, and a text in a rectangle (with the container's
// current font, or with a font of its own). A tooltip's content is made of them.
#pragma once

#include "data/datastring.h"
#include "math/Point.h"
#include "math/Rectangle.h"

namespace tovo::gui {

namespace context {
class SDrawing;
class SDrawFont;
}  // namespace context

// A patch of background colour over a rectangle; the rectangle is painted shifted by the offset.
class SDrawObject {
 public:
  using Rect = tovo::math::geom::Rectangle<int, 2>;

  SDrawObject() = default;
  SDrawObject(const Rect& area, int backgroundColour, int frameColour);
  virtual ~SDrawObject() = default;

  // Paints with the drawing's background set to the object's colour, then puts the drawing's back.
  virtual void Draw(context::SDrawing* drawing);

  const Rect& GetRect() const { return rect; }
  void SetRect(const Rect& area) { rect = area; }
  void SetDrawOffset(int x, int y) {
    offsetX = x;
    offsetY = y;
  }
  int GetBackgroundColour() const { return background; }
  int GetFrameColour() const { return frame; }

 protected:
  Rect Placed() const { return {rect.left + offsetX, rect.top + offsetY, rect.right + offsetX, rect.bottom + offsetY}; }

  Rect rect{0, 0, 0, 0};
  int offsetX = 0;
  int offsetY = 0;
  int background = 0;
  int frame = 0;
};

// A rectangle outlined in the frame colour, filled in the background colour first when asked.
class SDrawRect : public SDrawObject {
 public:
  SDrawRect(const Rect& area, int backgroundColour, int frameColour, bool isFilled);
  void Draw(context::SDrawing* drawing) override;

  bool Filled() const { return filled; }

 private:
  bool filled;
};

// A text on a background patch, placed in the rectangle (shifted by the text offset) by the alignment
// bits of SDrawing::DrawLabel, in the drawing's current font.
class STextObject : public SDrawObject {
 public:
  using Text = tovo::data::datastring<32, char>;

  STextObject(const char* content, const Rect& area, int backgroundColour, int frameColour, int colour,
              int textAlignment, context::SDrawFont* textFont);
  void Draw(context::SDrawing* drawing) override;

  const Text& GetText() const { return text; }
  void SetTextOffset(int x, int y) {
    textX = x;
    textY = y;
  }
  int GetTextColour() const { return textColour; }
  int GetAlignment() const { return alignment; }
  context::SDrawFont* GetFont() const { return font; }

 protected:
  void DrawText(context::SDrawing* drawing);

  Text text;
  int textX = 0;
  int textY = 0;
  int textColour;
  int alignment;
  // Not owned; only STextObjectX selects it.
  context::SDrawFont* font;
};

// A text object that draws in its own font rather than the container's.
class STextObjectX : public STextObject {
 public:
  using STextObject::STextObject;
  void Draw(context::SDrawing* drawing) override;
};

}  // namespace tovo::gui
