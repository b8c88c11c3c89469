// The panel's controls do what they say to the plug-in: the panel is as wide as its strips, "+" and "-"
// add the lowest free strip and close gaps, the option buttons toggle their parameters (only Thru and
// Resend reach the host's automation), Resend sends, copy and paste copy a preset with its version 2
// fields, each kind of dial sets its parameter in its own scale by wheel, drag, middle click and
// Control-click, the SysEx init is chosen or typed and sent first, and the controller rows go out after the
// volume on the controllers their headers choose.
#include "PanelTest.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "midi/SysexMessages.h"

namespace editortest {
namespace {

using Bytes = std::vector<uint8_t>;

class PanelControls : public PanelTest {
 protected:
  // Presses Resend and runs blocks until the default settle time after a SysEx list has passed: what went
  // out, in order, each message as its bytes (System Exclusive whole).
  std::vector<Bytes> resend() {
    host.mainsChanged(true);
    host.clearEvents();
    click(kResend);
    for (int block = 0; block < 12; ++block) host.processBlock();
    std::vector<Bytes> sent;
    for (const ReceivedEvent& event : host.takeEvents()) {
      const uint8_t* bytes = event.bytes();
      if (!event.sysex.empty())
        sent.push_back(event.sysex);
      else if ((bytes[0] & 0xF0) == 0xC0)
        sent.push_back({bytes[0], bytes[1]});
      else
        sent.push_back({bytes[0], bytes[1], bytes[2]});
    }
    return sent;
  }
};

Bytes listOf(const VSTPluginProgramExtension& extension) {
  return Bytes(extension.sysex, extension.sysex + extension.sysexLength);
}

Bytes named(const char* name) {
  Bytes bytes;
  EXPECT_TRUE(vantorine::midi::SysexByName(name, bytes)) << name;
  return bytes;
}

std::vector<int> order(const VSTPluginProgram& preset) {
  std::vector<int> rows(preset.stripOrder, preset.stripOrder + kStripCount);
  while (!rows.empty() && rows.back() == kEmptyRow) rows.pop_back();
  return rows;
}

std::vector<float> automated(const VstHost& host, VstInt32 index) {
  std::vector<float> values;
  for (const AutomationCall& call : host.automationCalls())
    if (call.index == index) values.push_back(call.value);
  return values;
}

TEST_P(PanelControls, PanelGrowsAndShrinksWithItsStrips) {
  const int updates = host.callbackCount(audioMasterUpdateDisplay);
  for (int strips = 2; strips <= 16; ++strips) {
    click(stripPoint(0, StripControl::StripButton));
    ASSERT_TRUE(within(20, [&] { return sizedFor(strips); })) << strips << " strips";
  }
  EXPECT_EQ(panelWidth(), 520);
  // Adding and removing change the preset behind the host's back; it is told, so it marks the project.
  EXPECT_GE(host.callbackCount(audioMasterUpdateDisplay), updates + 15);

  click(stripPoint(0, StripControl::StripButton));
  EXPECT_TRUE(sizedFor(16)) << "a seventeenth strip";
  EXPECT_EQ(currentPreset().stripCount, 16);

  click(stripPoint(5, StripControl::StripButton));
  EXPECT_TRUE(within(20, [&] { return sizedFor(15); }));
  const VSTPluginProgram preset = currentPreset();
  EXPECT_EQ(preset.stripCount, 15);
  EXPECT_EQ(order(preset), (std::vector<int>{0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  EXPECT_FALSE(preset.strips[5].inUse);
}

TEST_P(PanelControls, AddTakesTheLowestFreeStripAndRemoveClosesTheGap) {
  VSTPluginProgramExtension rows;
  InitProgramExtension(rows);
  rows.rowValues[1][0] = 33;
  loadPreset(presetWithStrips({0, 1, 3}), &rows);
  click(stripPoint(0, StripControl::StripButton));
  ASSERT_TRUE(within(20, [&] { return sizedFor(4); }));
  VSTPluginProgram preset = currentPreset();
  EXPECT_EQ(order(preset), (std::vector<int>{0, 1, 3, 2}));
  EXPECT_STREQ(preset.strips[2].label, ".....");
  EXPECT_TRUE(preset.strips[2].inUse);

  click(stripPoint(1, StripControl::StripButton));
  ASSERT_TRUE(within(20, [&] { return sizedFor(3); }));
  preset = currentPreset();
  EXPECT_EQ(order(preset), (std::vector<int>{0, 3, 2}));
  EXPECT_EQ(preset.stripCount, 3);
  EXPECT_FALSE(preset.strips[1].inUse);
  EXPECT_EQ(preset.strips[1].program, 0) << "a removed strip forgets its values";
  EXPECT_EQ(host.getChunk(true).size(), sizeof(preset)) << "its controller row values too";
  EXPECT_STREQ(preset.strips[1].label, "Strip 1") << "and keeps its label";

  // Strip 3 now sits in column 1: its dial there sets its parameters.
  click(stripPoint(1, StripControl::Program), 4);
  EXPECT_EQ(currentPreset().strips[3].program, 14);
}

TEST_P(PanelControls, OptionButtonsToggleTheirParameters) {
  struct Option {
    PanelPoint point;
    VstInt32 index;
  };
  for (const Option& option : {Option{kPresetSwitching, 7}, Option{kMidiThru, 1}, Option{kInitSend, 3},
                               Option{kChangeSend, 5}, Option{kBankSelectFirst, 2}}) {
    SCOPED_TRACE(testing::Message() << "parameter " << option.index);
    const float before = host.getParameter(option.index);
    click(option.point);
    EXPECT_NE(host.getParameter(option.index), before);
    click(option.point);
    EXPECT_EQ(host.getParameter(option.index), before);
  }
  EXPECT_EQ(automated(host, 1), (std::vector<float>{1.f, 0.f}));
  for (VstInt32 index : {2, 3, 5, 7}) EXPECT_TRUE(automated(host, index).empty()) << index;
}

TEST_P(PanelControls, ResendSendsStripOneFromTheNextBlock) {
  host.mainsChanged(true);
  host.processBlock();
  host.clearEvents();
  click(kResend);
  EXPECT_EQ(automated(host, 0), (std::vector<float>{1.f, 0.f}));
  host.processBlock();
  const std::vector<ReceivedEvent> sent = host.takeEvents();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes()[0], 0xC0) << "Program Change on channel 1";
  EXPECT_EQ(sent[0].bytes()[1], 0x00);
  EXPECT_TRUE(sent[0].duringProcessing);
}

TEST_P(PanelControls, CopyAndPasteCopyAPreset) {
  loadPreset(presetWithStrips({0, 2}));
  // The version 2 fields, set in the panel: GS Reset, 20 ms more to settle, a gap of 15 ms after each
  // message, a row value of strip 2, the expression row moved on to controller 12, and Reset All
  // Controllers first.
  turn(kSysexChoice, 3);
  turn(kSettle, 2);
  turn(kSysexGap, 3);
  turn(controllerRowPoint(1, 1), 5);
  turn(controllerHeaderPoint(3), 1);
  click(kResetFirst);
  const VSTPluginProgramExtension copied = currentExtension();
  ASSERT_EQ(listOf(copied), named("GS Reset"));
  ASSERT_EQ(copied.settleMs, 120);
  ASSERT_EQ(copied.sysexGapMs, 15);
  ASSERT_EQ(copied.rowValues[2][1], 5);
  ASSERT_EQ(copied.rowControllers[3], 12);
  ASSERT_EQ(copied.resetControllersFirst, 1);
  const int width = 25 * 2 + 120;
  // The options column and the strips; the preset name between them is the pasted preset's own.
  auto picture = [&] {
    std::vector<Rgb> pixels = windowPixels(panel, 0, 0, 62, kEditorHeight);
    const std::vector<Rgb> strips = windowPixels(panel, 82, 0, width, kEditorHeight);
    pixels.insert(pixels.end(), strips.begin(), strips.end());
    return pixels;
  };
  moveTo(editor->hostWindow(), 300, 300);
  const std::vector<Rgb> shown = picture();
  click(kCopy);
  host.setProgram(1);
  ASSERT_TRUE(within(20, [&] { return sizedFor(1); }));
  click(kPaste);
  ASSERT_TRUE(within(20, [&] { return sizedFor(2); }));
  const VSTPluginProgram pasted = currentPreset();
  EXPECT_EQ(order(pasted), (std::vector<int>{0, 2}));
  EXPECT_EQ(pasted.strips[2].program, 12);
  EXPECT_STREQ(pasted.strips[2].label, "Strip 2");
  EXPECT_STREQ(pasted.name, "002 - empty preset") << "the name stays the preset's own";
  const VSTPluginProgramExtension extension = currentExtension();
  EXPECT_EQ(std::memcmp(&extension, &copied, sizeof(extension)), 0) << "the version 2 fields come along";
  moveTo(editor->hostWindow(), 300, 300);
  EXPECT_TRUE(within(20, [&] { return picture() == shown; })) << "and the panel shows them as before";
}

// The SysEx init: a named choice sets its message, a list typed in hex is sent as typed, text that is not
// whole messages is refused in the dialog, and stepping through the choices gives a custom list back.
TEST_P(PanelControls, SysexInitIsChosenTypedAndSentFirst) {
  turn(kSysexChoice, 3);
  EXPECT_EQ(listOf(currentExtension()), named("GS Reset"));
  EXPECT_EQ(currentExtension().settleMs, 100) << "the settle time is left as it was";
  EXPECT_EQ(resend(), (std::vector<Bytes>{named("GS Reset"), {0xC0, 0x00}}));

  click(kSysexEdit);
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = sysexDialog()) != 0; })) << "no 480 x 300 dialog opened";
  moveTo(dialog, 165, 60);
  // The list is selected: typing replaces it.
  typeText("F0 7E 7F 09 03 F7 F0 41 10 42 12 40 1A 15 02 0F F7");
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return sysexDialog() == 0; }));
  const Bytes custom = {0xF0, 0x7E, 0x7F, 0x09, 0x03, 0xF7,
                        0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F, 0xF7};
  EXPECT_EQ(listOf(currentExtension()), custom);
  EXPECT_EQ(resend(), (std::vector<Bytes>{Bytes(custom.begin(), custom.begin() + 6),
                                          Bytes(custom.begin() + 6, custom.end()), {0xC0, 0x00}}));

  click(kSysexEdit);
  ASSERT_TRUE(within(20, [&] { return (dialog = sysexDialog()) != 0; }));
  moveTo(dialog, 165, 60);
  // The note under the box, where the dialog says why it refuses a text.
  auto note = [&] { return windowPixels(dialog, 24, 204, 456, 246); };
  const std::vector<Rgb> stored = note();
  typeText("F0 7E 7F 09");
  pressKey(XK_Return);
  settle();
  EXPECT_NE(sysexDialog(), 0u) << "a list that is not whole messages closes nothing";
  EXPECT_NE(note(), stored) << "the dialog says why";
  typeText(" 1 F7");
  pressKey(XK_Return);
  settle();
  EXPECT_NE(sysexDialog(), 0u) << "neither does a byte of one digit";
  pressKey(XK_Escape);
  ASSERT_TRUE(within(20, [&] { return sysexDialog() == 0; }));
  EXPECT_EQ(listOf(currentExtension()), custom) << "the old list stays";

  // Custom is the last choice while the panel keeps the custom list: stepping away and back brings it.
  turn(kSysexChoice, -1);
  EXPECT_EQ(listOf(currentExtension()), named("XG System On"));
  turn(kSysexChoice, 1);
  EXPECT_EQ(listOf(currentExtension()), custom);
  turn(kSettle, -10);
  EXPECT_EQ(currentExtension().settleMs, 0);
  turn(kSysexChoice, -5);
  EXPECT_EQ(currentExtension().sysexLength, 0);
  controlClick(kSettle);
  EXPECT_EQ(currentExtension().settleMs, 100) << "Control-click: the settle time of a preset nobody set";
  EXPECT_EQ(host.getChunk(true).size(), sizeof(VSTPluginProgram)) << "none is stored as never set";
}

// A path typed in the SysEx dialog reads the .syx file there: a bad one is refused and the list stays; a
// good one has its size told first, and the next Return stores it. A list too long to show as hex shows as
// one line, which Return confirms as it is.
TEST_P(PanelControls, SysexDialogReadsSyxFiles) {
  char pattern[] = "/tmp/vtrnXXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  // Six messages of 40 bytes: twelve lines of hex, more than the box shows.
  Bytes dump;
  while (dump.size() < 6 * 40) {
    dump.push_back(0xF0);
    for (int i = 0; i < 38; ++i) dump.push_back(static_cast<uint8_t>((dump.size() + i) % 128));
    dump.push_back(0xF7);
  }
  std::ofstream(folder + "/a.syx", std::ios::binary)
      .write(reinterpret_cast<const char*>(dump.data()), dump.size());
  std::ofstream(folder + "/b.syx", std::ios::binary) << "\xF0\x41\x90\xF7";
  const Bytes before = listOf(currentExtension());

  click(kSysexEdit);
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = sysexDialog()) != 0; }));
  moveTo(dialog, 240, 60);
  auto note = [&] { return windowPixels(dialog, 24, 204, 456, 246); };
  const std::vector<Rgb> stored = note();
  typeText(folder + "/b.syx");
  pressKey(XK_Return);
  settle();
  const std::vector<Rgb> refused = note();
  EXPECT_NE(refused, stored) << "the dialog says why";
  pressKey(XK_Return);
  settle();
  EXPECT_NE(sysexDialog(), 0u) << "a file that is not whole messages closes nothing, however often confirmed";
  EXPECT_EQ(listOf(currentExtension()), before);

  pressKey('a', true);
  typeText(folder + "/a.syx");
  pressKey(XK_Return);
  settle();
  EXPECT_NE(sysexDialog(), 0u) << "the first Return tells the file's size";
  EXPECT_NE(note(), refused);
  EXPECT_EQ(listOf(currentExtension()), before);
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return sysexDialog() == 0; }));
  EXPECT_EQ(listOf(currentExtension()), dump);
  std::vector<Bytes> sent = resend();
  sent.resize(dump.size() / 40);
  for (size_t n = 0; n < sent.size(); ++n)
    EXPECT_EQ(sent[n], Bytes(dump.begin() + n * 40, dump.begin() + n * 40 + 40)) << n;

  click(kSysexEdit);
  ASSERT_TRUE(within(20, [&] { return (dialog = sysexDialog()) != 0; }));
  moveTo(dialog, 240, 60);
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return sysexDialog() == 0; })) << "the line of a long list confirmed keeps it";
  EXPECT_EQ(listOf(currentExtension()), dump);
  std::filesystem::remove_all(folder);
}

// A strip's controller rows go out after its volume, each on the controller its header names; a header
// steps past the controllers a strip sends itself and those of the other rows.
TEST_P(PanelControls, ControllerRowsSendAfterTheVolumeOnTheirHeadersController) {
  VSTPluginProgram preset = presetWithStrips({0, 1});
  preset.strips[0].bankMsb = 5;
  preset.strips[1].bankMsb = 6;
  loadPreset(preset);
  turn(controllerRowPoint(0, 0), 33);
  EXPECT_EQ(currentExtension().rowValues[0][0], 33);
  EXPECT_EQ(resend(), (std::vector<Bytes>{{0xC0, 9}, {0xB0, 0, 4}, {0xB0, 7, 99}, {0xB0, 10, 32},
                                          {0xC1, 10}, {0xB1, 0, 5}, {0xB1, 7, 100}}));

  // From 10 up to 74: 61 steps, past 11 (the expression row), 32 and 38.
  turn(controllerHeaderPoint(0), 61);
  EXPECT_EQ(currentExtension().rowControllers[0], 74);
  turn(controllerHeaderPoint(2), -1);
  EXPECT_EQ(currentExtension().rowControllers[2], 92);
  turn(controllerHeaderPoint(2), -1);
  EXPECT_EQ(currentExtension().rowControllers[2], 90) << "91 is the reverb row's";

  click(kResetFirst);
  click(kBankSelectFirst);
  EXPECT_EQ(resend(), (std::vector<Bytes>{{0xB0, 0x79, 0}, {0xB0, 0, 4}, {0xC0, 9}, {0xB0, 7, 99},
                                          {0xB0, 0x4A, 32}, {0xB1, 0x79, 0}, {0xB1, 0, 5}, {0xC1, 10},
                                          {0xB1, 7, 100}}));
  host.setProgram(2);
  ASSERT_TRUE(within(20, [&] { return sizedFor(1); }));
  EXPECT_EQ(currentExtension().resetControllersFirst, 1) << "an option for every preset";
  EXPECT_EQ(currentExtension().rowControllers[0], 10) << "the controllers are the preset's own";
  host.setProgram(0);
  ASSERT_TRUE(within(20, [&] { return sizedFor(2); }));

  controlClick(controllerRowPoint(0, 0));
  EXPECT_EQ(currentExtension().rowValues[0][0], 0) << "Control-click: not sent";
  controlClick(controllerHeaderPoint(0));
  EXPECT_EQ(currentExtension().rowControllers[0], 10) << "Control-click: the row's standard controller";
}

TEST_P(PanelControls, DialsSetTheirParameterInTheirScale) {
  // Strip 1 starts with program 0 ("000"): the wheel steps it, down to "- - -" (not sent).
  const PanelPoint program = stripPoint(0, StripControl::Program);
  click(program, 5);
  EXPECT_EQ(host.getParameter(24), 0.f);
  EXPECT_EQ(currentPreset().strips[0].program, 0);
  click(program, 4);
  EXPECT_EQ(host.getParameter(24), 0.0078125f);
  EXPECT_EQ(currentPreset().strips[0].program, 1) << "program 0 is sent";
  click(program, 4);
  EXPECT_EQ(currentPreset().strips[0].program, 2);

  click(stripPoint(0, StripControl::Channel), 4);
  EXPECT_EQ(host.getParameter(8), 2 * 0.0625f);
  click(stripPoint(0, StripControl::BankLsb), 4);
  EXPECT_EQ(currentPreset().strips[0].bankLsb, 1);

  // A middle click steps towards the half clicked: the right half raises, the left lowers.
  const PanelPoint volume = stripPoint(0, StripControl::Volume);
  click({volume.x + 6, volume.y}, 2);
  click({volume.x + 6, volume.y}, 2);
  click({volume.x - 6, volume.y}, 2);
  EXPECT_EQ(currentPreset().strips[0].volume, 1);

  // Drags: up raises, the right button needs longer strokes than the left's fine drag.
  drag(stripPoint(0, StripControl::BankMsb), -40, 1);
  const int leftSteps = currentPreset().strips[0].bankMsb;
  EXPECT_GE(leftSteps, 4);
  drag(stripPoint(0, StripControl::BankMsb), 40, 1);
  EXPECT_LT(currentPreset().strips[0].bankMsb, leftSteps);
  const int start = currentPreset().strips[0].bankMsb;
  drag(stripPoint(0, StripControl::BankMsb), -40, 3);
  const int rightSteps = currentPreset().strips[0].bankMsb - start;
  EXPECT_GT(rightSteps, 0);
  EXPECT_LT(rightSteps, leftSteps);

  // Control-click goes back to the default, which is "not sent".
  controlClick(program);
  EXPECT_EQ(currentPreset().strips[0].program, 0);

  // The delay dials count seconds, 0 to 999.
  click(kInitDelay, 4);
  EXPECT_EQ(currentPreset().initDelay, 6);
  click(kChangeDelay, 4);
  EXPECT_EQ(currentPreset().changeDelay, 1);

  click(stripPoint(0, StripControl::Swap));
  EXPECT_EQ(host.getParameter(72), 1.f);
  EXPECT_TRUE(automated(host, 72).empty());
}

// However many motions one pass of the host reads, each counts where it happened: a drag steps once per
// 6 pixels of travel (13 with the right button) in every host, as when every motion is handled at once.
TEST_P(PanelControls, DragsStepTheSameHoweverTheMotionsAreBatched) {
  const PanelPoint msb = stripPoint(0, StripControl::BankMsb);
  drag(msb, -30, 1);
  EXPECT_EQ(currentPreset().strips[0].bankMsb, 5);
  dragInPasses(msb, -30, 1, 4);
  EXPECT_EQ(currentPreset().strips[0].bankMsb, 10);
  dragInPasses(msb, 30, 1, 5);
  EXPECT_EQ(currentPreset().strips[0].bankMsb, 5);
  drag(msb, -30, 3);
  EXPECT_EQ(currentPreset().strips[0].bankMsb, 7);
  dragInPasses(msb, -30, 3, 4);
  EXPECT_EQ(currentPreset().strips[0].bankMsb, 9);
}

INSTANTIATE_TEST_SUITE_P(HostLoop, PanelControls, testing::Values(EditorWindow::Mode::HostDisplay), modeName);

}  // namespace
}  // namespace editortest
