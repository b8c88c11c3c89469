// Colour allocation on the default colour map.
#include "gui/context/SColour.h"

#include <X11/Xlib.h>

#include "gui/XDisplay.h"

namespace tovo::gui {

namespace {

int AllocateChannels(unsigned short r, unsigned short g, unsigned short b) {
  Display* display = CurrentDisplay();
  if (!display) return 0;
  XColor colour{};
  colour.red = r;
  colour.green = g;
  colour.blue = b;
  colour.flags = DoRed | DoGreen | DoBlue;
  // A full colour map on an 8-bit server leaves the pixel at 0 (black); that is the accepted fallback.
  XAllocColor(display, DefaultColormap(display, 0), &colour);
  return static_cast<int>(colour.pixel);
}

}  // namespace

int SCOL(int r, int g, int b) {
  return AllocateChannels(static_cast<unsigned short>(r << 8), static_cast<unsigned short>(g << 8),
                          static_cast<unsigned short>(b << 8));
}

namespace context {

SColourListSimple::SColourListSimple() {
  static const unsigned short kChannels[8][3] = {
      {0xFF00, 0xFF00, 0xFF00}, {0, 0, 0xFF00},      {0xFF00, 0xFF00, 0},      {0xFF00, 0, 0},
      {0xFF00, 0, 0xFF00},      {0, 0xFF00, 0xFF00}, {0x8000, 0xFF00, 0},      {0xFF00, 0xEC00, 0xC800}};
  colours.reserve(8);
  for (const auto& c : kChannels) colours.push_back(AllocateChannels(c[0], c[1], c[2]));
}

}  // namespace context
}  // namespace tovo::gui
