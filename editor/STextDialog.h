// The options dialog with one text box, in which the user edits a strip's label: it opens with the box
// focused, and Return or Escape in the box, or OK and Cancel, close it. Unlike the plain dialog it reports
// every ending, a cancel (0) included. An owner that sets a check sees only text it accepts: a refused
// text keeps the dialog open, with the reason in its title line, or in the note under the box when the
// dialog has one: a few lines in which the owner can also say what the text will do.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "editor/SOptionsDialog.h"

namespace tovo::gui {

class STextDialog : public SOptionsDialog {
 public:
  using SOptionsDialog::SOptionsDialog;

  void ShowDialog(const char* title, bool modal) override;
  void MouseStateChanged(bool* mouse, int index) override;
  void ParseEvent(SEvent* event) override;

  // Asked before a confirmation ends the dialog: null accepts the box's text, a short text refuses it.
  using Check = std::function<const char*(const STextBox&)>;
  void SetCheck(Check accepts) { check = std::move(accepts); }

  // A note of that many lines under the text box, as wide as the box.
  void AddNote(int lines);
  // The note's text, broken into its lines; the end of a longer text is cut off with "...".
  void ShowNote(const std::string& text);
  SLabel<false>* GetNoteLabel() const { return noteLabel; }

 private:
  void FocusTextBox();
  void Finish(int value);

  Check check;
  SLabel<false>* noteLabel = nullptr;
  int noteLines = 0;
};

}  // namespace tovo::gui
