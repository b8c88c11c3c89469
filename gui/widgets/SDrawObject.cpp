// Painting the retained shapes with the shared pens and brushes.
#include "gui/widgets/SDrawObject.h"

#include "gui/context/SDrawing.h"
#include "gui/context/SStaticData.h"

namespace tovo::gui {

using context::SDrawing;
using context::statdata;

SDrawObject::SDrawObject(const Rect& area, int backgroundColour, int frameColour)
    : rect(area), background(backgroundColour), frame(frameColour) {}

void SDrawObject::Draw(SDrawing* drawing) {
  if (!drawing) return;
  const int saved = drawing->GetBackgroundColour();
  drawing->SetBackgroundColour(background);
  drawing->DrawBackground(Placed(), false);
  drawing->SetBackgroundColour(saved);
}

SDrawRect::SDrawRect(const Rect& area, int backgroundColour, int frameColour, bool isFilled)
    : SDrawObject(area, backgroundColour, frameColour), filled(isFilled) {}

void SDrawRect::Draw(SDrawing* drawing) {
  if (!drawing) return;
  const Rect placed = Placed();
  if (filled) {
    drawing->SetBrush(statdata.FindBrush(background));
    drawing->FillRect(placed);
  }
  drawing->SetPen(statdata.FindPen(frame));
  drawing->DrawRect(placed);
}

STextObject::STextObject(const char* content, const Rect& area, int backgroundColour, int frameColour, int colour,
                         int textAlignment, context::SDrawFont* textFont)
    : SDrawObject(area, backgroundColour, frameColour), textColour(colour), alignment(textAlignment), font(textFont) {
  text.Append(content);
}

void STextObject::DrawText(SDrawing* drawing) {
  drawing->SetTextColour(textColour, false);
  drawing->DrawLabel(text.Get(), {rect.left + textX, rect.top + textY, rect.right + textX, rect.bottom + textY},
                     alignment, {0, 0});
}

void STextObject::Draw(SDrawing* drawing) {
  if (!drawing) return;
  SDrawObject::Draw(drawing);
  DrawText(drawing);
}

void STextObjectX::Draw(SDrawing* drawing) {
  if (!drawing) return;
  SDrawObject::Draw(drawing);
  drawing->SetFont(font);
  DrawText(drawing);
}

}  // namespace tovo::gui
