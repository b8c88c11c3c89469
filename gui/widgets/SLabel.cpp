// Text labels: layout of one or more lines as a block, drawing, frames, and press reports.
#include "gui/widgets/SLabel.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>

#include "gui/context/SDrawFont.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SPressValue.h"

namespace tovo::gui {

using context::statdata;

namespace {

// Height (ascent plus descent of the characters themselves) and width of a run of text.
void Extent(XFontStruct* metrics, const char* text, int length, int* width, int* height) {
  int direction = 0, ascent = 0, descent = 0;
  XCharStruct overall{};
  XTextExtents(metrics, text, length, &direction, &ascent, &descent, &overall);
  *width = overall.width;
  *height = overall.ascent + overall.descent;
}

}  // namespace

SLabel<false>::SLabel(SGlobals* owner, SControl* parentControl, unsigned controlId, const char* name,
                      int styleBits, int x, int y, int width, int height, int hostWindow, bool flag)
    : SWindow(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag) {}

SLabel<false>::~SLabel() = default;

// --- Text and layout -------------------------------------------------------------------------------------

void SLabel<false>::SetLabel(const char* newText) {
  if (!font) return;
  text.Clear(false).Append(newText);
  lines.clear();
  lineRects.clear();
  if (!std::strchr(text.Get(), '\n')) {
    // One line fills the control; the text drawing call aligns it there.
    lines.push_back(text);
    lineRects.push_back(WholeClient());
  } else {
    MeasureLines();
    text.Tokenize(lines, "\n\t\r");
    PlaceLines();
  }
  Refresh();
}

void SLabel<false>::SetLabel(const SLabelText& newText) {
  SetLabel(newText.Get());
}

void SLabel<false>::SetLabel(const char* newText, context::SDrawFont* newFont, int newAlignment) {
  font = newFont;
  alignment = newAlignment;
  SetLabel(newText);
}

void SLabel<false>::SetLabel(const SLabelText& newText, context::SDrawFont* newFont, int newAlignment) {
  SetLabel(newText.Get(), newFont, newAlignment);
}

// The block is as wide as the widest line and as tall as all lines together, empty ones included: the
// splitting drops empty lines, but the space they stand for stays, each as tall as the line before the
// first of them (or as "W" when the text starts with one).
void SLabel<false>::MeasureLines() {
  auto* metrics = static_cast<XFontStruct*>(font->Info());
  textWidth = textHeight = 0;
  if (!metrics) return;
  int emptyHeight = -1, lastHeight = -1;
  const char* run = text.Get();
  for (;;) {
    const char* end = std::strchr(run, '\n');
    const int length = end ? static_cast<int>(end - run) : static_cast<int>(std::strlen(run));
    if (length == 0) {
      if (emptyHeight < 0) {
        int unused = 0;
        if (lastHeight >= 0)
          emptyHeight = lastHeight;
        else
          Extent(metrics, "W", 1, &unused, &emptyHeight);
      }
      textHeight += emptyHeight;
    } else {
      int width = 0, height = 0;
      Extent(metrics, run, length, &width, &height);
      textWidth = std::max(textWidth, width);
      textHeight += height;
      lastHeight = height;
    }
    if (!end) break;
    run = end + 1;
  }
}

// The block goes to the bottom-right corner with the right bit, else to the centre without the left bit,
// else to the top-left corner. Vertically the top bit then lifts it to the top, the bottom bit keeps
// where the horizontal choice put it, and without either it is centred.
void SLabel<false>::PlaceLines() {
  lineRects.clear();
  const SRect client = WholeClient();
  int left = 0, top = 0;
  if (alignment & context::kAlignRight) {
    left = client.right - textWidth;
    top = client.bottom - textHeight;
  } else if (!(alignment & context::kAlignLeft)) {
    left = (client.right - textWidth) / 2;
    top = (client.bottom - textHeight) / 2;
  }
  if (alignment & context::kAlignTop)
    top = 0;
  else if (!(alignment & context::kAlignBottom))
    top = (client.bottom - textHeight) / 2;

  const int count = static_cast<int>(lines.size());
  if (count == 0) return;
  const int lineHeight = textHeight / count;
  for (int i = 0; i < count; ++i) {
    const int bottom = i == count - 1 ? top + textHeight : top + (i + 1) * lineHeight;
    lineRects.push_back({left, top + i * lineHeight, left + textWidth, bottom});
  }
}

void SLabel<false>::RedrawLabel() {
  if (lines.size() < 2) {
    lineRects.assign(1, WholeClient());
    return;
  }
  PlaceLines();
}

const SLabelText& SLabel<false>::GetLabel() {
  return text;
}

void SLabel<false>::SetAlignment(int newAlignment) {
  alignment = newAlignment;
}

void SLabel<false>::SetLabelOffset(SPoint offset) {
  labelOffset = offset;
}

void SLabel<false>::SetLabelOffset(SPoint& offset) {
  labelOffset = offset;
}

void SLabel<false>::SetLabelRounding(int radius) {
  labelRounding = radius;
}

void SLabel<false>::SetSize(int width, int height) {
  SWindow::SetSize(width, height);
  RedrawLabel();
}

void SLabel<false>::SetRoundShape(bool round) {
  roundShape = round;
  SWindow::SetRoundShape(round);
}

// --- Colours ---------------------------------------------------------------------------------------------

void SLabel<false>::SetLabelColours(int colour, int disabledColour) {
  labelColour = colour;
  labelColourDisabled = disabledColour;
}

int SLabel<false>::GetLabelColour() {
  return Enabled() ? labelColour : labelColourDisabled;
}

void SLabel<false>::Highlight(bool on, int colour, int, int) {
  highlightColour = colour;
  if (on == highlighted) return;
  highlighted = on;
  RefreshOutlines();
}

// --- Drawing ---------------------------------------------------------------------------------------------

void SLabel<false>::Draw(const SRect&) {
  if (!drawing) return;
  const SRect r = WholeClient();
  if (!roundShape) {
    SWindow::Draw(r);
    DrawLabel();
    return;
  }
  drawing->DrawBackground(r, true);
  FillRounded(r, labelRounding);
  DrawLabel();
  DrawOutlines(r);
}

void SLabel<false>::DrawLabel() {
  if (lines.empty() || !font || !drawing) return;
  drawing->SetFont(font);
  drawing->SetPen(statdata.FindPen(SLabel::GetLabelColour()));
  DrawLines();
}

void SLabel<false>::DrawLines() {
  const size_t count = std::min(lines.size(), lineRects.size());
  for (size_t i = 0; i < count; ++i) drawing->DrawLabel(lines[i].Get(), lineRects[i], alignment, labelOffset);
}

void SLabel<false>::DrawOutlines(const SRect& rect) {
  if (!drawing) return;
  if (highlighted)
    DrawFrame(rect, highlightColour, labelRounding);
  else if (HasFrame())
    DrawFrame(rect, GetFrameColour(Enabled(), false), labelRounding);
}

void SLabel<false>::DrawFrame(const SRect& rect, int colour, int radius) {
  drawing->SetPen(statdata.FindPen(colour));
  if (roundShape)
    drawing->DrawRoundedRect(rect, radius, radius);
  else
    drawing->DrawRect(rect);
}

void SLabel<false>::FillRounded(const SRect& rect, int radius) {
  const int colour = drawing->GetBackgroundColour();
  drawing->SetPen(statdata.FindPen(colour));
  drawing->SetBrush(statdata.FindBrush(colour));
  drawing->FillRoundedRect(rect, radius, radius);
}

// --- Mouse -----------------------------------------------------------------------------------------------

void SLabel<false>::MouseStateChanged(bool*, int index) {
  if (!Live()) return;
  if (const int pressed = PressValue(index))
    SendEvent(kEventValueChanged, kKindValue, pressed, 0.0f, nullptr, this, nullptr);
}

}  // namespace tovo::gui
