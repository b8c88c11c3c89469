// A pen: the line colour, width and dash style that SDrawDevice::SetPen puts into a graphics context.
// Pens are values, shared by colour through the registry SStaticData.
#pragma once

namespace tovo::gui::context {

class SDrawPen {
 public:
  SDrawPen(int lineColour, int lineWidth, bool lineDashed) : width(lineWidth), dashed(lineDashed), colour(lineColour) {}

  int Width() const { return width; }
  bool Dashed() const { return dashed; }
  int Colour() const { return colour; }

 private:
  int width;
  bool dashed;
  int colour;
};

}  // namespace tovo::gui::context
