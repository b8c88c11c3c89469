// The plug-in's only visible window, which the editor embeds in the host's window: the global options on
// the left (preset switching, MIDI thru, resend, the two sends with their delays, copy and paste of the
// preset, Bank Select before Program Change) and one column per strip on the right (its label, channel,
// program, bank MSB, swap flag, bank LSB and volume, and the button that adds or removes strips). Every
// static part is drawn once into an off-screen picture that Draw copies to the window.
//
// Values travel to the plug-in through its parameters; strips and labels are written into the current
// preset directly. The plug-in's changes come back through RefreshControls, called by the editor's idle
// pass. Everything here runs on the editor's thread, under the toolkit lock.
#pragma once

#include <array>

#include "data/datastring.h"
#include "gui/SWindow.h"
#include "gui/widgets/SDial.h"

class SPluginEditor;
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
  static constexpr int kHeight = 256;
  // The panel's width for a number of strip columns: the fixed part, the columns and a right margin.
  static constexpr int WidthFor(int columns) { return kColumnWidth * columns + kFixedWidth + 20; }

  struct Row {
    tovo::gui::SDial<int>* channel = nullptr;
    tovo::gui::SDial<int>* program = nullptr;
    tovo::gui::SDial<int>* bankMsb = nullptr;
    tovo::gui::SButton<false>* swap = nullptr;
    tovo::gui::SDial<int>* bankLsb = nullptr;
    tovo::gui::SDial<int>* volume = nullptr;
    // "+" in row 0, "-" in the others.
    tovo::gui::SButton<false>* stripButton = nullptr;
    tovo::gui::SRect label{0, 0, 0, 0};
    int column = kNoColumn;
    bool shown = false;

    // The six value controls from the top, then the strip button.
    std::array<tovo::gui::SControl*, 7> Controls() const;
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

 private:
  // Construction of the controls.
  tovo::gui::SButton<false>* MakeOptionButton(const char* name, int x, int y, int w, int h, const char* text,
                                             int fontSize, int type, int pressedSlot, const char* tip,
                                             bool activeColour);
  tovo::gui::SDial<int>* MakeDelayDial(const char* name, int y, const char* tip);
  void MakeRow(int row);
  void MakeTextDialog();
  void AddControl(tovo::gui::SControl* control, int eventType);

  // Behaviour.
  void OnButton(tovo::gui::SControl* sender, int value);
  void OnDial(tovo::gui::SControl* sender, int value);
  void OnDialogResult(int result);
  void AddStrip();
  void RemoveStrip(int row);
  void EditLabel(int row);
  void ApplyTimerLook();
  // The row of a strip control, from its ID's distance to the same control of row 0; -1 if none.
  int RowOf(const tovo::gui::SControl* sender, const tovo::gui::SControl* firstRowControl) const;
  void SetParameter(int index, float value);
  // After a change of the preset that bypasses the parameters.
  void PresetChangedDirectly();
  VSTPluginProgram& Preset() const;

  // Drawing into the off-screen picture.
  void DrawPresetName();
  void DrawStripArea();
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
  tovo::gui::SImageLabel* logo = nullptr;
  tovo::gui::SRect logoRect{0, 0, 0, 0};
  char presetName[48] = {};
  tovo::gui::SDisplayText* valueTexts = nullptr;
  tovo::gui::SDisplayText* channelTexts = nullptr;
  tovo::gui::STextDialog* textDialog = nullptr;
  int editedRow = 0;
  tovo::gui::SToolTip* tooltip = nullptr;
  int columnCount = 1;
  unsigned char rowShown[kRows] = {};
  SPluginEditor* editor = nullptr;
  VSTPlugin* plugin = nullptr;
  tovo::gui::context::SDrawMemoryDevice* bufferDevice = nullptr;
  tovo::gui::context::SDrawBitmap* bufferBitmap = nullptr;
};
