// Building the options dialog, showing it (modally: with its ancestors disabled meanwhile) and ending it
// from its buttons.
#include "editor/SOptionsDialog.h"

#include <algorithm>

#include "gui/SInput.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/SPressValue.h"
#include "gui/widgets/SToolTip.h"
#include "math/SRandomPM.h"

namespace tovo::gui {

using context::statdata;

namespace {

// A top-level window on the root that selects full input and draws the 10-pixel frame; the flag adds the
// window manager's decoration.
constexpr int kPlainStyle = 0xc80100;
constexpr int kDecoratedStyle = 0xcb0100;
constexpr int kButtonStyle = 16;
constexpr int kMargin = 10;
constexpr int kTitleHeight = 20;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 20;
constexpr int kFontSize = 10;
// Window names only have to differ between dialogs, so six digits of one draw are enough.
constexpr int kNameNumberRange = 1000000;

// Slots of the shared colour table.
constexpr int kWhite = 0;
constexpr int kOrange = 2;
constexpr int kRed = 4;
constexpr int kMidGrey = 19;
constexpr int kBlack = 20;
constexpr int kBodyGrey = 24;
constexpr int kDarkGrey = 26;

int Pixel(int slot) {
  return statdata.GetColour(slot);
}

void SetSlotColours(SControl* control, int background, int highlightBackground, int parentBackground,
                    int foreground, int highlightForeground, int text, int highlightText) {
  control->SetColours(Pixel(background), Pixel(highlightBackground), Pixel(parentBackground),
                      Pixel(foreground), Pixel(highlightForeground), Pixel(text), Pixel(highlightText));
}

SLabelText DialogName() {
  tovo::math::random::generator::SRandomPM generator(tovo::math::random::generator::SRandom::TimeSeed());
  return SLabelText(64, "SOptionsDialog (ID %i)", generator.Integer() % kNameNumberRange);
}

SLabelText ChildName(SControl& dialog, const char* suffix) {
  SLabelText name;
  name.Append(dialog.GetLabel().Get()).Append(suffix);
  return name;
}

}  // namespace

SOptionsDialog::SOptionsDialog(SWindow* parentControl, const SPoint& size, bool flag)
    : styleFlag(flag), parentWindow(parentControl) {
  SGlobals* owner = parentControl ? parentControl->GetGlobals() : nullptr;
  const SLabelText name = DialogName();
  Create(owner, parentControl, owner ? static_cast<unsigned>(owner->NextId()) : 0, name.Get(),
         flag ? kDecoratedStyle : kPlainStyle, 0, 0, std::max(size.x, kMinimumWidth), size.y,
         parentControl ? static_cast<int>(parentControl->GetWindow()) : 0, false);

  EnableEventHandler(kEventValueChanged);
  EnableEventHandler(kEventDialogResult);
  EnableEventHandler(kEventControlChanged);
  SetSlotColours(this, kBodyGrey, kBodyGrey, kBodyGrey, kWhite, kWhite, kWhite, kWhite);

  // The same tips as the panel's: white text, orange alerts, red arrows, switched on.
  tooltip = new SToolTip(this, true);
  SetSlotColours(tooltip, kBodyGrey, kBodyGrey, kBodyGrey, kWhite, kWhite, kWhite, kWhite);
  tooltip->SetTipColours(Pixel(kWhite), Pixel(kOrange), Pixel(kRed));
  tooltip->EnableTooltips(true);

  PrepareControls();
}

SOptionsDialog::~SOptionsDialog() {
  // An ancestor that is going away itself (the usual owner of the dialog) is left alone.
  for (SControl* ancestor : spare)
    if (!ancestor->IsCleaningUp()) ancestor->Enable(true);
  spare.clear();
}

void SOptionsDialog::PrepareControls() {
  titleFont = statdata.FindFont(kFontSize, true, false);
  textFont = statdata.FindFont(kFontSize, false, false);
  const int width = clientRect.right - clientRect.left, height = clientRect.bottom - clientRect.top;

  titleLabel = new SLabel<false>(globals, this, globals ? static_cast<unsigned>(globals->NextId()) : 0,
                                 ChildName(*this, " - Label").Get(), 0, kMargin, kMargin, width - 2 * kMargin,
                                 kTitleHeight, 0, false);
  SetSlotColours(titleLabel, kBodyGrey, kBodyGrey, kBlack, kOrange, kWhite, kWhite, kWhite);
  titleLabel->SetLabel("Title", titleFont, 0);
  titleLabel->SetLabelColours(Pixel(kWhite), Pixel(kWhite));
  titleLabel->Show();
  Add(titleLabel);

  auto makeButton = [&](const char* suffix, const char* text, int x) {
    auto* button = new SButton<false>(globals, this, globals ? static_cast<unsigned>(globals->NextId()) : 0,
                                      ChildName(*this, suffix).Get(), kButtonStyle, x, height - 40,
                                      kButtonWidth, kButtonHeight, 0, false);
    SetSlotColours(button, kDarkGrey, kBlack, kBodyGrey, kOrange, kBlack, kWhite, kWhite);
    button->SetLabel(text, textFont, 0);
    button->SetLabelColours(Pixel(kWhite), Pixel(kMidGrey));
    button->SetType(kButtonClick);
    button->SetHoverColours(Pixel(kWhite), Pixel(kWhite));
    button->AddEventListener(this, kEventValueChanged);
    button->Show();
    Add(button);
    return button;
  };
  cancelButton = makeButton(" - Cancel", "Cancel", 2 * kMargin);
  okButton = makeButton(" - OK", "OK", width - 70);
  Refresh();
}

void SOptionsDialog::ShowDialog(const char* title, bool modal) {
  // A dialog shown again without the modal state must not leave its ancestors disabled from before.
  if (!modal) RestoreDisabled();
  SetAlwaysActive(modal);
  result = 0;
  titleLabel->SetLabel(title ? title : "");
  Center();
  Show();
  shown = true;
  Foreground(true);
  if (!modal) return;
  // Disabling the nearest enabled ancestor takes its descendants with it; the dialog itself stays usable
  // through its always-active flag.
  for (SControl* ancestor = parent; ancestor; ancestor = ancestor->GetParent()) {
    if (!ancestor->Enabled()) continue;
    ancestor->Enable(false);
    spare.push_back(ancestor);
  }
}

void SOptionsDialog::RestoreDisabled() {
  if (spare.empty()) return;
  for (SControl* ancestor : spare) ancestor->Enable(true);
  SControl* last = spare.back();
  spare.clear();
  last->Focus(true);
}

void SOptionsDialog::SendResult() {
  SendEvent(kEventDialogResult, kKindValue, result, 0.0f, nullptr, this, nullptr);
}

void SOptionsDialog::CloseDialog() {
  Hide();
  shown = false;
  SetAlwaysActive(false);
  // Without option rows there are no row tips to switch off; a tip still open must not outlive the dialog.
  if (tooltip) tooltip->Close();
}

void SOptionsDialog::RefreshTiprect() {
  if (tooltip) RefreshRectangle(tooltip->GetIndicatorRect());
}

bool SOptionsDialog::AddCheckBox(const SLabelText&, bool, const char*) {
  return false;
}
bool SOptionsDialog::AddCheckBox(const char*, bool, const char*) {
  return false;
}
bool SOptionsDialog::AddValueBox(const SLabelText&, int, int, int, const char*) {
  return false;
}
bool SOptionsDialog::AddValueBox(const char*, int, int, int, const char*) {
  return false;
}
int SOptionsDialog::AddChoiceBox(SLabelText*, int) {
  return 0;
}

void SOptionsDialog::Draw(const SRect& rect) {
  SWindow::Draw(rect);
  if (tooltip && drawing) tooltip->DrawTiprect(drawing);
}

void SOptionsDialog::MouseStateChanged(bool* mouse, int index) {
  SWindow::MouseStateChanged(mouse, index);
  if (!window || IsCleaningUp() || !tooltip || !PressValue(index)) return;
  SPoint point;
  if (!PointerInClient(point)) return;
  const SRect& lamp = tooltip->GetIndicatorRect();
  if (point.x < lamp.left || point.x > lamp.right || point.y < lamp.top || point.y > lamp.bottom) return;
  tooltip->ToggleTooltips();
  RefreshTiprect();
}

int SOptionsDialog::ResultOf(const SControl* sender) const {
  return sender && sender == static_cast<const SControl*>(okButton) ? 1 : 0;
}

bool SOptionsDialog::IsDialogButton(const SControl* sender) const {
  return sender && (sender == static_cast<const SControl*>(okButton) ||
                    sender == static_cast<const SControl*>(cancelButton));
}

void SOptionsDialog::ForgetPress(SControl* button) {
  if (!button) return;
  if (capture == button) button->MouseReleaseCapture();
  if (context::SInput* record = button->GetInput()) record->Reset();
}

void SOptionsDialog::ParseEvent(SEvent* event) {
  if (!event || event->type != kEventValueChanged || !EventHandled(kEventValueChanged) ||
      !IsDialogButton(event->sender))
    return;
  result = ResultOf(event->sender);
  RestoreDisabled();
  if (result == 1) SendResult();
  CloseDialog();
  ForgetPress(event->sender);
}

}  // namespace tovo::gui
