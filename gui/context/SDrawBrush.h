// A brush: the fill colour that SDrawDevice::SetBrush puts into a graphics context. A solid brush (style
// -1) fills in its colour, a patterned one in its alternative colour; that effective colour is also the
// key under which SStaticData shares brushes.
#pragma once

namespace tovo::gui::context {

class SDrawBitmap;

class SDrawBrush {
 public:
  static constexpr int kSolid = -1;

  SDrawBrush(int fillColour, int fillStyle, SDrawBitmap* patternBitmap)
      : pattern(patternBitmap), style(fillStyle), colour(fillColour) {}

  int EffectiveColour() const { return style == kSolid ? colour : alternativeColour; }
  int Colour() const { return colour; }
  int Style() const { return style; }
  SDrawBitmap* Pattern() const { return pattern; }
  void SetAlternativeColour(int c) { alternativeColour = c; }

 private:
  SDrawBitmap* pattern;
  int style;
  int colour;
  int alternativeColour = 0;
};

}  // namespace tovo::gui::context
