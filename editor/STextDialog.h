// The options dialog with one text box, in which the user edits a strip's label: it opens with the box
// focused, and Return or Escape in the box, or OK and Cancel, close it. Unlike the plain dialog it reports
// every ending, a cancel (0) included. An owner that sets a check sees only text it accepts: a refused
// text keeps the dialog open, with the reason in its title line.
#pragma once

#include <functional>
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

 private:
  void FocusTextBox();
  void Finish(int value);

  Check check;
};

}  // namespace tovo::gui
