// What the panel shows: its picture in the right places and colours for any number of strips, the labels,
// the controller rows and their headers, the tooltips and their switch, the logo that hides and comes back,
// the delay and settle dials counting down in orange, the host's changes, and the same pixels after closing
// and opening again, also after many cycles that leave nothing behind, in both ways hosts feed an editor. The
// program and bank dials' tip names the sound they select on the strip's device, as they change.
#include "PanelTest.h"

#include <X11/Xlib.h>

#include <cstring>
#include <string>
#include <vector>

namespace editortest {
namespace {

using PanelLook = PanelTest;
using PanelLookInUse = PanelTest;

// A preset that uses its version 2 fields: GS Reset, the second row on controller 74, row values in every
// strip.
VSTPluginProgramExtension extensionInUse() {
  VSTPluginProgramExtension extension;
  InitProgramExtension(extension);
  const uint8_t gs[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  std::memcpy(extension.sysex, gs, sizeof(gs));
  extension.sysexLength = sizeof(gs);
  extension.rowControllers[1] = 74;
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < kControllerRows; ++k) extension.rowValues[r][k] = static_cast<uint8_t>(1 + 20 * k + r);
  extension.resetControllersFirst = 1;
  return extension;
}

TEST_P(PanelLook, PictureIsPaintedInPlaceAndInItsColours) {
  const VSTPluginProgramExtension extension = extensionInUse();
  loadPreset(presetWithStrips({0, 1, 2, 3}), &extension);
  const int width = 25 * 4 + 120;
  ASSERT_TRUE(within(20, [&] { return pixelAt(panel, width / 2, 0) == kBlue; }));
  // The blue frame around the whole panel.
  EXPECT_EQ(pixelAt(panel, 0, kEditorHeight / 2), kBlue);
  EXPECT_EQ(pixelAt(panel, width - 1, kEditorHeight / 2), kBlue);
  EXPECT_EQ(pixelAt(panel, width / 2, kEditorHeight - 1), kBlue);
  // The black frame inside it, the body, the dark red column of the preset name, the inner grey of the
  // legend, the black strip area and the black margin around the columns.
  EXPECT_EQ(pixelAt(panel, 5, 200), kBlack);
  EXPECT_EQ(pixelAt(panel, 12, 200), kBody);
  EXPECT_EQ(pixelAt(panel, 70, 20), kDarkRed);
  EXPECT_EQ(pixelAt(panel, 90, 20), kInner);
  EXPECT_EQ(pixelAt(panel, 97, 100), kBlack);
  EXPECT_EQ(pixelAt(panel, 150, 5), kBlack);
  EXPECT_EQ(pixelAt(panel, width - 5, 100), kBlack);
  EXPECT_EQ(pixelAt(panel, width - 15, 100), kBody) << "body colour right of the last column";
  // Texts: the preset name in white on dark red, every label in white in its column.
  EXPECT_GT(pixelsIn(kWhite, 65, 109, 80, 199), 10);
  for (int column = 0; column < 4; ++column)
    EXPECT_GT(pixelsIn(kWhite, 101 + 25 * column, 16, 125 + 25 * column, 88), 10) << "label " << column;
  // The controller rows' values in sand under the volume, their headers in grey in the legend, and the
  // legend's column and the strip area reaching down to them.
  for (int row = 0; row < kControllerRows; ++row) {
    const int top = 210 + 20 * row;
    for (int column = 0; column < 4; ++column)
      EXPECT_GT(pixelsIn(kSand, 101 + 25 * column, top, 125 + 25 * column, top + 14), 5) << row << " " << column;
    EXPECT_GT(pixelsIn(kGrey, 82, top - 2, 93, top + 16), 5) << "header " << row;
  }
  EXPECT_EQ(pixelAt(panel, 70, 280), kDarkRed);
  EXPECT_EQ(pixelAt(panel, width - 15, 280), kBody);
  EXPECT_EQ(pixelAt(panel, 97, 280), kBlack);
  // The logo covers the texts beneath it.
  EXPECT_NE(childAt(10, 10, 50, 88), 0u);
}

// The rows of a column's label area that its label's pixels reach.
std::pair<int, int> labelSpan(const std::vector<Rgb>& column, int width) {
  int first = -1, last = -1;
  for (size_t i = 0; i < column.size(); ++i) {
    if (!(column[i] == kWhite)) continue;
    const int row = static_cast<int>(i) / width;
    if (first < 0) first = row;
    last = row;
  }
  return {first, last};
}

TEST_P(PanelLook, LongLabelsTakeASmallerFontToFitTheirColumn) {
  VSTPluginProgram preset = presetWithStrips({0, 1, 2});
  std::snprintf(preset.strips[0].label, kLabelSize, "Pad");
  std::snprintf(preset.strips[1].label, kLabelSize, "Brass Sect.");
  std::snprintf(preset.strips[2].label, kLabelSize, "Pad");
  loadPreset(preset);
  const int height = 90 - 14;
  auto span = [&](int column) {
    return labelSpan(windowPixels(panel, 101 + 25 * column, 14, 125 + 25 * column, 90), 24);
  };
  const auto [shortTop, shortBottom] = span(0);
  const auto [longTop, longBottom] = span(1);
  ASSERT_GE(shortTop, 0) << "no label drawn";
  ASSERT_GE(longTop, 0);
  // Both are centred in the area; the long one fills most of it without leaving it.
  EXPECT_GT(longBottom - longTop, 2 * (shortBottom - shortTop));
  EXPECT_GT(longTop, 0);
  EXPECT_LT(longBottom, height - 1);
  EXPECT_EQ(span(2), span(0)) << "the same label looks the same in every column";
}

TEST_P(PanelLookInUse, TooltipsFollowTheirSwitch) {
  // They start switched off.
  moveTo(kMidiThru);
  EXPECT_FALSE(within(5, [&] { return pluginTopLevel(0, 0) != 0; })) << "a tip while the switch is off";
  moveTo(editor->hostWindow(), 300, 300);
  click(kTooltipSwitch);
  moveTo(kMidiThru);
  unsigned long tip = 0;
  EXPECT_TRUE(within(20, [&] { return (tip = pluginTopLevel(0, 0)) != 0; })) << "no tip over the Thru button";
  moveTo(editor->hostWindow(), 300, 300);
  EXPECT_TRUE(within(20, [&] { return pluginTopLevel(0, 0) == 0; })) << "the tip closes when the pointer leaves";

  click(kTooltipSwitch);
  moveTo(kResend);
  EXPECT_FALSE(within(5, [&] { return pluginTopLevel(0, 0) != 0; }));
}

TEST_P(PanelLookInUse, ProgramTipNamesTheSoundsADragPasses) {
  // Strip 1 plays General MIDI's drum sets on channel 10 from program 0; strip 2 a device that is not
  // installed, strip 3 none.
  VSTPluginProgram preset = presetWithStrips({0, 1, 2});
  preset.strips[0].channel = 10;
  preset.strips[0].program = 1;
  VSTPluginProgramExtension extension;
  InitProgramExtension(extension);
  std::strcpy(extension.devices[0], "General MIDI");
  std::strcpy(extension.devices[1], "Model Q-99");
  loadPreset(preset, &extension);
  click(kTooltipSwitch);

  const PanelPoint program = stripPoint(0, StripControl::Program);
  moveTo(program);
  EXPECT_TRUE(within(20, [&] { return tooltipText() == "Sound: Standard (General MIDI)"; })) << tooltipText();
  // Up a step (6 pixels) at a time until program 40, the tip read after every motion.
  pressButton(1);
  settle();
  std::vector<std::string> sounds = {tooltipText()};
  for (int moved = 6; moved <= 300 && host.getParameter(24) < 41 / 128.f; moved += 6) {
    moveTo({program.x, program.y - moved});
    const std::string tip = tooltipText();
    if (tip.find("no such sound") == std::string::npos && sounds.back() != tip)
      sounds.push_back(tip);
  }
  releaseButton(1);
  settle();
  EXPECT_EQ(currentPreset().strips[0].program, 41);
  const std::vector<std::string> drumSets = {"Standard", "Room", "Power", "Electronic",
                                             "TR-808", "Jazz", "Brush"};
  std::vector<std::string> expected;
  for (const std::string& set : drumSets) expected.push_back("Sound: " + set + " (General MIDI)");
  EXPECT_EQ(sounds, expected);
  // The bank dials tell the same, and the wheel changes it as a drag does.
  moveTo(stripPoint(0, StripControl::BankMsb));
  EXPECT_TRUE(within(20, [&] { return tooltipText() == "Sound: Brush (General MIDI)"; })) << tooltipText();
  turn(program, 8);
  EXPECT_TRUE(within(20, [&] { return tooltipText() == "Sound: Orchestra (General MIDI)"; }))
      << tooltipText();

  // Numbers as the dial shows them, with the device's name, which the preset keeps.
  moveTo(stripPoint(1, StripControl::Program));
  EXPECT_TRUE(within(20, [&] { return tooltipText() == "Sound: Program 010 (Model Q-99 not installed)"; }))
      << tooltipText();
  turn(stripPoint(1, StripControl::Program), 1);
  EXPECT_TRUE(within(20, [&] { return tooltipText() == "Sound: Program 011 (Model Q-99 not installed)"; }))
      << tooltipText();
  EXPECT_STREQ(currentExtension().devices[1], "Model Q-99");
  moveTo(stripPoint(2, StripControl::BankLsb));
  EXPECT_TRUE(within(20, [&] { return tooltipText().find("no device") != std::string::npos; }))
      << tooltipText();
}

TEST_P(PanelLook, HostChangesRepaintTheControls) {
  const PanelPoint program = stripPoint(0, StripControl::Program);
  auto dialPixels = [&] { return windowPixels(panel, program.x - 11, program.y - 6, program.x + 11, program.y + 6); };
  ASSERT_TRUE(within(20, [&] { return !dialPixels().empty(); }));
  const std::vector<Rgb> before = dialPixels();
  host.setParameter(24, 100 / 128.f);
  EXPECT_TRUE(within(10, [&] { return dialPixels() != before; })) << "a host change is shown";
  const std::vector<Rgb> changed = dialPixels();

  host.setProgram(1);
  EXPECT_TRUE(within(10, [&] { return dialPixels() == before; })) << "the next preset's program 0 is shown";
  host.setProgram(0);
  EXPECT_TRUE(within(10, [&] { return dialPixels() == changed; }));
}

TEST_P(PanelLookInUse, LogoHidesAndComesBack) {
  const unsigned long logo = childAt(10, 10, 50, 88);
  ASSERT_NE(logo, 0u);
  ASSERT_TRUE(windowState(logo).viewable);
  const int whiteUnder = pixelsIn(kWhite, 10, 10, 60, 98);
  click(kLogo);
  EXPECT_TRUE(within(20, [&] { return !windowState(logo).mapped; }));
  // The product's name and the maker's line lie beneath.
  EXPECT_TRUE(within(20, [&] { return pixelsIn(kWhite, 16, 10, 28, 98) > 10; }));
  EXPECT_NE(pixelsIn(kWhite, 10, 10, 60, 98), whiteUnder);
  click(kLogo);
  EXPECT_TRUE(within(20, [&] { return windowState(logo).viewable; }));
}

TEST_P(PanelLook, DelayDialCountsDownInOrange) {
  host.setParameter(5, 1.f);
  host.setParameter(6, 1 / 999.f);
  auto orange = [&] { return pixelsIn(kOrange, 27, 209, 49, 223); };
  ASSERT_TRUE(within(10, [&] { return orange() == 0; }));
  host.setProgram(1);
  EXPECT_TRUE(within(20, [&] { return orange() > 0; })) << "no count shown";
  // The second of the delay, and some.
  EXPECT_TRUE(within(80, [&] { return orange() == 0; })) << "the dial stays orange after the send";
  EXPECT_EQ(host.getParameter(6), 1 / 999.f);
}

// While the strips wait after the SysEx init, the settle dial counts down what is left, in the host's audio
// frames, and shows its own value again once they are sent.
TEST_P(PanelLook, SettleDialCountsDownWhileTheStripsWait) {
  VSTPluginProgramExtension extension = extensionInUse();
  extension.settleMs = 1000;
  loadPreset(presetWithStrips({0}), &extension);
  auto dial = [&] { return windowPixels(panel, 17, 301, 57, 315); };
  auto orange = [&] { return pixelsIn(kOrange, 17, 301, 57, 315); };
  ASSERT_TRUE(within(10, [&] { return orange() == 0 && pixelsIn(kWhite, 17, 301, 57, 315) > 0; }));
  const std::vector<Rgb> idle = dial();
  host.mainsChanged(true);
  host.setParameter(0, 1.f);
  host.setParameter(0, 0.f);
  host.processBlock();
  EXPECT_TRUE(within(20, [&] { return orange() > 0; })) << "no count shown";
  const std::vector<Rgb> counting = dial();
  // 44100 frames make the second: the strips go out in the 87th block of 512.
  for (int block = 0; block < 40; ++block) host.processBlock();
  EXPECT_TRUE(within(20, [&] { return dial() != counting && orange() > 0; })) << "the count does not go on";
  host.clearEvents();
  for (int block = 0; block < 46; ++block) host.processBlock();
  EXPECT_TRUE(within(20, [&] { return dial() == idle; })) << "the dial stays orange after the send";
  const std::vector<ReceivedEvent> sent = host.takeEvents();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front().bytes()[0], 0xB0) << "the strip, Reset All Controllers first";
}

// The panel painted across the width of that many strips: the frame, the body under the sound band and
// every column's label.
bool drawnWhole(unsigned long panel, int strips) {
  const int width = 25 * strips + 120;
  const int bodyRow = kEditorHeight - 14;
  auto count = [&](const Rgb& colour, int left, int top, int right, int bottom) {
    return pixelsOfColour(panel, colour.red, colour.green, colour.blue, left, top, right, bottom);
  };
  if (count(kBlue, 0, 0, width, 1) != width) return false;
  if (count(kBlue, 0, kEditorHeight - 1, width, kEditorHeight) != width) return false;
  if (count(kBody, 12, bodyRow, width - 12, bodyRow + 1) != width - 24) return false;
  for (int column = 0; column < strips; ++column)
    if (count(kWhite, 101 + 25 * column, 16, 125 + 25 * column, 88) <= 10) return false;
  return true;
}

std::vector<int> firstStrips(int count) {
  std::vector<int> order;
  for (int r = 0; r < count; ++r) order.push_back(r);
  return order;
}

// Hosts restore a project with the editor open, from a thread of theirs, and may do it again before the
// editor has caught up: whatever the order in which the editor thread, the host's window and the server
// see the changes, each bank ends with the panel at its size and painted across its whole width.
TEST_P(PanelLook, BanksLoadedWhileOpenEndDrawnWholeAtTheirSize) {
  std::vector<uint8_t> bank = host.getChunk(false);
  ASSERT_GE(bank.size(), sizeof(VSTPluginProgram) * kProgramCount);
  ASSERT_EQ(host.dispatch(effGetProgram), 0);
  auto load = [&](int strips) {
    const VSTPluginProgram preset = presetWithStrips(firstStrips(strips));
    std::memcpy(bank.data(), &preset, sizeof(preset));
    return host.setChunk(bank, false);
  };
  // The test's thread is the host's, not the editor thread.
  for (int round = 0; round < 20; ++round) {
    const int strips = round % 2 ? 1 : kStripCount;
    // Now and then a bank comes before the editor has laid out the one before.
    if (round % 4 == 3) {
      ASSERT_EQ(load(8), 1);
    }
    ASSERT_EQ(load(strips), 1);
    ASSERT_TRUE(within(40, [&] { return sizedFor(strips); })) << "round " << round << ": " << panelWidth();
    EXPECT_TRUE(within(40, [&] { return drawnWhole(panel, strips); })) << "round " << round << ": " << strips;
  }
}

// What the server says of a size may reach the panel after it took a newer one (a bank loaded before the
// editor had the events of the one before): the word on the earlier size, exposures of a picture that the
// resize lost, then the word on the size it has.
TEST_P(PanelLookInUse, SizeReportedLateStillEndsDrawnWhole) {
  loadPreset(presetWithStrips(firstStrips(kStripCount)));
  const int width = 25 * kStripCount + 120;
  ASSERT_TRUE(within(20, [&] { return drawnWhole(panel, kStripCount); }));
  Display* display = reinterpret_cast<Display*>(editor->displayValue());
  auto configured = [&](int newWidth) {
    XEvent event{};
    event.xconfigure.type = ConfigureNotify;
    event.xconfigure.display = display;
    event.xconfigure.event = event.xconfigure.window = panel;
    event.xconfigure.width = newWidth;
    event.xconfigure.height = kEditorHeight;
    return event;
  };
  XEvent exposed{};
  exposed.xexpose.type = Expose;
  exposed.xexpose.display = display;
  exposed.xexpose.window = panel;
  exposed.xexpose.width = width;
  exposed.xexpose.height = kEditorHeight;
  scribble(panel, 0, 0, 0);
  deliver({configured(kEditorWidth), exposed, configured(width)});
  EXPECT_TRUE(within(20, [&] { return drawnWhole(panel, kStripCount); }));
}

TEST_P(PanelLook, ReopenedPanelShowsTheSamePixels) {
  const VSTPluginProgramExtension extension = extensionInUse();
  loadPreset(presetWithStrips({0, 3, 1, 2}), &extension);
  const int width = 25 * 4 + 120;
  auto picture = [&] { return windowPixels(panel, 0, 0, width, kEditorHeight); };
  ASSERT_TRUE(within(20, [&] { return pixelAt(panel, width / 2, 0) == kBlue; }));
  const std::vector<Rgb> before = picture();
  editor->close();
  ASSERT_EQ(openAndEmbed(), panel);
  ASSERT_TRUE(within(40, [&] { return sizedFor(4); }));
  EXPECT_TRUE(within(40, [&] { return picture() == before; }));
}

TEST_P(PanelLook, ManyOpenAndCloseCyclesLeaveNothingBehind) {
  loadPreset(presetWithStrips({0, 1, 2, 3}));
  const unsigned long client = clientOf(panel);
  auto windows = [client] { return windowsByClient()[client]; };
  editor->close();
  const int windowsBefore = windows();
  const int threadsBefore = threadCount();
  for (int cycle = 0; cycle < 200; ++cycle) {
    ASSERT_EQ(editor->open(), 1);
    settle();
    ASSERT_TRUE(editor->isOpen());
    editor->close();
  }
  EXPECT_EQ(windows(), windowsBefore);
  EXPECT_EQ(threadCount(), threadsBefore);
  ASSERT_EQ(openAndEmbed(), panel);
  EXPECT_TRUE(within(20, [&] { return sizedFor(4); }));
}

INSTANTIATE_TEST_SUITE_P(Modes, PanelLook,
                         testing::Values(EditorWindow::Mode::HostDisplay, EditorWindow::Mode::NoDisplay),
                         modeName);
INSTANTIATE_TEST_SUITE_P(HostLoop, PanelLookInUse, testing::Values(EditorWindow::Mode::HostDisplay), modeName);

}  // namespace
}  // namespace editortest
