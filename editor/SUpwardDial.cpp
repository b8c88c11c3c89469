// The upward text of the legend's dials.
#include "editor/SUpwardDial.h"

#include "gui/context/SDrawing.h"

void SUpwardDial::DrawValue() {
  const tovo::gui::SDisplayText* texts = GetDisplayTextsA().texts;
  if (!valueFont || !texts || value < valueMin || value > valueMax) return;
  constexpr int kUpwards = 90;
  drawing->SetFont(valueFont);
  drawing->SetTextColour(GetLabelColour(), false);
  drawing->DrawRotatedText(texts[value].Get(), WholeClient(), kUpwards, 0, {0, 0});
}
