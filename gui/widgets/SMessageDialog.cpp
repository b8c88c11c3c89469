// Building the message box, laying it out for its texts and closing it from its button.
#include "gui/widgets/SMessageDialog.h"

#include <algorithm>

#include "gui/SCursor.h"
#include "gui/SInput.h"
#include "gui/context/SDrawFont.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SLabel.h"
#include "gui/widgets/STextExtent.h"

namespace tovo::gui {

using context::SDrawFont;
using context::statdata;

namespace {

// A top-level window that selects its own input and draws the 10-pixel frame.
constexpr int kDialogStyle = 8913153;
constexpr int kInitialWidth = 320;
constexpr int kInitialHeight = 240;
constexpr int kMargin = 10;
constexpr int kButtonStyle = 16;
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 20;

// The box's look, in slots of the shared colour table: dark grey with white text, a lighter grey when
// pressed or hovered.
constexpr int kBackgroundSlot = 26;
constexpr int kPressedSlot = 24;
constexpr int kTextSlot = 0;
constexpr int kDisabledTextSlot = 19;
constexpr int kHoverSlot = 23;

void ApplyLook(SControl* control) {
  const int background = statdata.GetColour(kBackgroundSlot), text = statdata.GetColour(kTextSlot);
  control->SetColours(background, statdata.GetColour(kPressedSlot), background, text, text, text, text);
}

template <typename Widget>
Widget* MakeChild(SGlobals* resources, SWindow* dialog, const char* suffix, int style, int x, int y, int width,
                  int height) {
  SLabelText name;
  name.Append(dialog->GetLabel().Get()).Append(suffix);
  auto* child = new Widget(resources, dialog, static_cast<unsigned>(resources->NextId()), name.Get(), style, x, y,
                           width, height, 0, false);
  ApplyLook(child);
  return child;
}

}  // namespace

SMessageDialog::SMessageDialog() : resources(new SGlobals()) {
  const SLabelText name(64, "SDialog (ID %u)", static_cast<unsigned>(resources->GetRandom().Integer()));
  Create(resources, nullptr, static_cast<unsigned>(resources->NextId()), name.Get(), kDialogStyle, 0, 0,
         kInitialWidth, kInitialHeight, 0, false);
  cursor = new SCursor();
  cursor->Bind(window);
  cursor->CreateDefault();
  resources->SetCursor(cursor);

  EnableEventHandler(kEventValueChanged);
  ApplyLook(this);
  titleFont = new SDrawFont(10, true, false, false, nullptr);
  messageFont = new SDrawFont(7, false, false, false, nullptr);

  const int width = clientRect.right - clientRect.left, height = clientRect.bottom - clientRect.top;
  const int textColour = statdata.GetColour(kTextSlot), disabledColour = statdata.GetColour(kDisabledTextSlot);
  titleLabel = MakeChild<SLabel<false>>(resources, this, " - TitleLabel", 0, kMargin, kMargin, width - 2 * kMargin,
                                        30);
  titleLabel->SetLabel("", titleFont, 0);
  titleLabel->SetLabelColours(textColour, disabledColour);
  messageLabel = MakeChild<SLabel<false>>(resources, this, " - MessageLabel", 0, kMargin, 40, width - 2 * kMargin,
                                          height - 90);
  messageLabel->SetLabel("", messageFont, 0);
  messageLabel->SetLabelColours(textColour, disabledColour);
  button = MakeChild<SButton<false>>(resources, this, " - MessageButton", kButtonStyle, width / 2 - 20,
                                     height - 40, kButtonWidth, kButtonHeight);
  button->SetLabel("OK", titleFont, 0);
  button->SetLabelColours(textColour, disabledColour);
  button->SetType(kButtonClick);
  button->SetHoverColours(statdata.GetColour(kHoverSlot), statdata.GetColour(kHoverSlot));
  button->AddEventListener(this, kEventValueChanged);
  for (SControl* child : {static_cast<SControl*>(titleLabel), static_cast<SControl*>(messageLabel),
                          static_cast<SControl*>(button)}) {
    child->Show();
    Add(child);
  }
  Refresh();
}

// The children use the fonts and the resources, and the cursor is defined on the window: the window and
// its children go first, the cursor just before them.
SMessageDialog::~SMessageDialog() {
  resources->SetCursor(nullptr);
  delete cursor;
  SWindow::CleanRessources();
  delete titleFont;
  delete messageFont;
  delete resources;
}

void SMessageDialog::Layout(const char* messageText, const char* titleText) {
  message.Clear(false).Append(messageText);
  title.Clear(false).Append(titleText);
  const STextExtent extent =
      message.Length() ? STextExtent::MeasureLines(message.Get(), messageFont) : STextExtent{0, 0};
  const int titleWidth = titleFont->TextWidth(title.Get(), static_cast<int>(title.Length()));
  const int m = std::max(extent.width, titleWidth);
  const int h = extent.height;

  SetTitleText(title.Get());
  titleLabel->SetLabel(title);
  messageLabel->SetLabel(message, messageFont, 0);
  titleLabel->SetSize(m + 44, 20);
  messageLabel->SetSize(m + 44, h + 38);
  button->SetPosition((m + 64) / 2 - 20, h + 88);
  SetSize(m + 64, h + 128);
  Refresh();
}

void SMessageDialog::SetMessage(const char* messageText, const char* titleText) { Layout(messageText, titleText); }

void SMessageDialog::ShowMessage(const char* messageText, const char* titleText) {
  Layout(messageText, titleText);
  Present();
}

void SMessageDialog::ShowModal(const char* messageText, const char* titleText) {
  Layout(messageText, titleText);
  SDialog::ShowModal();
}

void SMessageDialog::ParseEvent(SEvent* event) {
  if (!event || event->type != kEventValueChanged || event->kind != kKindValue || event->value != 1 ||
      event->sender != button || !EventHandled(kEventValueChanged))
    return;
  CloseDialog();
  // The box hides under the pointer: the button would otherwise keep a press that never gets its release.
  if (capture == button) button->MouseReleaseCapture();
  if (context::SInput* record = button->GetInput()) record->Reset();
}

}  // namespace tovo::gui
