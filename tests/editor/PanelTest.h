// Shared ground for the panel's tests: the real plug-in in our host with its editor open in a host window
// on the screen, used the way a user uses it, and what the host and the server see afterwards. The input is
// what the server would send for the gesture, handed to the event procedure the plug-in publishes, on the
// editor thread, as the host loop hands on the server's events (HostDisplay); the cases run their course
// without waiting for idle calls. The cases in panel_input_test.cpp use the real pointer and keyboard.
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
constexpr PanelPoint kSysexGap{37, 324};
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

  // Input: the pointer moves to a point of the panel (or of another window), buttons and keys go down and
  // up. Every gesture ends with the events handled and an idle call made, as a host makes between events.
  // HostDisplay only: hosts that pass no display leave the plug-in to read its own connection.
  void moveTo(PanelPoint point);
  void moveTo(unsigned long window, int x, int y);
  void click(PanelPoint point, unsigned button = 1);
  void clickIn(unsigned long window, int x, int y);
  void controlClick(PanelPoint point);
  void shiftClick(PanelPoint point);
  // Turns the wheel over the point by that many notches, up (positive) or down.
  void turn(PanelPoint point, int notches);
  // Drags from the point by dy pixels (negative is up), in steps of 2 pixels.
  void drag(PanelPoint point, int dy, unsigned button = 1);
  // The same drag one pixel at a time, perPass motions handed on at once with an idle call after them: a
  // host that idles every 66 ms delivers a drag of a pixel every 15 ms like this.
  void dragInPasses(PanelPoint point, int dy, unsigned button, int perPass);
  void typeText(const std::string& text);
  void pressKey(unsigned long keysym, bool control = false);
  // The key that types a character, and whether it sits on the shifted level of its key.
  static unsigned long keysymOf(char c);
  static bool needsShift(unsigned long keysym);
  // A button goes down or up where the pointer is, with the modifiers in state; moves in between drag.
  void pressButton(unsigned button, unsigned state = 0);
  void releaseButton(unsigned button, unsigned state = 0);
  // Runs the events through the plug-in's event procedure on the editor thread, as the host loop hands on
  // what the server sends.
  void deliver(const std::vector<XEvent>& events);
  // An idle call now, and the server done with what the plug-in asked of it.
  void settle();
  // Three idle calls, in which the panel paints what the server exposed.
  void waitForPaint();

  int panelWidth() const;
  // The panel's width in the rectangle effEditGetRect gives, the child window and the host window agree.
  bool sizedFor(int strips);
  // A top-level window of the plug-in that is viewable and not the host window, with the size given
  // (0 for any); 0 if none.
  unsigned long pluginTopLevel(int width, int height) const;
  unsigned long labelDialog() const { return pluginTopLevel(180, 100); }
  unsigned long sysexDialog() const { return pluginTopLevel(480, 300); }
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
  // Where the pointer is for the plug-in: the deepest window at the point, which gets the crossings and
  // motions, and the window that took the press while a button is held (the server grabs the pointer for
  // it, so it gets the motions and the release).
  struct Pointer {
    int rootX = 0;
    int rootY = 0;
    unsigned long window = 0;
    unsigned long pressWindow = 0;
    unsigned buttons = 0;
  };
  XEvent pointerEvent(int type, unsigned long window, unsigned state) const;
  XEvent keyEvent(int type, unsigned long keysym, unsigned state) const;
  void pointerTo(int rootX, int rootY);
  void cross(unsigned long to, std::vector<XEvent>& events);
  void clickHolding(PanelPoint point, unsigned long modifierKeysym, unsigned modifierMask);

  Pointer pointer;
  // Server time of the events: a second between presses, so that no two make a double click.
  unsigned long time = 1000000;
};

}  // namespace editortest
