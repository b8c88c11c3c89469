// The band under the strips names, without the pointer anywhere near, the sound each strip's values select
// on its device and the device; a strip without a device shows nothing there. The whole name is in the
// tooltip of its place, and the tooltip switch tells what it does, both while the tips are off. The band
// follows the device, the host's changes and the user's dials.
#include <cstring>
#include <string>
#include <vector>

#include "PanelTest.h"

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
  EXPECT_EQ(pixelsIn(kBlack, 126, kPlaceTop, 150, kPlaceBottom), 24 * (kPlaceBottom - kPlaceTop))
      << "nothing for a strip without a device";
  // The long name fills its place, shortened: it neither runs out of it nor is the whole drawn.
  const std::vector<Rgb> strings = placePixels(panel, 2);
  EXPECT_GT(whiteRows(strings), 100);
  EXPECT_LT(whiteRows(strings), kPlaceBottom - kPlaceTop - 2);

  // The whole name is in the tip of its place, and the switch leaves that tip on.
  moveTo(placePoint(2));
  EXPECT_TRUE(within(20, [&] {
    return tooltipText() == "Sound: Warm Strings (bank Preset A assumed) (Alpha 1)";
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

INSTANTIATE_TEST_SUITE_P(HostLoop, PanelSoundBand, testing::Values(EditorWindow::Mode::HostDisplay),
                         modeName);

}  // namespace
}  // namespace editortest
