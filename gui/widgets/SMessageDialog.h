// The message box: a dialog with a bold title line, a message of one or more lines and an "OK" button,
// sized to its texts. It is a top-level window of its own with its own shared resources and pointer, so
// that it can be shown before, after and without any editor. It has no thread of its own: whoever shows
// it serves its events (a modal loop, a window loop, or the editor's event pump).
#pragma once

#include "gui/widgets/SDialog.h"

namespace tovo::gui {

class SCursor;

template <bool Variant>
class SLabel;
template <bool Variant>
class SButton;

namespace context {
class SDrawFont;
}

class SMessageDialog : public SDialog {
 public:
  // A hidden box with empty texts.
  SMessageDialog();
  ~SMessageDialog() override;

  // Lays the box out for the texts, shows it and returns at once.
  virtual void ShowMessage(const char* message, const char* title);
  // Lays the box out for the texts without showing it.
  virtual void SetMessage(const char* message, const char* title);
  // Lays the box out, shows it and serves events until its button closes it.
  virtual void ShowModal(const char* message, const char* title);
  using SDialog::ShowModal;
  // Closes the box on a left click of its own button (value 1); other buttons report 2 or 3 and are
  // ignored, as is everything from other senders.
  void ParseEvent(SEvent* event) override;

  SLabel<false>* GetTitleLabel() const { return titleLabel; }
  SLabel<false>* GetMessageLabel() const { return messageLabel; }
  SButton<false>* GetButton() const { return button; }
  const SLabelText& GetMessage() const { return message; }
  const SLabelText& GetTitle() const { return title; }
  context::SDrawFont* GetTitleFont() const { return titleFont; }
  context::SDrawFont* GetMessageFont() const { return messageFont; }

 private:
  // Stores the texts and sizes the labels, the button and the box to them.
  void Layout(const char* messageText, const char* titleText);

  SGlobals* resources;
  SCursor* cursor = nullptr;
  context::SDrawFont* titleFont = nullptr;
  SLabel<false>* titleLabel = nullptr;
  SLabel<false>* messageLabel = nullptr;
  SButton<false>* button = nullptr;
  SLabelText message;
  SLabelText title;
  context::SDrawFont* messageFont = nullptr;
};

}  // namespace tovo::gui
