// Measuring text with the font's per-character metrics.
#include "gui/widgets/STextExtent.h"

#include <X11/Xlib.h>

#include <algorithm>

#include "gui/context/SDrawFont.h"

namespace tovo::gui {

STextExtent STextExtent::MeasureRun(const char* text, int length, const context::SDrawFont* font) {
  auto* metrics = font ? static_cast<XFontStruct*>(font->Info()) : nullptr;
  if (!metrics || !text || length <= 0) return {0, 0};
  int direction = 0, fontAscent = 0, fontDescent = 0;
  XCharStruct overall{};
  XTextExtents(metrics, text, length, &direction, &fontAscent, &fontDescent, &overall);
  return {overall.width, overall.ascent + overall.descent};
}

STextExtent STextExtent::MeasureLines(const char* text, const context::SDrawFont* font) {
  STextExtent extent{0, 0};
  if (!text || !font || !font->IsLoaded()) return extent;
  int lastHeight = -1, emptyHeight = -1;
  int start = 0;
  for (int i = 0;; ++i) {
    if (text[i] != '\n' && text[i] != '\0') continue;
    if (i > start) {
      const STextExtent line = MeasureRun(text + start, i - start, font);
      extent.width = std::max(extent.width, line.width);
      extent.height += line.height;
      lastHeight = line.height;
    } else {
      if (emptyHeight < 0) emptyHeight = lastHeight >= 0 ? lastHeight : MeasureRun("W", 1, font).height;
      extent.height += emptyHeight;
    }
    if (text[i] == '\0') break;
    start = i + 1;
  }
  return extent;
}

}  // namespace tovo::gui
