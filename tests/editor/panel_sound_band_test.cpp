// The band under the strips names, without the pointer anywhere near, the sound each strip's values select
// on its device and the device; a strip without a device shows only a dim hint there. The whole name is in
// the tooltip of its place, and the tooltip switch tells what it does, both while the tips are off. The band
// follows the device, the host's changes and the user's dials, and a click on a place opens the browser.
#include "PanelTest.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "preset/PresetBytes.h"

namespace editortest {
namespace {

using PanelSoundBand = PanelTest;

// A column's place in the band.
constexpr int kPlaceTop = 312;
constexpr int kPlaceBottom = 442;
constexpr int kProgramOfStrip0 = 24;

PanelPoint placePoint(int column) {
  return {113 + 25 * column, (kPlaceTop + kPlaceBottom) / 2};
}

VSTPluginProgramExtension withDevices(const char* strip0, const char* strip2) {
  VSTPluginProgramExtension extension;
  InitProgramExtension(extension);
  std::strcpy(extension.devices[0], strip0);
  std::strcpy(extension.devices[2], strip2);
  return extension;
}

std::vector<Rgb> placePixels(unsigned long panel, int column) {
  return windowPixels(panel, 101 + 25 * column, kPlaceTop, 125 + 25 * column, kPlaceBottom);
}

// The rows of a place that its white text reaches, counted from the place's top.
int whiteRows(const std::vector<Rgb>& place) {
  int first = -1, last = -1;
  for (size_t i = 0; i < place.size(); ++i) {
    if (!(place[i] == kWhite)) continue;
    const int row = static_cast<int>(i) / 24;
    if (first < 0) first = row;
    last = row;
  }
  return first < 0 ? 0 : last - first + 1;
}

TEST_P(PanelSoundBand, NamesEachStripsSoundWithoutThePointer) {
  // Strip 0 plays General MIDI's Brush kit on channel 10, strip 1 has no device, strip 2 plays Alpha 1's
  // Warm Strings without the Bank Select its bank needs: a name too long for the band.
  VSTPluginProgram preset = presetWithStrips({0, 1, 2});
  preset.strips[0].channel = 10;
  preset.strips[0].program = 41;
  preset.strips[2].channel = 1;
  preset.strips[2].program = 1;
  const VSTPluginProgramExtension extension = withDevices("General MIDI", "Alpha 1");
  loadPreset(preset, &extension);

  ASSERT_FALSE(placePixels(panel, 0).empty());
  EXPECT_GT(pixelsIn(kWhite, 101, kPlaceTop, 125, kPlaceBottom), 20) << "the sound's name";
  EXPECT_GT(pixelsIn(kGrey, 101, kPlaceTop, 125, kPlaceBottom), 5) << "the device's";
  EXPECT_EQ(pixelsIn(kWhite, 126, kPlaceTop, 150, kPlaceBottom), 0) << "no name for a strip without a device";
  EXPECT_EQ(pixelsIn(kGrey, 126, kPlaceTop, 150, kPlaceBottom), 0);
  // The long name fills its place, shortened: it neither runs out of it nor is the whole drawn.
  const std::vector<Rgb> strings = placePixels(panel, 2);
  EXPECT_GT(whiteRows(strings), 100);
  EXPECT_LT(whiteRows(strings), kPlaceBottom - kPlaceTop - 2);

  // The whole name is in the tip of its place, and the switch leaves that tip on.
  moveTo(placePoint(2));
  EXPECT_TRUE(within(20, [&] {
    return tooltipText() == "Sound: Warm Strings (bank Preset A assumed) (Alpha 1) (click: sound browser)";
  })) << tooltipText();
  moveTo(kMidiThru);
  EXPECT_FALSE(within(5, [&] { return pluginTopLevel(0, 0) != 0; })) << "the controls' tips are off";
}

TEST_P(PanelSoundBand, FollowsTheDeviceTheHostAndTheDials) {
  VSTPluginProgram preset = presetWithStrips({0, 1, 2});
  preset.strips[0].channel = 1;
  preset.strips[0].program = 1;
  VSTPluginProgramExtension extension = withDevices("General MIDI", "");
  loadPreset(preset, &extension);
  const std::vector<Rgb> generalMidi = placePixels(panel, 0);
  ASSERT_GT(pixelsIn(kWhite, 101, kPlaceTop, 125, kPlaceBottom), 20);

  // The same numbers on another device.
  extension = withDevices("Alpha 1", "");
  loadPreset(preset, &extension);
  const std::vector<Rgb> alpha = placePixels(panel, 0);
  ASSERT_GT(pixelsIn(kWhite, 101, kPlaceTop, 125, kPlaceBottom), 20);
  EXPECT_FALSE(alpha == generalMidi) << "two devices, one picture";

  // The host sets another program, then the first again.
  host.setParameter(kProgramOfStrip0, 2 / 128.f);
  EXPECT_TRUE(within(20, [&] { return !(placePixels(panel, 0) == alpha); }));
  host.setParameter(kProgramOfStrip0, 1 / 128.f);
  EXPECT_TRUE(within(20, [&] { return placePixels(panel, 0) == alpha; }));

  // The wheel on the program dial, a notch up and back.
  turn(stripPoint(0, StripControl::Program), 1);
  EXPECT_TRUE(within(20, [&] { return !(placePixels(panel, 0) == alpha); }));
  turn(stripPoint(0, StripControl::Program), -1);
  EXPECT_TRUE(within(20, [&] { return placePixels(panel, 0) == alpha; }));
}

TEST_P(PanelSoundBand, TooltipSwitchTellsWhatItDoesWhileTheTipsAreOff) {
  moveTo(kTooltipSwitch);
  EXPECT_TRUE(within(20, [&] {
    return tooltipText() == "Tooltips: click to show or hide the tips of the panel's controls";
  })) << tooltipText();
  moveTo(editor->hostWindow(), 300, 300);
  EXPECT_TRUE(within(20, [&] { return pluginTopLevel(0, 0) == 0; }));
}

// What the plug-in sends in the next block, as hex bytes.
std::vector<std::string> sentInNextBlock(VstHost& host) {
  host.processBlock();
  std::vector<std::string> sent;
  for (const ReceivedEvent& event : host.takeEvents()) {
    char text[16];
    const uint8_t* bytes = event.bytes();
    std::snprintf(text, sizeof text, (bytes[0] & 0xF0) == 0xC0 ? "%02X %02X" : "%02X %02X %02X", bytes[0], bytes[1],
                  bytes[2]);
    sent.push_back(text);
  }
  return sent;
}

std::string windowName(unsigned long window) {
  char* name = nullptr;
  XFetchName(testDisplay(), window, &name);
  const std::string text = name ? name : "";
  if (name) XFree(name);
  return text;
}

// A click on a strip's place opens the browser beside the editor. Typing there finds a sound and sends it
// on the strip's channel at once, Return stores it; in a second visit a move sends the next sound and
// Escape sends the strip's own again and stores nothing.
TEST_P(PanelSoundBand, BrowserAuditionsTheSoundsMovedToAndStoresTheOneChosen) {
  VSTPluginProgram preset = presetWithStrips({0, 1});
  preset.bankSelectFirst = 1;
  preset.strips[1].channel = 2;
  preset.strips[1].program = 21;  // Plain Organ
  preset.strips[1].bankMsb = 0;
  preset.strips[1].bankLsb = 0;
  const VSTPluginProgramExtension extension = withDevices("", "");
  loadPreset(preset, &extension);
  host.mainsChanged(true);
  sentInNextBlock(host);

  click(placePoint(1));
  const unsigned long browser = pluginTopLevel(440, 400);
  ASSERT_NE(browser, 0u) << "no browser";
  char label[kLabelSize];
  LoadLabel(preset.strips[1], label);
  EXPECT_EQ(windowName(browser), std::string("Vantorine: strip 2 (") + label + ")");
  const WindowState opened = windowState(browser), editorWindow = windowState(editor->hostWindow());
  EXPECT_TRUE(opened.x >= editorWindow.x + editorWindow.width || opened.x + opened.width <= editorWindow.x)
      << "beside the editor, not over it";

  // No device yet: the device box has the keys.
  typeText("alpha1");
  pressKey(XK_Return);
  typeText("str warm");
  // Each letter moved to the first sound it finds; the last is Warm Strings of Preset A.
  const std::vector<std::string> typing = sentInNextBlock(host);
  ASSERT_GE(typing.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(typing.end() - 3, typing.end()),
            (std::vector<std::string>{"B1 00 51", "B1 20 00", "C1 00"}));
  pressKey(XK_Down);
  EXPECT_EQ(sentInNextBlock(host), (std::vector<std::string>{"B1 00 52", "C1 00"})) << "and of Preset B";
  pressKey(XK_Up);
  pressKey(XK_Return);
  EXPECT_TRUE(within(20, [&] { return pluginTopLevel(440, 400) == 0; })) << "Return closes it";
  EXPECT_EQ(LoadDevice(currentExtension(), 1), "Alpha 1");
  const VSTPluginStrip chosen = currentPreset().strips[1];
  EXPECT_EQ(chosen.program, 1);
  EXPECT_EQ(chosen.bankMsb, 82);
  EXPECT_EQ(chosen.bankLsb, 1);
  sentInNextBlock(host);

  click(placePoint(1));
  ASSERT_NE(pluginTopLevel(440, 400), 0u);
  pressKey(XK_Down);
  EXPECT_EQ(sentInNextBlock(host), (std::vector<std::string>{"B1 00 51", "B1 20 00", "C1 01"})) << "Glass Pad";
  pressKey(XK_Escape);
  EXPECT_EQ(sentInNextBlock(host), (std::vector<std::string>{"B1 00 51", "B1 20 00", "C1 00"}))
      << "the strip's own sound again";
  EXPECT_TRUE(within(20, [&] { return pluginTopLevel(440, 400) == 0; }));
  const VSTPluginStrip after = currentPreset().strips[1];
  EXPECT_EQ(std::memcmp(&after, &chosen, sizeof chosen), 0) << "nothing stored";
}

INSTANTIATE_TEST_SUITE_P(HostLoop, PanelSoundBand, testing::Values(EditorWindow::Mode::HostDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
