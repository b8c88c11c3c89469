// The plug-in's only visible window, which the editor embeds in the host's window: the global options on
// the left (preset switching, MIDI thru, resend, the two sends with their delays, copy and paste of the
// preset, Bank Select before Program Change, Reset All Controllers first, the preset's SysEx init, its
// settle time and the gap after each of its messages) and one column per strip on the right (its label, channel, program, bank MSB, swap flag,
// bank LSB, volume and the four controller rows, and the button that adds or removes strips), the rows'
// controllers named in the legend beside them. Under the strips, a band names the sound each strip's values
// select on its device, and the device, for the strips that have one. Every static part is drawn once into
// an off-screen picture that Draw copies to the window.
//
// Values travel to the plug-in through its parameters; strips, labels and the version 2 fields are written
// into the current preset directly. The plug-in's changes come back through RefreshControls, called by the
// editor's idle pass. Everything here runs on the editor's thread, under the toolkit lock.
#pragma once

#include <array>
#include <string>

#include "data/datastring.h"
#include "editor/SysexChoice.h"
#include "editor/SysexEntry.h"
#include "gui/SWindow.h"
#include "gui/widgets/SDial.h"
#include "preset/VSTPluginProgramExtension.h"

class SPluginEditor;
class SSoundBrowser;
class SSoundPlace;
class SUpwardDial;
class VSTPlugin;
struct VSTPluginProgram;

namespace tovo::gui {
template <bool Variant>
class SButton;
class SImageLabel;
class SToolTip;
class STextDialog;
namespace context {
class SDrawBitmap;
class SDrawMemoryDevice;
}  // namespace context
}  // namespace tovo::gui

class SPluginPanel : public tovo::gui::SWindow {
 public:
  static constexpr int kRows = 16;
  static constexpr int kNoColumn = 16;
  static constexpr int kFixedWidth = 100;
  static constexpr int kColumnWidth = 25;
  // Value controls of a strip: channel, program, bank MSB, swap, bank LSB, volume and the controller rows,
  // each row 20 pixels below the one before; the strip button below them. A strip makes them in this
  // order, the strip button last, so its controls' IDs are this many apart from the next strip's.
  static constexpr int kOwnValueRows = 6;
  static constexpr int kValueRows = kOwnValueRows + kControllerRows;
  static constexpr int kControlsPerRow = kValueRows + 1;
  static constexpr int kFirstValueTop = 90;
  static constexpr int kRowPitch = 20;
  static constexpr int kStripButtonTop = kFirstValueTop + kRowPitch * kValueRows;
  // The legend's column, left of the strips; in it, each value row's name or, for a controller row, the
  // header dial that names and chooses its controller.
  static constexpr int kLegendLeft = 82;
  static constexpr int kLegendRight = 93;
  static tovo::gui::SRect LegendPlace(int valueRow) {
    const int top = kFirstValueTop + kRowPitch * valueRow;
    return {kLegendLeft, top - 2, kLegendRight, top + 16};
  }
  // The steps of the settle dial and the SysEx gap dial, in milliseconds.
  static constexpr int kSettleStepMs = 10;
  static constexpr int kSysexGapStepMs = 5;
  // The panel's width for a number of strip columns: the fixed part, the columns and a right margin.
  static constexpr int WidthFor(int columns) { return kColumnWidth * columns + kFixedWidth + 20; }
  // The sound band under the strip buttons: each strip's place in it, the band's black around them, and
  // the panel's height, the band and the margin below it.
  static constexpr int kSoundTop = kStripButtonTop + 22;
  static constexpr int kSoundHeight = 130;
  static constexpr int kSoundBandTop = kSoundTop - 4;
  static constexpr int kSoundBandBottom = kSoundTop + kSoundHeight + 4;
  static constexpr int kHeight = kSoundBandBottom + 16;

  struct Row {
    tovo::gui::SDial<int>* channel = nullptr;
    tovo::gui::SDial<int>* program = nullptr;
    tovo::gui::SDial<int>* bankMsb = nullptr;
    tovo::gui::SButton<false>* swap = nullptr;
    tovo::gui::SDial<int>* bankLsb = nullptr;
    tovo::gui::SDial<int>* volume = nullptr;
    std::array<tovo::gui::SDial<int>*, kControllerRows> controllerValues{};
    // "+" in row 0, "-" in the others.
    tovo::gui::SButton<false>* stripButton = nullptr;
    // Shown while the strip is in use; a click on it opens the sound browser.
    SSoundPlace* soundPlace = nullptr;
    tovo::gui::SRect label{0, 0, 0, 0};
    int column = kNoColumn;
    bool shown = false;

    // The value controls from the top, then the strip button.
    std::array<tovo::gui::SControl*, kControlsPerRow> Controls() const;
  };

  SPluginPanel(tovo::gui::SGlobals* globals, tovo::gui::SControl* parent, unsigned id, const char* name,
               int style, int x, int y, int width, int height, int hostWindow, bool flag);
  ~SPluginPanel() override;

  // Set by the editor before LoadControls; neither is owned.
  void SetEditor(SPluginEditor* owner) { editor = owner; }
  void SetPlugin(VSTPlugin* owner) { plugin = owner; }

  void LoadControls() override;
  void Focussing(bool on) override;
  // Brings one parameter's control, or everything (-1), in line with the plug-in.
  void RefreshControls(long index) override;
  void Draw(const tovo::gui::SRect& rect) override;
  void MouseStateChanged(bool* mouse, int index) override;
  void ParseEvent(tovo::gui::SEvent* event) override;

  // The static picture: everything once, then the parts that change with columns, labels and preset.
  void RefreshPanel();
  void RefreshLabels();
  // Lays the strips out in the columns the current preset's strip order gives.
  void RecalculatePositions();
  void RecalculateSize(int columns);
  void ClearControl(int row);
  void ResetControl(int row);

  const Row& GetRow(int row) const { return rows[row]; }
  int ColumnCount() const { return columnCount; }
  bool LogoShown() const;
  int EditedRow() const { return editedRow; }
  const char* PresetName() const { return presetName; }
  tovo::gui::SToolTip* Tooltip() const { return tooltip; }
  tovo::gui::STextDialog* TextDialog() const { return textDialog; }
  tovo::gui::SImageLabel* Logo() const { return logo; }
  tovo::gui::SButton<false>* InitSendButton() const { return initSendButton; }
  tovo::gui::SButton<false>* MidiThruButton() const { return midiThruButton; }
  tovo::gui::SButton<false>* ResendButton() const { return resendButton; }
  tovo::gui::SButton<false>* ChangeSendButton() const { return changeSendButton; }
  tovo::gui::SButton<false>* PresetSwitchingButton() const { return presetSwitchingButton; }
  tovo::gui::SButton<false>* BankSelectFirstButton() const { return bankSelectFirstButton; }
  tovo::gui::SButton<false>* CopyButton() const { return copyButton; }
  tovo::gui::SButton<false>* PasteButton() const { return pasteButton; }
  tovo::gui::SDial<int>* InitDelayDial() const { return initDelayDial; }
  tovo::gui::SDial<int>* ChangeDelayDial() const { return changeDelayDial; }
  tovo::gui::STextDialog* SysexDialog() const { return sysexDialog; }
  tovo::gui::STextDialog* DeviceDialog() const { return deviceDialog; }
  SSoundBrowser* SoundBrowser() const { return soundBrowser; }
  // Opens the sound browser for a strip in use, as a click on its place does.
  void OpenSoundBrowser(int row);

 private:
  // Construction of the controls.
  tovo::gui::SButton<false>* MakeOptionButton(const char* name, int x, int y, int w, int h, const char* text,
                                             int fontSize, int type, int pressedSlot, const char* tip,
                                             bool activeColour);
  tovo::gui::SDial<int>* MakeOptionDial(const char* name, int x, int y, int width, int max, const char* tip);
  tovo::gui::SDial<int>* MakeTimeDial(const char* name, int y, int maxMs, int stepMs, int defaultMs,
                                      const char* format, const char* tip);
  void MakeRow(int row);
  tovo::gui::STextDialog* MakeTextDialog(tovo::gui::SPoint size, int boxHeight);
  void AddControl(tovo::gui::SControl* control, int eventType);
  // The controls of the version 2 fields in the options column and the legend (SPluginPanelExtension.cpp).
  void MakeExtensionControls();

  // Behaviour.
  void OnButton(tovo::gui::SControl* sender, int value);
  void OnDial(tovo::gui::SControl* sender, int value);
  void OnDialogResult(int result);
  void AddStrip();
  void RemoveStrip(int row);
  void EditLabel(int row);
  void ApplyTimerLook();
  // A dial that counts down shows it in orange, with its tooltip quiet; back to its own look after.
  void SetCountingLook(tovo::gui::SDial<int>* dial, bool counting);
  // The version 2 fields: the user's changes, and the controls brought in line with the preset.
  bool OnExtensionButton(tovo::gui::SControl* sender, int value);
  bool OnExtensionDial(tovo::gui::SControl* sender, int value);
  void OnControllerHeader(int row, int value);
  void OnSysexChoice(int choice);
  void EditSysex();
  void OnSysexDialogResult(int result);
  void StoreSysex(const std::vector<uint8_t>& list);
  // Whether a text confirmed in the SysEx dialog ends it; if not, why, or what a file holds.
  const char* CheckSysexEntry(const std::string& text);
  void RefreshExtension();
  void RefreshHeader(int row);
  void ApplySettleLook();
  // A strip's device, chosen by typing part of its name (SPluginPanelDevice.cpp), and the sound its program
  // and bank dials select, named in its place in the sound band and in the tooltips of both.
  void MakeDeviceDialog();
  void EditDevice(int row);
  void OnDeviceDialogResult(int result);
  void RefreshSound(int row);
  // The row of a strip control, from its ID's distance to the same control of row 0; -1 if none.
  int RowOf(const tovo::gui::SControl* sender, const tovo::gui::SControl* firstRowControl) const;
  void SetParameter(int index, float value);
  // After a change of the preset that bypasses the parameters.
  void PresetChangedDirectly();
  const VSTPluginProgram& Preset() const;

  // Drawing into the off-screen picture.
  void DrawPresetName();
  void DrawStripArea();
  void DrawSoundLegend();
  void DrawLabels();
  // Runs draw with the drawing switched to the off-screen device, then shows the result.
  template <typename Steps>
  void DrawOffscreen(Steps draw);

  Row rows[kRows];
  tovo::gui::SButton<false>* initSendButton = nullptr;
  tovo::gui::SButton<false>* midiThruButton = nullptr;
  tovo::gui::SButton<false>* resendButton = nullptr;
  tovo::gui::SButton<false>* changeSendButton = nullptr;
  tovo::gui::SButton<false>* presetSwitchingButton = nullptr;
  tovo::gui::SButton<false>* bankSelectFirstButton = nullptr;
  tovo::gui::SButton<false>* copyButton = nullptr;
  tovo::gui::SButton<false>* pasteButton = nullptr;
  tovo::gui::SDial<int>* initDelayDial = nullptr;
  tovo::gui::SDial<int>* changeDelayDial = nullptr;
  tovo::gui::SButton<false>* resetFirstButton = nullptr;
  tovo::gui::SButton<false>* sysexButton = nullptr;
  tovo::gui::SDial<int>* sysexChoiceDial = nullptr;
  tovo::gui::SDial<int>* settleDial = nullptr;
  tovo::gui::SDial<int>* sysexGapDial = nullptr;
  std::array<SUpwardDial*, kControllerRows> controllerHeaders{};
  tovo::gui::STextDialog* sysexDialog = nullptr;
  tovo::gui::STextDialog* deviceDialog = nullptr;
  // Made on first use; the strip it browses for.
  SSoundBrowser* soundBrowser = nullptr;
  int browsedRow = 0;
  // The refusal the device dialog shows, kept while it shows it.
  std::string deviceRefusal;
  vantorine::editor::SysexChoiceMemory sysexChoice;
  // What the SysEx dialog's note says, kept while it shows it; the list of the file the user was last
  // told the size of, which a second confirmation stores; the entry the dialog accepted.
  std::string sysexNote;
  std::vector<uint8_t> sysexFileShown;
  vantorine::editor::SysexEntry sysexEntry;
  tovo::gui::SImageLabel* logo = nullptr;
  tovo::gui::SRect logoRect{0, 0, 0, 0};
  char presetName[48] = {};
  tovo::gui::SDisplayText* valueTexts = nullptr;
  tovo::gui::SDisplayText* channelTexts = nullptr;
  tovo::gui::SDisplayText* controllerTexts = nullptr;
  tovo::gui::STextDialog* textDialog = nullptr;
  // The strip whose label or device a dialog edits: both are modal, so one at a time.
  int editedRow = 0;
  tovo::gui::SToolTip* tooltip = nullptr;
  int columnCount = 1;
  unsigned char rowShown[kRows] = {};
  SPluginEditor* editor = nullptr;
  VSTPlugin* plugin = nullptr;
  tovo::gui::context::SDrawMemoryDevice* bufferDevice = nullptr;
  tovo::gui::context::SDrawBitmap* bufferBitmap = nullptr;
};
