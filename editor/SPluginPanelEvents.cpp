// The panel's behaviour: what the user's clicks and drags do to the plug-in (through its parameters, its
// copy and paste, or by writing the current preset's strips and labels), and how the plug-in's changes
// come back into the controls.
#include "editor/PanelColours.h"
#include "editor/SPluginPanel.h"
#include "editor/SSoundPlace.h"
#include "editor/STextDialog.h"
#include "gui/SEvent.h"
#include "gui/SInput.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SImageLabel.h"
#include "gui/widgets/SPressValue.h"
#include "gui/widgets/STextBox.h"
#include "plugin/ParameterScale.h"
#include "plugin/VSTPlugin.h"
#include "preset/PresetBytes.h"
#include "preset/StripRows.h"

using tovo::gui::SControl;
using tovo::gui::SDial;
using tovo::gui::SEvent;
using tovo::gui::SRect;
using tovo::gui::context::statdata;

using namespace panelcolour;

namespace {

constexpr float kDelayScale = 1.f / kMaxDelaySeconds;
constexpr float kChannelScale = 0.0625f;     // 1 / 16
constexpr float kValueScale = 0.0078125f;    // 1 / 128

bool Inside(const SRect& rect, const tovo::gui::SPoint& point) {
  return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
}

}  // namespace

void SPluginPanel::SetParameter(int index, float value) {
  // Only resend and MIDI thru are automated: they are the parameters the host shows. Every other value
  // is one the host cannot see change, so it is told that the preset did, to have the project saved.
  if (index == VSTPlugin::kResend || index == VSTPlugin::kMidiThru) {
    plugin->setParameterAutomated(index, value);
  } else {
    plugin->setParameter(index, value);
    PresetChangedDirectly();
  }
}

void SPluginPanel::PresetChangedDirectly() { plugin->updateDisplay(); }

int SPluginPanel::RowOf(const SControl* sender, const SControl* firstRowControl) const {
  const long distance = static_cast<long>(sender->GetId()) - static_cast<long>(firstRowControl->GetId());
  if (distance < 0 || distance % kControlsPerRow != 0 || distance / kControlsPerRow >= kRows) return -1;
  return static_cast<int>(distance / kControlsPerRow);
}

// --- User actions ----------------------------------------------------------------------------------------

void SPluginPanel::ParseEvent(SEvent* event) {
  if (!event || !EventHandled(event->type) || !event->sender || !plugin) return;
  switch (event->type) {
    case tovo::gui::kEventValueChanged:
      OnButton(event->sender, event->value);
      break;
    case tovo::gui::kEventControlChanged:
      if (auto* dial = dynamic_cast<SDial<int>*>(event->sender)) OnDial(dial, dial->GetValue());
      break;
    case tovo::gui::kEventDialogResult:
      if (event->sender == textDialog) OnDialogResult(event->value);
      if (event->sender == sysexDialog) OnSysexDialogResult(event->value);
      if (event->sender == deviceDialog) OnDeviceDialogResult(event->value);
      break;
    default:
      break;
  }
}

void SPluginPanel::OnButton(SControl* sender, int value) {
  const float on = value ? 1.f : 0.f;
  if (OnExtensionButton(sender, value)) return;
  for (int r = 0; r < kRows; ++r)
    if (sender == rows[r].soundPlace) return OpenSoundBrowser(r);
  if (sender == logo) {
    logo->Hide();
  } else if (sender == initSendButton) {
    SetParameter(VSTPlugin::kInitSend, on);
  } else if (sender == changeSendButton) {
    SetParameter(VSTPlugin::kChangeSend, on);
  } else if (sender == midiThruButton) {
    SetParameter(VSTPlugin::kMidiThru, on);
  } else if (sender == presetSwitchingButton) {
    SetParameter(VSTPlugin::kPresetSwitching, on);
  } else if (sender == bankSelectFirstButton) {
    SetParameter(VSTPlugin::kBankSelectFirst, on);
  } else if (sender == copyButton) {
    plugin->copySelProgram();
  } else if (sender == pasteButton) {
    plugin->pasteSelProgram();
    PresetChangedDirectly();
  } else if (sender == resendButton) {
    SetParameter(VSTPlugin::kResend, 1.f);
    SetParameter(VSTPlugin::kResend, 0.f);
  } else if (sender == rows[0].stripButton) {
    AddStrip();
  } else if (const int r = RowOf(sender, rows[0].stripButton); r > 0 && sender == rows[r].stripButton) {
    RemoveStrip(r);
  } else if (const int s = RowOf(sender, rows[0].swap); s >= 0 && sender == rows[s].swap) {
    SetParameter(VSTPlugin::kStripSwap + s, on);
  }
}

void SPluginPanel::OnDial(SControl* sender, int value) {
  const float v = static_cast<float>(value);
  if (sender == initDelayDial) {
    SetParameter(VSTPlugin::kInitDelay, v * kDelayScale);
    return;
  }
  if (sender == changeDelayDial) {
    SetParameter(VSTPlugin::kChangeDelay, v * kDelayScale);
    return;
  }
  if (OnExtensionDial(sender, value)) return;
  struct StripDial {
    SDial<int>* Row::*dial;
    int firstIndex;
    float scale;
  };
  static constexpr StripDial kStripDials[] = {{&Row::channel, VSTPlugin::kStripChannel, kChannelScale},
                                              {&Row::program, VSTPlugin::kStripProgram, kValueScale},
                                              {&Row::bankMsb, VSTPlugin::kStripBankMsb, kValueScale},
                                              {&Row::bankLsb, VSTPlugin::kStripBankLsb, kValueScale},
                                              {&Row::volume, VSTPlugin::kStripVolume, kValueScale}};
  for (const StripDial& kind : kStripDials) {
    const int r = RowOf(sender, rows[0].*kind.dial);
    if (r >= 0 && sender == rows[r].*kind.dial) {
      SetParameter(kind.firstIndex + r, v * kind.scale);
      if (kind.dial != &Row::volume) RefreshSound(r);
      return;
    }
  }
}

void SPluginPanel::OnDialogResult(int result) {
  if (result != 1 || editedRow < 0 || editedRow >= kRows) return;
  const char* text = textDialog->GetTextBox()->GetLine(0).Get();
  plugin->EditCurrentPreset([&](VSTPluginProgram& preset, VSTPluginProgramExtension&) {
    StoreLabel(preset.strips[editedRow], text);
  });
  RefreshLabels();
  PresetChangedDirectly();
}

void SPluginPanel::AddStrip() {
  int added = -1;
  plugin->EditCurrentPreset(
      [&](VSTPluginProgram& preset, VSTPluginProgramExtension&) { added = vantorine::preset::AddStrip(preset); });
  if (added < 0) return;
  ResetControl(added);
  RefreshControls(-1);
  PresetChangedDirectly();
}

void SPluginPanel::RemoveStrip(int r) {
  const int c = rows[r].column;
  if (c < 1 || c >= kRows) return;
  plugin->EditCurrentPreset([&](VSTPluginProgram& preset, VSTPluginProgramExtension& extension) {
    vantorine::preset::RemoveStrip(preset, extension, r);
  });
  ResetControl(r);
  RefreshControls(-1);
  PresetChangedDirectly();
}

// --- Presses on the panel itself -------------------------------------------------------------------------

void SPluginPanel::MouseStateChanged(bool* mouse, int index) {
  SWindow::MouseStateChanged(mouse, index);
  tovo::gui::SPoint point;
  if (!tovo::gui::PressValue(index) || !PointerAtEvent(point)) return;
  if (Inside(logoRect, point)) {
    logo->Show();
    return;
  }
  for (int r = 0; r < kRows; ++r) {
    if (rows[r].shown && Inside(rows[r].label, point)) {
      if (input && input->state[tovo::gui::context::kInputShift])
        EditDevice(r);
      else
        EditLabel(r);
      return;
    }
  }
}

void SPluginPanel::EditLabel(int r) {
  if (tovo::gui::capture == this) MouseReleaseCapture();
  // The dialog takes over the mouse: the press that opened it must not stay pending here.
  if (input) input->Reset();
  editedRow = r;
  tovo::gui::STextBox* box = textDialog->GetTextBox();
  char text[kLabelSize];
  LoadLabel(Preset().strips[r], text);
  box->SetMaxLength(kLabelSize - 1);
  box->SetText(text);
  box->SelectAll();
  box->RedrawLabel();
  textDialog->ShowDialog("Insert Text", true);
}

// --- Changes from the plug-in ----------------------------------------------------------------------------

void SPluginPanel::RefreshControls(long index) {
  if (!plugin) return;
  auto round = [](float p, float scale) { return ScaleToInt(p, scale); };
  const float p = index >= 0 && index < VSTPlugin::kEditorSignalFirst ? plugin->getParameter(index) : 0.f;
  switch (index) {
    case -1:
      plugin->getProgramName(presetName);
      RecalculatePositions();
      for (int i = 0; i < VSTPlugin::kEditorSignalFirst; ++i) RefreshControls(i);
      RefreshExtension();
      RefreshLabels();
      ApplyTimerLook();
      return;
    case VSTPlugin::kMidiThru:
      midiThruButton->SetValue(round(p, 1), false);
      return;
    case VSTPlugin::kBankSelectFirst:
      bankSelectFirstButton->SetValue(round(p, 1), false);
      return;
    case VSTPlugin::kInitSend:
      initSendButton->SetValue(round(p, 1), false);
      return;
    case VSTPlugin::kChangeSend:
      changeSendButton->SetValue(round(p, 1), false);
      return;
    case VSTPlugin::kPresetSwitching:
      presetSwitchingButton->SetValue(round(p, 1), false);
      return;
    case VSTPlugin::kInitDelay:
      initDelayDial->SetValue(round(p, kMaxDelaySeconds), false);
      return;
    case VSTPlugin::kChangeDelay:
      changeDelayDial->SetValue(round(p, kMaxDelaySeconds), false);
      return;
    // The two layout signals.
    case VSTPlugin::kEditorSignalFirst:
    case VSTPlugin::kEditorSignalFirst + 1:
      RecalculatePositions();
      return;
    case VSTPlugin::kSignalTimerState:
      ApplyTimerLook();
      return;
    case VSTPlugin::kSignalSettle:
      ApplySettleLook();
      return;
    case VSTPlugin::kSignalTimerSecond:
      if (plugin->TimerRunning())
        (plugin->TimerKindValue() == VSTPlugin::kTimerChange ? changeDelayDial : initDelayDial)
            ->SetValue(plugin->SecondsLeft(), false);
      return;
    case VSTPlugin::kSignalTimerEnd: {
      const bool change = plugin->TimerKindValue() == VSTPlugin::kTimerChange;
      const int stored =
          round(plugin->getParameter(change ? VSTPlugin::kChangeDelay : VSTPlugin::kInitDelay), kMaxDelaySeconds);
      (change ? changeDelayDial : initDelayDial)->SetValue(stored, false);
      return;
    }
    default:
      break;
  }
  if (index < VSTPlugin::kStripChannel || index >= VSTPlugin::kEditorSignalFirst) return;
  const int block = static_cast<int>(index - VSTPlugin::kStripChannel) / kRows;
  const int r = static_cast<int>(index - VSTPlugin::kStripChannel) % kRows;
  Row& row = rows[r];
  switch (block) {
    case 0:
      row.channel->SetValue(round(p, 16), false);
      break;
    case 1:
      row.program->SetValue(round(p, 128), false);
      break;
    case 2:
      row.bankMsb->SetValue(round(p, 128), false);
      break;
    case 3:
      row.bankLsb->SetValue(round(p, 128), false);
      break;
    case 4:
      row.swap->SetValue(round(p, 1), false);
      break;
    default:
      row.volume->SetValue(round(p, 128), false);
      break;
  }
  // Channel, program and the bank bytes select the sound.
  if (block <= 3) RefreshSound(r);
}

// The delay dial of a running countdown shows the seconds left.
void SPluginPanel::ApplyTimerLook() {
  if (plugin->TimerRunning()) {
    SDial<int>* counting = plugin->TimerKindValue() == VSTPlugin::kTimerChange ? changeDelayDial : initDelayDial;
    SetCountingLook(counting, true);
    counting->SetValue(plugin->SecondsLeft(), false);
    return;
  }
  for (SDial<int>* dial : {initDelayDial, changeDelayDial}) SetCountingLook(dial, false);
}

void SPluginPanel::SetCountingLook(SDial<int>* dial, bool counting) {
  dial->SetLabelColours(Slot(counting ? kOrange : kWhite), Slot(kDisabledText));
  dial->SetHoverColours(Slot(kBody), Slot(counting ? kBody : kGrey));
  dial->Refresh();
  // Tooltips follow their switch, whose state every control shares.
  dial->EnableTooltip(!counting && (midiThruButton->GetState() & tovo::gui::kStateTooltip) != 0);
}
