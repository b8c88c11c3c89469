// The extent of a text of several lines in one font, measured the way tooltips and message boxes size
// themselves: the widest line, and the lines' heights summed, where an empty line (two line feeds in a
// row, or a final one) still takes the room of a text line so that blank lines space a text out.
#pragma once

namespace tovo::gui {

namespace context {
class SDrawFont;
}

struct STextExtent {
  int width;
  int height;

  // Lines end at line feeds and at the end of the text. The font's ascent and descent are the same for
  // every text, so each line, empty or not, is one font height. Zero for a null text or a font that did
  // not load.
  static STextExtent MeasureLines(const char* text, const context::SDrawFont* font);
};

}  // namespace tovo::gui
