// The extent of a text in one font, measured the way labels, tooltips and message boxes size themselves:
// the ink of the characters themselves (their own ascent and descent, not the font's), and for a text
// of several lines the widest line and the lines' heights summed, where an empty line (two line feeds in
// a row, or a final one) still takes the room of a text line so that blank lines space a text out.
#pragma once

namespace tovo::gui {

namespace context {
class SDrawFont;
}

struct STextExtent {
  int width;
  int height;

  // The first length characters as one line; zero for no characters or a font that did not load.
  static STextExtent MeasureRun(const char* text, int length, const context::SDrawFont* font);
  // Lines end at line feeds and at the end of the text. Each empty line counts with one fixed height:
  // that of the last line measured before the first empty line, or that of "W" when none was. Zero for
  // a null text or a font that did not load.
  static STextExtent MeasureLines(const char* text, const context::SDrawFont* font);
};

}  // namespace tovo::gui
