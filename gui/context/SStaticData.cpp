// The shared colour table and the shared pen, brush and font lists.
#include "gui/context/SStaticData.h"

#include "gui/context/SColour.h"

namespace tovo::gui::context {

SStaticData statdata;

namespace {

// Slots 0-28 in order: the toolkit reads them by number (4 and 10 for the tooltip indicator, 20 for
// frames and outlines).
constexpr unsigned char kStandardColours[SStaticData::kColourSlots][3] = {
    {255, 255, 255}, {255, 255, 0},   {255, 128, 0},   {128, 64, 0},    {255, 0, 0},     {100, 0, 0},
    {64, 0, 0},      {255, 0, 255},   {128, 0, 255},   {172, 128, 255}, {0, 0, 255},     {0, 128, 255},
    {0, 255, 255},   {0, 255, 0},     {0, 128, 0},     {0, 64, 0},      {128, 255, 0},   {192, 255, 0},
    {255, 236, 200}, {128, 128, 128}, {0, 0, 0},       {247, 231, 168}, {236, 213, 123}, {138, 145, 150},
    {77, 81, 84},    {22, 22, 22},    {44, 44, 44},    {66, 66, 66},    {90, 90, 90}};

}  // namespace

void SStaticData::AddColours() {
  for (const auto& rgb : kStandardColours) AddColour(SCOL(rgb[0], rgb[1], rgb[2]));
  coloursAdded = true;
}

int SStaticData::AddColour(int pixel) {
  if (colourCount >= kColourSlots) return -1;
  colours[colourCount] = pixel;
  return colourCount++;
}

int SStaticData::GetColour(int slot) const {
  if (slot < 0 || slot >= colourCount) return 0;
  return colours[slot];
}

SDrawPen* SStaticData::FindPen(int colour) {
  std::lock_guard<std::mutex> guard(listLock);
  for (SDrawPen* pen : pens)
    if (pen->Colour() == colour) return pen;
  pens.push_back(new SDrawPen(colour, 1, false));
  return pens.back();
}

SDrawBrush* SStaticData::FindBrush(int colour) {
  std::lock_guard<std::mutex> guard(listLock);
  for (SDrawBrush* brush : brushes)
    if (brush->EffectiveColour() == colour) return brush;
  brushes.push_back(new SDrawBrush(colour, SDrawBrush::kSolid, nullptr));
  return brushes.back();
}

SDrawFont* SStaticData::FindFont(int size, bool bold, bool italic) {
  std::lock_guard<std::mutex> guard(listLock);
  for (SDrawFont* font : fonts)
    if (font->Size() == size && font->Bold() == bold && font->Italic() == italic) return font;
  fonts.push_back(new SDrawFont(size, bold, italic, false, nullptr));
  return fonts.back();
}

void SStaticData::Release() {
  std::lock_guard<std::mutex> guard(listLock);
  pens.DeleteAll();
  brushes.DeleteAll();
  fonts.DeleteAll();
  colourCount = 0;
  coloursAdded = false;
}

void InitStaticData() {
  if (!statdata.ColoursAdded()) statdata.AddColours();
}

void ReleaseStaticData() { statdata.Release(); }

}  // namespace tovo::gui::context
