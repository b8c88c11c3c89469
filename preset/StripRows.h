// The panel's rows of strips: the layout in which it keeps a preset's strips, and the edits it makes to them
// (on a copy of the preset, which the plug-in then puts in place whole).
//
// The panel keeps the strips as rows: row 0 shows strip 0, the next stripCount - 1 rows name the other
// strips in use, each once, and the rows after them are empty.
#pragma once

#include <vector>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

namespace vantorine::preset {

// Puts the first strip not in use, with the new-strip label, in the row after the last; its slot, or -1 when
// every strip is in use or the count is out of range.
int AddStrip(VSTPluginProgram& preset);

// Takes the strip in `slot` (never strip 0) out of use: its values and its version 2 values back to "not
// sent", its row out of the order and the rows after it one up, the count recounted.
void RemoveStrip(VSTPluginProgram& preset, VSTPluginProgramExtension& extension, int slot);

// Brings the rows back to the panel's layout after a chunk or a paste: a row naming a strip not in use
// becomes empty and that strip blank, and the count is one more than the rows naming a strip in use.
void TidyStripRows(VSTPluginProgram& preset, VSTPluginProgramExtension& extension);

// The strips of a preset in the order the panel shows them, when the record is laid out as the panel keeps
// it: strip 0 first and in use, then `stripCount - 1` distinct strips in use, empty rows after them, and no
// other strip in use. Returns false (and leaves `slots` empty) for any other layout.
bool PanelOrder(const VSTPluginProgram& preset, std::vector<int>& slots);

}  // namespace vantorine::preset
