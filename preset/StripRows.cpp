// The panel's strip edits, in the order of stores that keeps every reader's view whole.
#include "preset/StripRows.h"

#include "preset/PresetBytes.h"

namespace vantorine::preset {

namespace {

// One for strip 0, and one for each row after it that names another strip in use.
int32_t CountStrips(const VSTPluginProgram& preset) {
  int32_t count = 1;
  for (int row = 1; row < kStripCount; ++row) {
    const int32_t slot = LoadShared(preset.stripOrder[row]);
    if (slot >= 1 && slot < kStripCount && StripInUse(preset.strips[slot])) ++count;
  }
  return count;
}

}  // namespace

int AddStrip(VSTPluginProgram& preset) {
  const int32_t count = LoadShared(preset.stripCount);
  if (count < 1 || count >= kStripCount) return -1;
  int added = 1;
  while (added < kStripCount && StripInUse(preset.strips[added])) ++added;
  if (added == kStripCount) return -1;
  VSTPluginStrip& strip = preset.strips[added];
  StoreLabel(strip, kNewLabel);
  StoreShared(preset.stripOrder[count], static_cast<int32_t>(added));
  StoreShared(preset.stripCount, count + 1);
  SetStripInUse(strip, true);
  return added;
}

void RemoveStrip(VSTPluginProgram& preset, VSTPluginProgramExtension& extension, int slot) {
  if (slot < 1 || slot >= kStripCount) return;
  // Withdrawn before its values go, so that a send in between sends what the user set or nothing.
  SetStripInUse(preset.strips[slot], false);
  ClearStripValues(preset.strips[slot]);
  ClearStripExtension(extension, slot);
  int row = 1;
  while (row < kStripCount && LoadShared(preset.stripOrder[row]) != slot) ++row;
  if (row < kStripCount) {
    StoreShared(preset.stripOrder[row], kEmptyRow);
    // The empty row sinks below every row that names a strip.
    for (int i = row; i < kStripCount - 1; ++i) {
      const int32_t here = LoadShared(preset.stripOrder[i]);
      const int32_t next = LoadShared(preset.stripOrder[i + 1]);
      if (next < here) {
        StoreShared(preset.stripOrder[i], next);
        StoreShared(preset.stripOrder[i + 1], here);
      }
    }
  }
  StoreShared(preset.stripCount, CountStrips(preset));
}

void TidyStripRows(VSTPluginProgram& preset, VSTPluginProgramExtension& extension) {
  for (int row = 1; row < kStripCount; ++row) {
    const int32_t slot = LoadShared(preset.stripOrder[row]);
    // Strip 0 always owns the first row; a row that names it again shows nothing and is left as it is.
    if (slot < 1 || slot >= kStripCount) continue;
    VSTPluginStrip& strip = preset.strips[slot];
    if (StripInUse(strip)) continue;
    ClearStripValues(strip);
    ClearStripExtension(extension, slot);
    StoreLabel(strip, kNewLabel);
    StoreShared(preset.stripOrder[row], kEmptyRow);
  }
  StoreShared(preset.stripCount, CountStrips(preset));
}

bool PanelOrder(const VSTPluginProgram& preset, std::vector<int>& slots) {
  slots.clear();
  const int count = preset.stripCount;
  if (count < 1 || count > kStripCount || preset.stripOrder[0] != 0 || !preset.strips[0].inUse) return false;
  bool listed[kStripCount] = {true};
  std::vector<int> order{0};
  for (int row = 1; row < kStripCount; ++row) {
    const int32_t slot = preset.stripOrder[row];
    if (row >= count) {
      if (slot != kEmptyRow) return false;
      continue;
    }
    if (slot < 1 || slot >= kStripCount || listed[slot] || !preset.strips[slot].inUse) return false;
    listed[slot] = true;
    order.push_back(slot);
  }
  for (int slot = 0; slot < kStripCount; ++slot)
    if (preset.strips[slot].inUse && !listed[slot]) return false;
  slots = order;
  return true;
}

}  // namespace vantorine::preset
