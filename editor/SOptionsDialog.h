// A small dialog that belongs to a parent window: a title line, "Cancel" and "OK", and the user's choice
// reported to its listeners as a dialog-result event. Shown modally it disables its ancestors and stays
// usable itself; it never runs an event loop of its own, because inside a plug-in editor the host drives
// the events, so showing returns at once and the dialog's buttons end it. The text dialog builds on it.
#pragma once

#include "gui/SWindow.h"

namespace tovo::gui {

class SToolTip;
class STextBox;

template <bool Variant>
class SLabel;
template <bool Variant>
class SButton;

namespace context {
class SDrawFont;
}

class SOptionsDialog : public SWindow {
 public:
  // Narrower requests are widened to this, so that title and both buttons fit.
  static constexpr int kMinimumWidth = 160;

  // A hidden dialog at (0, 0) on the parent's window; flag asks for the decorated style.
  SOptionsDialog(SWindow* parent, const SPoint& size, bool flag);
  // Gives back to the ancestors what a modal showing took from them.
  ~SOptionsDialog() override;

  // Titles, centres, shows and raises the dialog and returns at once; modal disables its ancestors until
  // the dialog closes.
  virtual void ShowDialog(const char* title, bool modal);
  // Reports the result (type 12, value 0 or 1) to the dialog's listeners.
  virtual void SendResult();
  // Repaints the tooltip lamp in the dialog's corner.
  virtual void RefreshTiprect();
  // Option rows: this system builds its dialogs without any, so these add nothing and return false (the
  // box forms) or 0 (the choice form, the number of choices added).
  virtual bool AddCheckBox(const SLabelText& text, bool checked, const char* tooltip);
  virtual bool AddCheckBox(const char* text, bool checked, const char* tooltip);
  virtual bool AddValueBox(const SLabelText& text, int value, int minimum, int maximum, const char* tooltip);
  virtual bool AddValueBox(const char* text, int value, int minimum, int maximum, const char* tooltip);
  virtual int AddChoiceBox(SLabelText* choices, int count);

  // Hides the dialog and ends the modal state.
  void CloseDialog() override;
  void Draw(const SRect& rect) override;
  // A press on the tooltip lamp switches the dialog's tooltips.
  void MouseStateChanged(bool* mouse, int index) override;
  // A click of OK (result 1) or Cancel (result 0) ends the dialog; only OK is reported.
  void ParseEvent(SEvent* event) override;

  int GetResult() const { return result; }
  bool IsShown() const { return shown; }
  bool IsModal() const { return IsAlwaysActive(); }
  bool GetStyleFlag() const { return styleFlag; }
  SWindow* GetParentWindow() const { return parentWindow; }
  SToolTip* GetTooltip() const { return tooltip; }
  SLabel<false>* GetTitleLabel() const { return titleLabel; }
  SButton<false>* GetOkButton() const { return okButton; }
  SButton<false>* GetCancelButton() const { return cancelButton; }
  STextBox* GetTextBox() const { return textBox; }
  context::SDrawFont* GetTextFont() const { return textFont; }
  // The owner of a text dialog puts its text box here; the dialog holds it as a child, not through this.
  void SetTextBox(STextBox* box) { textBox = box; }
  const std::vector<SControl*>& DisabledAncestors() const { return spare; }

 protected:
  // Title label, Cancel and OK.
  void PrepareControls();
  // Enables the ancestors a modal showing disabled, gives the focus to the last of them and forgets them.
  void RestoreDisabled();
  // The result of a click by sender: 1 for OK, 0 for anything else.
  int ResultOf(const SControl* sender) const;
  // Whether sender is one of the dialog's two buttons.
  bool IsDialogButton(const SControl* sender) const;
  // A button that closed the dialog under the pointer will not see its release: drop its press.
  static void ForgetPress(SControl* button);

  SToolTip* tooltip = nullptr;
  SLabel<false>* titleLabel = nullptr;
  SButton<false>* okButton = nullptr;
  SButton<false>* cancelButton = nullptr;
  context::SDrawFont* titleFont = nullptr;
  context::SDrawFont* textFont = nullptr;
  int result = -1;
  bool styleFlag;
  SWindow* parentWindow;
  bool shown = false;
  STextBox* textBox = nullptr;
};

}  // namespace tovo::gui
