// The panel's construction: its controls with their names, places, colours, texts and tooltips, the text
// tables of the strip dials, the label dialog and the off-screen picture.
#include "editor/PanelColours.h"
#include "editor/SPluginPanel.h"

#include <cstdio>

#include "editor/STextDialog.h"
#include "editor/SUpwardDial.h"
#include "editor/PanelSoundNames.h"
#include "editor/SSoundBrowser.h"
#include "editor/SSoundPlace.h"
#include "gui/context/SColour.h"
#include "gui/context/SDrawBitmap.h"
#include "gui/context/SDrawDevice.h"
#include "gui/context/SGlobals.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SImageLabel.h"
#include "gui/widgets/STextBox.h"
#include "gui/widgets/SToolTip.h"
#include "gui/widgets/SToolTipSwitch.h"
#include "images/Swap.h"
#include "images/TextLogo.h"
#include "midi/Controllers.h"
#include "plugin/VSTPlugin.h"

using tovo::gui::SButton;
using tovo::gui::SControl;
using tovo::gui::SDial;
using tovo::gui::SDisplayText;
using tovo::gui::SRect;
using tovo::gui::context::statdata;

using namespace panelcolour;

namespace {

constexpr int kButtonStyle = 16;
constexpr int kDialStyle = 48;
constexpr int kTooltipPlacement = 1;
constexpr const char* kNotSent = "- - -";

void SetSlotColours(SControl* control, int background, int pressed, int parentBackground) {
  control->SetColours(Slot(background), Slot(pressed), Slot(parentBackground), 0, 0, 0, 0);
}

// The settings every dial of the panel shares: no label, the value in 8 points, fine drags.
void PrepareDial(SDial<int>* dial, int background, int labelSlot) {
  SetSlotColours(dial, background, background, background);
  dial->SetLabel("", statdata.FindFont(8, false, false), 0);
  dial->SetValueFont(statdata.FindFont(8, false, false));
  dial->SetLabelColours(Slot(labelSlot), Slot(kDisabledText));
  dial->SetControlColours(Slot(background), Slot(kWhite), Slot(background), Slot(background));
  dial->fineDrag = true;
  dial->fineDragDistance = 5;
  dial->rightDragDistance = 12;
}

}  // namespace

SPluginPanel::SPluginPanel(tovo::gui::SGlobals* owner, SControl* parentControl, unsigned controlId,
                           const char* name, int styleBits, int x, int y, int width, int height, int hostWindow,
                           bool flag)
    : SWindow(owner, parentControl, controlId, name, styleBits, x, y, width, height, hostWindow, flag) {
  for (int type : {tovo::gui::kEventValueChanged, tovo::gui::kEventControlChanged, tovo::gui::kEventTimer,
                   tovo::gui::kEventTextKey, tovo::gui::kEventDialogResult})
    EnableEventHandler(type);
  AddEventListener(this, tovo::gui::kEventTimer);
  // Room for all sixteen columns, so that growing never needs a new picture.
  bufferBitmap = new tovo::gui::context::SDrawBitmap(nullptr, WidthFor(kRows), height, false);
  if (GetDevice()) bufferDevice = new tovo::gui::context::SDrawMemoryDevice(GetDevice(), bufferBitmap);
}

SPluginPanel::~SPluginPanel() {
  // Top-level windows of their own, so not among the children: they go first, with their text boxes.
  delete textDialog;
  delete sysexDialog;
  delete deviceDialog;
  delete soundBrowser;
  delete[] valueTexts;
  delete[] channelTexts;
  delete[] controllerTexts;
  CleanUp();
  delete bufferDevice;
  delete bufferBitmap;
}

void SPluginPanel::Focussing(bool on) { SWindow::Focussing(on); }

bool SPluginPanel::LogoShown() const { return logo && logo->IsMapped(); }

// --- Controls --------------------------------------------------------------------------------------------

void SPluginPanel::AddControl(SControl* control, int eventType) {
  control->AddEventListener(this, eventType);
  control->Show();
  Add(control);
}

SButton<false>* SPluginPanel::MakeOptionButton(const char* name, int x, int y, int w, int h, const char* text,
                                              int fontSize, int type, int pressedSlot, const char* tip,
                                              bool activeColour) {
  auto* button = new SButton<false>(globals, this, globals->NextId(), name, kButtonStyle, x, y, w, h,
                                    static_cast<int>(window), false);
  SetSlotColours(button, kBlack, pressedSlot, kBody);
  button->SetLabel(text, statdata.FindFont(fontSize, false, false), 0);
  button->SetLabelColours(Slot(kWhite), Slot(kDisabledText));
  if (activeColour) button->SetLabelColourActive(Slot(kBlack));
  button->SetType(type);
  button->SetHoverColours(0, 0);
  button->SetTooltip(tooltip, tip, kTooltipPlacement);
  AddControl(button, tovo::gui::kEventValueChanged);
  return button;
}

SDial<int>* SPluginPanel::MakeOptionDial(const char* name, int x, int y, int width, int max,
                                         const char* tip) {
  auto* dial = new SDial<int>(globals, this, globals->NextId(), name, kDialStyle, x, y, width, 14, false,
                              true, static_cast<int>(window), 0, 0, max, 0);
  PrepareDial(dial, kBody, kWhite);
  dial->SetHoverColours(Slot(kBody), Slot(kGrey));
  dial->SetTooltip(tooltip, tip, kTooltipPlacement);
  AddControl(dial, tovo::gui::kEventControlChanged);
  return dial;
}

void SPluginPanel::MakeRow(int r) {
  const int strip = r + 1;
  const int host = static_cast<int>(window);
  char name[64];
  auto makeDial = [&](const char* kind, int y, int max, SDisplayText* texts, int labelSlot, int onHover) {
    std::snprintf(name, sizeof(name), "(VTRN) Control: %s (Strip %d)", kind, strip);
    auto* dial = new SDial<int>(globals, this, globals->NextId(), name, kDialStyle, 101, y, 24, 14, false, true,
                                host, 0, 0, max, 0);
    PrepareDial(dial, kBlack, labelSlot);
    dial->SetHoverColours(Slot(kBlack), onHover);
    dial->SetDisplayTextsA(texts, false, true);
    dial->SetValueRange(0, max, 0);
    AddControl(dial, tovo::gui::kEventControlChanged);
    return dial;
  };
  Row& row = rows[r];
  row.channel = makeDial("Channel", 90, 16, channelTexts, kYellow, Slot(kGrey));
  row.program = makeDial("PC", 110, 128, valueTexts, kPink, Slot(kGrey));
  row.bankMsb = makeDial("MSB", 130, 128, valueTexts, kCyan, tovo::gui::SCOL(138, 145, 150));

  row.swap = new SButton<false>(globals, this, globals->NextId(), "(VTRN) Button: Swap", 0, 101, 150, 24, 12, host,
                                false);
  SetSlotColours(row.swap, kBlack, kBlue, kBlack);
  row.swap->SetLabel("S", statdata.FindFont(8, false, false), 0);
  row.swap->SetLabelColours(Slot(kWhite), Slot(kDisabledText));
  row.swap->SetType(tovo::gui::kButtonReportOff);
  row.swap->SetBitmaps(const_cast<char**>(tovo::images::swap_off), const_cast<char**>(tovo::images::swap_on),
                       24, 12);
  row.swap->SetHoverColours(0, 0);
  AddControl(row.swap, tovo::gui::kEventValueChanged);

  row.bankLsb = makeDial("LSB", 170, 128, valueTexts, kCyan, Slot(kGrey));
  // Registered with the tooltip from the start, so that its switch reaches them; the sound comes with the
  // first refresh.
  const std::string soundTip = vantorine::editor::DescribeSound({}, {}).tip;
  for (SDial<int>* dial : {row.program, row.bankMsb, row.bankLsb})
    dial->SetTooltip(tooltip, soundTip.c_str(), kTooltipPlacement);
  row.volume = makeDial("Volume", 190, 128, valueTexts, kLilac, Slot(kGrey));
  for (int k = 0; k < kControllerRows; ++k) {
    char kind[16];
    std::snprintf(kind, sizeof(kind), "Row %d", k + 1);
    row.controllerValues[k] =
        makeDial(kind, kFirstValueTop + kRowPitch * (kOwnValueRows + k), 128, valueTexts, kSand, Slot(kGrey));
  }

  const bool add = r == 0;
  if (!add) std::snprintf(name, sizeof(name), "(VTRN) Button: Remove (Strip %d)", strip);
  row.stripButton = new SButton<false>(globals, this, globals->NextId(), add ? "(VTRN) Button: Add" : name, 0,
                                       100, kStripButtonTop, 24, 14, host, false);
  SetSlotColours(row.stripButton, add ? kGreen : kBlack, kGrey, kBody);
  row.stripButton->SetLabel(add ? "+" : "-", statdata.FindFont(10, false, false), 0);
  row.stripButton->SetLabelColours(Slot(add ? kBlack : kWhite), Slot(kDisabledText));
  if (add) row.stripButton->SetLabelColourActive(Slot(kWhite));
  row.stripButton->SetType(tovo::gui::kButtonMomentary);
  row.stripButton->SetHoverColours(0, 0);
  row.stripButton->SetTooltip(tooltip, add ? "Action:\nAdd Strip\n(max 16)" : "Action:\nRemove Strip\n",
                              kTooltipPlacement);
  AddControl(row.stripButton, tovo::gui::kEventValueChanged);

  row.label = {101, 16, 125, 88};
  row.column = add ? 0 : kNoColumn;
  row.shown = add;
}

// Under B-First: Reset All Controllers first, the SysEx init (the button edits it as hex, the dial below
// chooses it) and its settle time; in the legend, beside the strips' controller rows, the header dials that
// name and choose each row's controller.
void SPluginPanel::MakeExtensionControls() {
  resetFirstButton = MakeOptionButton("(VTRN) Button: Reset Controllers First", 17, 243, 40, 16, "R-First", 8,
                                      tovo::gui::kButtonReportOff, kLilac,
                                      "Option:\nSend Reset All Controllers\nbefore each strip", false);
  sysexButton = MakeOptionButton("(VTRN) Button: SysEx", 17, 268, 40, 16, "SysEx", 8,
                                 tovo::gui::kButtonMomentary, kGrey, "Action:\nEdit SysEx Init\n(as hex bytes)",
                                 false);
  sysexChoiceDial = MakeOptionDial("(VTRN) Control: SysEx Init", 17, 285, 40, vantorine::editor::kSysexXg,
                                   "Option:\nSelect SysEx Init\n   \n(sent before the strips)");
  auto* choices = new SDisplayText[vantorine::editor::kSysexChoiceCount];
  for (int c = 0; c < vantorine::editor::kSysexChoiceCount; ++c)
    choices[c] = SDisplayText(8, "%s", vantorine::editor::kSysexChoiceNames[c]);
  sysexChoiceDial->SetDisplayTextsA(choices, true, true);
  settleDial = MakeTimeDial("(VTRN) Control: Settle Time", 301, kMaxSettleMs, kSettleStepMs, kDefaultSettleMs,
                            "%d ms", "Option:\nSelect Settle Time\n   \n(after the SysEx init,\nbefore the strips)");
  sysexGapDial = MakeTimeDial("(VTRN) Control: SysEx Gap", 317, kMaxSysexGapMs, kSysexGapStepMs, 0, "+%d ms",
                              "Option:\nSelect SysEx Gap\n   \n(after each message\nof the SysEx init,\n"
                              "for modules that\nneed time for each)");

  // "PAN", "REV", "CHO" and "EXP" for the General MIDI rows, "C" and the number for the others.
  controllerTexts = new SDisplayText[128];
  for (int number = 0; number < 128; ++number) controllerTexts[number] = SDisplayText(8, "C%d", number);
  controllerTexts[vantorine::midi::kPan] = SDisplayText(8, "%s", "PAN");
  controllerTexts[vantorine::midi::kReverbSend] = SDisplayText(8, "%s", "REV");
  controllerTexts[vantorine::midi::kChorusSend] = SDisplayText(8, "%s", "CHO");
  controllerTexts[vantorine::midi::kExpression] = SDisplayText(8, "%s", "EXP");
  for (int k = 0; k < kControllerRows; ++k) {
    char name[48];
    std::snprintf(name, sizeof(name), "(VTRN) Control: Row %d Controller", k + 1);
    const SRect place = LegendPlace(kOwnValueRows + k);
    auto* header = new SUpwardDial(globals, this, globals->NextId(), name, kDialStyle, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, false, true,
                                   static_cast<int>(window), kDefaultRowControllers[k], 1, 119,
                                   kDefaultRowControllers[k]);
    PrepareDial(header, kInner, kGrey);
    header->SetValueFont(statdata.FindFont(7, false, false));
    header->SetHoverColours(Slot(kInner), Slot(kGrey));
    header->SetDisplayTextsA(controllerTexts, false, true);
    AddControl(header, tovo::gui::kEventControlChanged);
    controllerHeaders[k] = header;
  }
  // Hex lines fill the box; the note under it tells the list's size and why a text is refused.
  sysexDialog = MakeTextDialog(
      {480, 300}, static_cast<int>(vantorine::editor::kBoxLines) * tovo::gui::STextBox::kLineHeight + 4);
  sysexDialog->AddNote(3);
}

// A dial of the options column for a time in milliseconds, in steps of `stepMs`, each step shown in
// `format`; Control-click goes back to `defaultMs`, what a preset has when nobody set one.
SDial<int>* SPluginPanel::MakeTimeDial(const char* name, int y, int maxMs, int stepMs, int defaultMs,
                                       const char* format, const char* tip) {
  const int steps = maxMs / stepMs;
  SDial<int>* dial = MakeOptionDial(name, 17, y, 40, steps, tip);
  dial->SetValueRange(0, steps, defaultMs / stepMs);
  auto* texts = new SDisplayText[steps + 1];
  // Room for "+500 ms" and "2000 ms": a text's limit counts two more than its characters.
  for (int step = 0; step <= steps; ++step) texts[step] = SDisplayText(9, format, step * stepMs);
  dial->SetDisplayTextsA(texts, true, true);
  return dial;
}

// The label dialog and the SysEx dialog: a dialog of that size around a text box of that height.
tovo::gui::STextDialog* SPluginPanel::MakeTextDialog(tovo::gui::SPoint size, int boxHeight) {
  auto* dialog = new tovo::gui::STextDialog(this, size, false);
  dialog->EnableEventHandler(tovo::gui::kEventTextKey);
  const SRect client = dialog->GetClientRect();
  const int width = client.right - client.left;
  const tovo::data::datastring<64, char> name(128, "%s - Textbox", dialog->GetLabel().Get());
  auto* box = new tovo::gui::STextBox(globals, dialog, globals->NextId(), name.Get(), 0, 24, 34, width - 48,
                                      boxHeight, static_cast<int>(dialog->GetWindow()), false);
  box->SetColours(Slot(kBlack), Slot(kBlack), Slot(kBody), 0, 0, Slot(kWhite), Slot(kWhite));
  box->SetHoverColours(Slot(kBody), Slot(kBody));
  box->SetFont(dialog->GetTextFont());
  box->SetTooltip(dialog->GetTooltip(), "Option:\nTextbox", kTooltipPlacement);
  box->AddEventListener(dialog, tovo::gui::kEventTextKey);
  dialog->GetTitleLabel()->AddEventListener(dialog, tovo::gui::kEventValueChanged);
  box->Show();
  dialog->Add(box);
  dialog->SetTextBox(box);
  box->SetMaxLength(10);
  dialog->AddEventListener(this, tovo::gui::kEventDialogResult);
  return dialog;
}

void SPluginPanel::LoadControls() {
  SetSlotColours(this, kBody, kBody, kBody);
  tooltip = new tovo::gui::SToolTip(this, true);
  SetSlotColours(tooltip, kBody, kBody, kBody);
  tooltip->SetTipColours(Slot(kWhite), Slot(kOrange), Slot(kRed));
  new tovo::gui::SToolTipSwitch(tooltip, "(VTRN) Button: Tooltips",
                                "Tooltips:\nclick to show or hide\nthe tips of the panel's controls");

  logo = new tovo::gui::SImageLabel(globals, this, globals->NextId(), "(VTRN) Label: Logo", 0, 10, 10, 50, 88,
                                    static_cast<int>(window), false);
  logo->LoadBackground(const_cast<char**>(tovo::images::text_logo), 50, 88);
  AddControl(logo, tovo::gui::kEventValueChanged);
  const SRect logoWindow = logo->GetWindowRect();
  logoRect = {logoWindow.left, logoWindow.top, logoWindow.right, logoWindow.bottom};

  using tovo::gui::kButtonMomentary;
  using tovo::gui::kButtonReportOff;
  presetSwitchingButton =
      MakeOptionButton("(VTRN) Button: Preset Switching", 17, 98, 40, 16, "PC", 8, kButtonReportOff, kPink,
                       "Option:\nEnable Preset Switching\n(via Program Changes)", true);
  midiThruButton = MakeOptionButton("(VTRN) Button: Midi Through", 17, 116, 40, 16, "Thru", 8, kButtonReportOff, kOrange,
                                    "Option:\nToggle Midi Thru", true);
  resendButton = MakeOptionButton("(VTRN) Button: Resend", 17, 134, 40, 16, "Resend", 8, kButtonMomentary, kLime,
                                  "Action:\nResend Values", true);
  initSendButton = MakeOptionButton("(VTRN) Button: Init-Send", 17, 159, 40, 16, "I-Send", 8, kButtonReportOff, kBlue,
                                    "Option:\nSend Values\n(on plugin init)", false);
  changeSendButton = MakeOptionButton("(VTRN) Button: Change-Send", 17, 192, 40, 16, "P-Send", 8, kButtonReportOff,
                                      kRed, "Option:\nSend Values\n(on preset change)", false);
  bankSelectFirstButton = MakeOptionButton(
      "(VTRN) Button: Bank Select First", 17, 225, 40, 16, "B-First", 8, kButtonReportOff, kCyan,
      "Option:\nSend Bank Select\nbefore Program Change\n(most modules want it)", false);
  copyButton = MakeOptionButton("(VTRN) Button: Copy", 62, kStripButtonTop, 16, 16, "C", 7, kButtonMomentary,
                                kGrey, "Action:\nCopy Preset", false);
  pasteButton = MakeOptionButton("(VTRN) Button: Paste", 80, kStripButtonTop, 16, 16, "P", 7,
                                 kButtonMomentary, kGrey, "Action:\nPaste Preset", false);
  initDelayDial = MakeOptionDial(
      "(VTRN) Control: Initdelay", 27, 176, 22, kMaxDelaySeconds,
      "Option:\nSelect Delay\n   \n(after which the values\nare sent on plugin init)");
  changeDelayDial = MakeOptionDial(
      "(VTRN) Control: Changedelay", 27, 209, 22, kMaxDelaySeconds,
      "Option:\nSelect Delay\n   \n(after which the values\nare sent on preset change)");

  // "- - -" stands for a value that is not sent; the others show the MIDI value.
  valueTexts = new SDisplayText[129];
  channelTexts = new SDisplayText[17];
  valueTexts[0] = SDisplayText(8, "%s", kNotSent);
  channelTexts[0] = SDisplayText(8, "%s", kNotSent);
  for (int v = 1; v <= 128; ++v) valueTexts[v] = SDisplayText(8, "%03d", v - 1);
  for (int c = 1; c <= 16; ++c) channelTexts[c] = SDisplayText(8, "%02d", c);
  for (int r = 0; r < kRows; ++r) MakeRow(r);
  // After all rows: a row's controls take IDs kControlsPerRow apart from the next row's.
  for (int r = 0; r < kRows; ++r) {
    char name[48];
    std::snprintf(name, sizeof(name), "(VTRN) Label: Sound (Strip %d)", r + 1);
    rows[r].soundPlace = new SSoundPlace(globals, this, name, 101, kSoundTop, kSoundHeight);
    rows[r].soundPlace->AddEventListener(this, tovo::gui::kEventValueChanged);
    Add(rows[r].soundPlace);
  }
  MakeExtensionControls();

  textDialog = MakeTextDialog({180, 100}, 20);
  MakeDeviceDialog();
  editedRow = 0;
  RefreshPanel();
}
