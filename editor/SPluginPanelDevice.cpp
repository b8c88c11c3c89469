// The panel's handling of a strip's device: Shift and a click on the strip's label open a dialog in which
// the user types part of a device's name or maker (the sound browser is the other way), and the strip's place in the sound band and the
// tooltips of that place and of its program and bank dials name the sound they select, kept up to date as
// they change. The names are looked up here, on the user's input and the plug-in's changes, never while
// drawing: the place and the tooltip data hold what they paint.
#include <array>

#include "editor/SPluginPanel.h"
#include "editor/STextDialog.h"
#include "editor/PanelSoundNames.h"
#include "editor/SSoundPlace.h"
#include "gui/SInput.h"
#include "gui/widgets/STextBox.h"
#include "gui/widgets/SToolTip.h"
#include "preset/PresetBytes.h"
#include "plugin/VSTPlugin.h"

using vantorine::editor::ChooseDevice;
using vantorine::editor::DeviceChoice;

namespace {

constexpr int kTooltipPlacement = 1;
constexpr const char* kDeviceDialogTitle = "Device (part of its name or maker)";

}  // namespace

void SPluginPanel::MakeDeviceDialog() {
  deviceDialog = MakeTextDialog({330, 100}, 20);
  deviceDialog->SetCheck([this](const tovo::gui::STextBox& box) -> const char* {
    deviceRefusal = ChooseDevice(box.GetLine(0).Get()).refusal;
    return deviceRefusal.empty() ? nullptr : deviceRefusal.c_str();
  });
}

void SPluginPanel::EditDevice(int r) {
  if (tovo::gui::capture == this) MouseReleaseCapture();
  // The dialog takes over the mouse: the press that opened it must not stay pending here.
  if (input) input->Reset();
  editedRow = r;
  tovo::gui::STextBox* box = deviceDialog->GetTextBox();
  box->SetMaxLength(kDeviceNameSize - 1);
  box->SetText(LoadDevice(plugin->CurrentExtension(), r).c_str());
  box->SelectAll();
  box->RedrawLabel();
  deviceDialog->ShowDialog(kDeviceDialogTitle, true);
}

void SPluginPanel::OnDeviceDialogResult(int result) {
  if (result != 1 || editedRow < 0 || editedRow >= kRows) return;
  const DeviceChoice choice = ChooseDevice(deviceDialog->GetTextBox()->GetLine(0).Get());
  if (!choice.refusal.empty()) return;
  plugin->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    StoreDevice(extension, editedRow, choice.device.c_str());
  });
  RefreshSound(editedRow);
  PresetChangedDirectly();
}

void SPluginPanel::RefreshSound(int r) {
  const Row& row = rows[r];
  const vantorine::editor::StripSelection values{row.channel->GetValue(), row.program->GetValue(),
                                                 row.bankMsb->GetValue(), row.bankLsb->GetValue()};
  const vantorine::editor::StripSound sound =
      vantorine::editor::DescribeSound(LoadDevice(plugin->CurrentExtension(), r), values);
  const std::string placeTip = sound.tip + "\n(click: sound browser)";
  const std::array<tovo::gui::SControl*, 4> told = {row.program, row.bankMsb, row.bankLsb, row.soundPlace};
  for (tovo::gui::SControl* control : told) {
    // A tip open over the control, a drag's or the wheel's, shows the new sound at once.
    const bool open = tooltip->IsOpen() && tooltip->GetData() == control->GetTooltipData();
    const std::string& tip = control == row.soundPlace ? placeTip : sound.tip;
    control->SetTooltip(tooltip, tip.c_str(), kTooltipPlacement);
    if (open) tooltip->Open(control->GetTooltipData(), tooltip->Place(control->GetTooltipData()));
  }
  // The place's text may be shortened: its tip, which has it whole, shows whatever the switch says.
  tooltip->KeepShowing(row.soundPlace);
  row.soundPlace->SetSound(sound);
  if (row.shown)
    row.soundPlace->Show();
  else
    row.soundPlace->Hide();
}
