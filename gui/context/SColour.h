// Colours as the toolkit stores them: X pixel values allocated from the default colour map (SCOL), plus
// two small carriers, an RGBA value (SColour) and a list of eight preset pixels (SColourListSimple).
#pragma once

#include <vector>

namespace tovo::gui {

// Allocates the colour (8-bit channels) on the default colour map of screen 0 of the current connection
// and returns its pixel; 0 without a connection.
int SCOL(int r, int g, int b);

namespace context {

// RGBA on a 0-255 scale.
class SColour {
 public:
  SColour() : red(255), green(255), blue(255), alpha(255) {}
  SColour(float r, float g, float b, float a) : red(r), green(g), blue(b), alpha(a) {}
  SColour(int r, int g, int b, int a)
      : red(static_cast<float>(r)), green(static_cast<float>(g)), blue(static_cast<float>(b)),
        alpha(static_cast<float>(a)) {}
  SColour(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
      : red(r), green(g), blue(b), alpha(a) {}

  float red;
  float green;
  float blue;
  float alpha;
};

// White, blue, yellow, red, magenta, cyan, lime and cream, allocated on construction.
class SColourListSimple {
 public:
  SColourListSimple();
  const std::vector<int>& Colours() const { return colours; }

 private:
  std::vector<int> colours;
};

}  // namespace context
}  // namespace tovo::gui
