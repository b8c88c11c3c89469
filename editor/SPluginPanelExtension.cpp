// The panel's behaviour for a preset's version 2 fields: Reset All Controllers first, the SysEx init, its
// settle time and the gap after each of its messages, the controller rows' headers and their values in the strips. The user's changes are written
// into the current preset directly (the host is told, as for labels), and the plug-in's changes come back
// with every full refresh; the settle dial counts down while strips wait for it.
#include <cstdio>
#include <cstdlib>

#include "editor/PanelColours.h"
#include "editor/SPluginPanel.h"
#include "editor/STextDialog.h"
#include "editor/SUpwardDial.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/STextBox.h"
#include "midi/Controllers.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"

using tovo::gui::SControl;
using vantorine::editor::SysexChoiceMemory;

using namespace panelcolour;

namespace {

constexpr int kTooltipPlacement = 1;
constexpr const char* kSysexDialogTitle = "SysEx Init (hex bytes or a .syx file)";
// Room for a path and for a line of hex a user types or pastes; a longer list comes from a .syx file.
constexpr int kSysexBoxLineLength = 4096;

// The dialog's text: its lines, one after the other.
std::string BoxText(const tovo::gui::STextBox& box) {
  std::string text;
  for (int line = 0; line < box.LineCount(); ++line) text.append(box.GetLine(line).Get()).append("\n");
  return text;
}

}  // namespace

bool SPluginPanel::OnExtensionButton(SControl* sender, int value) {
  if (sender == resetFirstButton) {
    plugin->SetResetControllersFirst(value != 0);
    PresetChangedDirectly();
    return true;
  }
  if (sender == sysexButton) {
    if (value) EditSysex();
    return true;
  }
  return false;
}

bool SPluginPanel::OnExtensionDial(SControl* sender, int value) {
  if (sender == sysexChoiceDial) {
    OnSysexChoice(value);
    return true;
  }
  if (sender == settleDial || sender == sysexGapDial) {
    plugin->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
      if (sender == settleDial)
        extension.settleMs = static_cast<uint16_t>(value * kSettleStepMs);
      else
        extension.sysexGapMs = static_cast<uint16_t>(value * kSysexGapStepMs);
    });
    PresetChangedDirectly();
    return true;
  }
  for (int k = 0; k < kControllerRows; ++k) {
    if (sender == controllerHeaders[k]) {
      OnControllerHeader(k, value);
      return true;
    }
    const int r = RowOf(sender, rows[0].controllerValues[k]);
    if (r >= 0 && sender == rows[r].controllerValues[k]) {
      plugin->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
        extension.rowValues[r][k] = static_cast<uint8_t>(value);
      });
      PresetChangedDirectly();
      return true;
    }
  }
  return false;
}

// A row sends a controller a row may send and no other row of the preset sends (the chunk refuses two rows
// on one): a step goes on past the others in its direction; a jump to a taken one (Control-click back to
// the row's standard controller) changes nothing.
void SPluginPanel::OnControllerHeader(int row, int value) {
  const VSTPluginProgramExtension& extension = plugin->CurrentExtension();
  const int current = LoadShared(extension.rowControllers[row]);
  auto free = [&](int number) {
    if (!vantorine::midi::IsRowController(number)) return false;
    for (int other = 0; other < kControllerRows; ++other)
      if (other != row && LoadShared(extension.rowControllers[other]) == number) return false;
    return true;
  };
  int number = value;
  if (std::abs(value - current) == 1) {
    const int step = value - current;
    while (number > 0 && number < 128 && !free(number)) number += step;
  }
  if (number != current && free(number)) {
    plugin->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& edited) {
      edited.rowControllers[row] = static_cast<uint8_t>(number);
    });
    PresetChangedDirectly();
  }
  RefreshHeader(row);
}

void SPluginPanel::OnSysexChoice(int choice) { StoreSysex(sysexChoice.Choose(choice)); }

void SPluginPanel::StoreSysex(const std::vector<uint8_t>& list) {
  plugin->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    StoreSysexList(extension, list.data(), list.size());
  });
  sysexChoiceDial->SetValueRange(0, sysexChoice.LastChoice(), vantorine::editor::kSysexNone);
  sysexChoiceDial->SetValue(sysexChoice.Choice(), false);
  PresetChangedDirectly();
}

void SPluginPanel::EditSysex() {
  // The dialog takes over the mouse: the button's press must not stay pending.
  sysexButton->ClearState();
  const std::vector<uint8_t> list = LoadSysexList(plugin->CurrentExtension());
  tovo::gui::STextBox* box = sysexDialog->GetTextBox();
  box->SetMaxLength(kSysexBoxLineLength);
  box->SetText(vantorine::editor::SysexBoxText(list).c_str());
  box->SelectAll();
  box->RedrawLabel();
  sysexFileShown.clear();
  sysexDialog->SetCheck(
      [this](const tovo::gui::STextBox& edited) { return CheckSysexEntry(BoxText(edited)); });
  sysexDialog->ShowNote("Stored: " + vantorine::editor::SysexListSize(list) +
                        ". Type hex bytes, or the path of a .syx file, to replace them.");
  sysexDialog->ShowDialog(kSysexDialogTitle, true);
}

// A file is stored at the second confirmation, after the note has told what it holds.
const char* SPluginPanel::CheckSysexEntry(const std::string& text) {
  using Source = vantorine::editor::SysexEntry::Source;
  sysexEntry = vantorine::editor::ReadSysexEntry(text, LoadSysexList(plugin->CurrentExtension()),
                                                 plugin->SysexRoom(plugin->getProgram()));
  if (!sysexEntry.refusal.empty()) {
    sysexNote = sysexEntry.refusal;
    return sysexNote.c_str();
  }
  if (sysexEntry.source == Source::File && sysexEntry.list != sysexFileShown) {
    sysexFileShown = sysexEntry.list;
    sysexNote = "The file holds " + vantorine::editor::SysexListSize(sysexEntry.list) + ": OK stores them.";
    return sysexNote.c_str();
  }
  return nullptr;
}

void SPluginPanel::OnSysexDialogResult(int result) {
  if (result != 1 || sysexEntry.source == vantorine::editor::SysexEntry::Source::Kept) return;
  sysexChoice.Typed(sysexEntry.list);
  StoreSysex(sysexEntry.list);
}

// --- Changes from the plug-in ----------------------------------------------------------------------------

void SPluginPanel::RefreshExtension() {
  const VSTPluginProgramExtension& extension = plugin->CurrentExtension();
  resetFirstButton->SetValue(LoadShared(extension.resetControllersFirst) != 0 ? 1 : 0, false);
  sysexChoice.Follow(plugin->getProgram(), LoadSysexList(extension));
  sysexChoiceDial->SetValueRange(0, sysexChoice.LastChoice(), vantorine::editor::kSysexNone);
  sysexChoiceDial->SetValue(sysexChoice.Choice(), false);
  const int gap = LoadShared(extension.sysexGapMs);
  sysexGapDial->SetValue((gap + kSysexGapStepMs / 2) / kSysexGapStepMs, false);
  for (int k = 0; k < kControllerRows; ++k) RefreshHeader(k);
  for (int r = 0; r < kRows; ++r) {
    if (!rows[r].shown) continue;
    for (int k = 0; k < kControllerRows; ++k)
      rows[r].controllerValues[k]->SetValue(LoadShared(extension.rowValues[r][k]), false);
  }
  ApplySettleLook();
}

void SPluginPanel::RefreshHeader(int row) {
  const int number = LoadShared(plugin->CurrentExtension().rowControllers[row]);
  controllerHeaders[row]->SetValue(number, false);
  const char* meaning = vantorine::midi::ControllerMeaning(number);
  char tip[96];
  std::snprintf(tip, sizeof(tip), "Option:\nRow %d sends\nController %d%s%s", row + 1, number,
                meaning ? "\n" : "", meaning ? meaning : "");
  controllerHeaders[row]->SetTooltip(tooltip, tip, kTooltipPlacement);
}

// While strips wait for their settle time, its dial counts down what is left, as a delay dial does. A wait
// longer than the dial's own times (a list that needs long on the line) counts in whole seconds, as the
// delay dials show them.
void SPluginPanel::ApplySettleLook() {
  const int left = plugin->SettleMsLeft();
  SetCountingLook(settleDial, left > 0);
  const bool inSeconds = left > kMaxSettleMs;
  const tovo::gui::SDisplayTable& texts = settleDial->GetDisplayTextsA();
  if (texts.enabled == inSeconds) {
    settleDial->SetDisplayTextsA(texts.texts, texts.owned, !inSeconds);
    settleDial->Refresh();
  }
  if (inSeconds) {
    settleDial->SetValue((left + 999) / 1000, false);
    return;
  }
  const int shown = left > 0 ? left : LoadShared(plugin->CurrentExtension().settleMs);
  settleDial->SetValue((shown + kSettleStepMs / 2) / kSettleStepMs, false);
}
