// The process-wide registry of drawing resources, `statdata`: the standard colour table of 29 numbered
// slots, and the pens, brushes and fonts that all controls of all instances share. Filled once when the
// library is loaded (after the toolkit's X connection is open) and emptied when it is unloaded.
#pragma once

#include <mutex>

#include "gui/context/SDrawLists.h"

namespace tovo::gui::context {

class SStaticData {
 public:
  static constexpr int kColourSlots = 29;

  SStaticData() = default;
  SStaticData(const SStaticData&) = delete;
  SStaticData& operator=(const SStaticData&) = delete;

  // Allocates the 29 standard colours into the slots, in slot order, and marks the colours added.
  void AddColours();
  // Appends a pixel to the next free slot; returns the slot, or -1 when the table is full (the colour is
  // dropped).
  int AddColour(int pixel);
  bool ColoursAdded() const { return coloursAdded; }
  int ColourCount() const { return colourCount; }
  // The pixel in slot; 0 for a slot that holds no colour.
  int GetColour(int slot) const;

  // Any thread (controls of several instances may paint on different host threads).
  // The first listed pen (width 1, solid) or solid brush of that colour, made and listed on first use.
  SDrawPen* FindPen(int colour);
  SDrawBrush* FindBrush(int colour);
  // The listed font of that size, weight and slant (no family), loaded and listed on first use.
  SDrawFont* FindFont(int size, bool bold, bool italic);

  SPenListOwned& Pens() { return pens; }
  SBrushListOwned& Brushes() { return brushes; }
  SFontListOwned& Fonts() { return fonts; }

  // Deletes every pen, brush and font and forgets the colours; the fonts go back to the X connection
  // that loaded them, so this must run before that connection is closed.
  void Release();

 private:
  int colours[kColourSlots] = {};
  int colourCount = 0;
  bool coloursAdded = false;
  SPenListOwned pens;
  SBrushListOwned brushes;
  SFontListOwned fonts;
  std::mutex listLock;
};

extern SStaticData statdata;

// Library load, after the toolkit's X connection is open: fills statdata's colour table.
void InitStaticData();
// Library unload, before the toolkit's X connection is closed: frees statdata's pens, brushes and fonts.
void ReleaseStaticData();

}  // namespace tovo::gui::context
