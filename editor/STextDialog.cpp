// The text dialog's own handling of its box's keys, its buttons and presses anywhere on it, and its note.
#include "editor/STextDialog.h"

#include "gui/SEvent.h"
#include "gui/SInput.h"
#include "gui/context/SDrawing.h"
#include "gui/context/SGlobals.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/SPressValue.h"
#include "gui/widgets/STextBox.h"
#include "gui/widgets/STextFit.h"

namespace tovo::gui {

namespace {

// A text-box report that only asks for the focus; the others tell of Return and Escape.
constexpr int kFocusRequest = 0xFFFF;
constexpr int kNoteGap = 6;
constexpr int kNoteLineHeight = 14;

}  // namespace

void STextDialog::AddNote(int lines) {
  if (noteLabel || !textBox) return;
  const SRect box = textBox->GetWindowRect();
  noteLines = lines;
  noteLabel =
      new SLabel<false>(globals, this, globals ? static_cast<unsigned>(globals->NextId()) : 0,
                        (std::string(GetLabel().Get()) + " - Note").c_str(), 0, box.left,
                        box.bottom + kNoteGap, box.right - box.left, lines * kNoteLineHeight, 0, false);
  // The dialog's body and the title's text colour.
  const int body = GetBackgroundColour(), text = titleLabel->GetLabelColour();
  noteLabel->SetColours(body, body, body, body, body, text, text);
  noteLabel->SetLabel("", textFont, context::kAlignLeft | context::kAlignTop);
  noteLabel->SetLabelColours(text, text);
  noteLabel->Show();
  Add(noteLabel);
}

void STextDialog::ShowNote(const std::string& text) {
  if (!noteLabel) return;
  const SRect place = noteLabel->GetClientRect();
  noteLabel->SetLabel(WrapToWidth(text, textFont, place.right - place.left, noteLines).c_str());
}

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
    if (noteLabel)
      ShowNote(refusal);
    else
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
  // The box reports a key on press and again on release: only the press ends the dialog, or has its text
  // checked, so that one Return does not confirm a text the check has just answered.
  if (shown && !(event->value & kTextKeyUp)) Finish((event->value & kTextReturn) ? 1 : 0);
}

}  // namespace tovo::gui
