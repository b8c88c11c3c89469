// The options dialog with one text box, in which the user edits a strip's label: it opens with the box
// focused, and Return or Escape in the box, or OK and Cancel, close it. Unlike the plain dialog it reports
// every ending, a cancel (0) included.
#pragma once

#include "editor/SOptionsDialog.h"

namespace tovo::gui {

class STextDialog : public SOptionsDialog {
 public:
  using SOptionsDialog::SOptionsDialog;

  void ShowDialog(const char* title, bool modal) override;
  void MouseStateChanged(bool* mouse, int index) override;
  void ParseEvent(SEvent* event) override;

 private:
  void FocusTextBox();
  void Finish(int value);
};

}  // namespace tovo::gui
