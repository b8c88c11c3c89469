// Shared ground for the panel's tests: the real plug-in in our host with its editor open in a host window
// on the screen, used the way a user uses it, with real pointer and keyboard input that the X server
// delivers (XTest), and what the host and the server see afterwards.
#pragma once

#include <string>
#include <vector>

#include "EditorTest.h"
#include "preset/VSTPluginProgramExtension.h"
#include "preset/VSTPluginProgram.h"

namespace editortest {

// Colours of the panel as the server shows them.
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kOrange{255, 128, 0};
constexpr Rgb kDarkRed{100, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kBody{kBodyRed, kBodyGreen, kBodyBlue};
constexpr Rgb kInner{44, 44, 44};
constexpr Rgb kSand{247, 231, 168};
constexpr Rgb kGrey{138, 145, 150};

// Where the controls are in the panel: the middle of each.
struct PanelPoint {
  int x;
  int y;
};
constexpr PanelPoint kPresetSwitching{37, 106};
constexpr PanelPoint kMidiThru{37, 124};
constexpr PanelPoint kResend{37, 142};
constexpr PanelPoint kInitSend{37, 167};
constexpr PanelPoint kInitDelay{38, 183};
constexpr PanelPoint kChangeSend{37, 200};
constexpr PanelPoint kChangeDelay{38, 216};
constexpr PanelPoint kBankSelectFirst{37, 233};
constexpr PanelPoint kResetFirst{37, 251};
constexpr PanelPoint kSysexEdit{37, 276};
constexpr PanelPoint kSysexChoice{37, 292};
constexpr PanelPoint kSettle{37, 308};
constexpr PanelPoint kCopy{70, 298};
constexpr PanelPoint kPaste{88, 298};
constexpr PanelPoint kLogo{35, 54};
constexpr PanelPoint kTooltipSwitch{5, 5};
// The strip controls of a column.
enum class StripControl { Label, Channel, Program, BankMsb, Swap, BankLsb, Volume, StripButton };
PanelPoint stripPoint(int column, StripControl control);
// A column's value dial of a controller row (0 to 3), and the row's header in the legend.
PanelPoint controllerRowPoint(int column, int row);
PanelPoint controllerHeaderPoint(int row);

class PanelTest : public EditorTest {
 protected:
  void SetUp() override;
  // Using the panel makes no X errors.
  void TearDown() override;

  // Loads the preset into the current program through the host's chunk call and waits for the panel to
  // show it.
  // The preset as a chunk, with its version 2 fields when given.
  void loadPreset(const VSTPluginProgram& preset, const VSTPluginProgramExtension* extension = nullptr);
  // The current program as the host stores it: its record, and its version 2 fields (the defaults when
  // the chunk has none).
  VSTPluginProgram currentPreset();
  VSTPluginProgramExtension currentExtension();
  // A preset with the strips in use in this column order, with distinct values and labels.
  static VSTPluginProgram presetWithStrips(const std::vector<int>& order);

  // Real input: the pointer moves to a point of the panel (or of another window), buttons and keys go
  // down and up. Every gesture ends with the plug-in having had time to handle it.
  void moveTo(PanelPoint point);
  void moveTo(unsigned long window, int x, int y);
  void click(PanelPoint point, unsigned button = 1);
  void clickIn(unsigned long window, int x, int y);
  void controlClick(PanelPoint point);
  void shiftClick(PanelPoint point);
  // Turns the wheel over the point by that many notches, up (positive) or down, all read in one go.
  void turn(PanelPoint point, int notches);
  // Drags from the point by dy pixels (negative is up), in steps, each handled before the next.
  void drag(PanelPoint point, int dy, unsigned button = 1);
  // The same drag one pixel at a time, the motions reaching the plug-in perPass at a time, all read in
  // one pass: a host that idles every 66 ms delivers a drag of a pixel every 15 ms like this.
  void dragInPasses(PanelPoint point, int dy, unsigned button, int perPass);
  void typeText(const std::string& text);
  void pressKey(unsigned long keysym, bool control = false);
  void settle();

  int panelWidth() const;
  // The panel's width in the rectangle effEditGetRect gives, the child window and the host window agree.
  bool sizedFor(int strips);
  // A top-level window of the plug-in that is viewable and not the host window, with the size given
  // (0 for any); 0 if none.
  unsigned long pluginTopLevel(int width, int height) const;
  unsigned long labelDialog() const { return pluginTopLevel(180, 100); }
  unsigned long sysexDialog() const { return pluginTopLevel(330, 174); }
  unsigned long deviceDialog() const { return pluginTopLevel(330, 100); }
  // The text of the open tooltip, which names its window; empty when none is open.
  std::string tooltipText() const;
  // The panel's direct child window at that place and size; 0 if none.
  unsigned long childAt(int x, int y, int width, int height) const;
  // How many pixels of an area of the panel have the colour.
  int pixelsIn(const Rgb& colour, int left, int top, int right, int bottom) const;

  unsigned long panel = 0;
  long errorsBefore = 0;

 private:
  void clickHolding(PanelPoint point, unsigned long modifierKeysym);
};

}  // namespace editortest
