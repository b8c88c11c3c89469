// Measuring text of several lines.
#include "gui/widgets/STextExtent.h"

#include <algorithm>

#include "gui/context/SDrawFont.h"

namespace tovo::gui {

STextExtent STextExtent::MeasureLines(const char* text, const context::SDrawFont* font) {
  STextExtent extent{0, 0};
  if (!text || !font || !font->IsLoaded()) return extent;
  const int lineHeight = font->Ascent() + font->Descent();
  int start = 0;
  for (int i = 0;; ++i) {
    if (text[i] != '\n' && text[i] != '\0') continue;
    extent.width = std::max(extent.width, font->TextWidth(text + start, i - start));
    extent.height += lineHeight;
    if (text[i] == '\0') break;
    start = i + 1;
  }
  return extent;
}

}  // namespace tovo::gui
