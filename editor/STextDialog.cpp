// The text dialog's own handling of its box's keys, its buttons and presses anywhere on it.
#include "editor/STextDialog.h"

#include "gui/SEvent.h"
#include "gui/SInput.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/SPressValue.h"
#include "gui/widgets/STextBox.h"

namespace tovo::gui {

namespace {

// A text-box report that only asks for the focus; others end the dialog, confirmed with this bit.
constexpr int kFocusRequest = 0xFFFF;
constexpr int kConfirmingKey = 0x20;

}  // namespace

void STextDialog::FocusTextBox() {
  if (textBox) textBox->Focus(true);
}

void STextDialog::ShowDialog(const char* title, bool modal) {
  SOptionsDialog::ShowDialog(title, modal);
  FocusTextBox();
}

void STextDialog::MouseStateChanged(bool* mouse, int index) {
  SOptionsDialog::MouseStateChanged(mouse, index);
  if (PressValue(index)) FocusTextBox();
}

void STextDialog::Finish(int value) {
  if (const char* refusal = value == 1 && check && textBox ? check(*textBox) : nullptr) {
    titleLabel->SetLabel(refusal);
    FocusTextBox();
    return;
  }
  result = value;
  RestoreDisabled();
  SendResult();
  CloseDialog();
}

void STextDialog::ParseEvent(SEvent* event) {
  if (!event || !EventHandled(event->type)) return;
  if (event->type == kEventValueChanged) {
    if (IsDialogButton(event->sender)) {
      Finish(ResultOf(event->sender));
      ForgetPress(event->sender);
    } else if (event->sender == titleLabel) {
      FocusTextBox();
    }
    return;
  }
  if (event->type != kEventTextKey || event->sender != textBox) return;
  if (event->value == kFocusRequest) {
    FocusTextBox();
    return;
  }
  // The box reports a key on press and again on release: only the first ends the dialog.
  if (shown) Finish((event->value & kConfirmingKey) ? 1 : 0);
}

}  // namespace tovo::gui
