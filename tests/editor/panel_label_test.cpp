// A strip's label is edited in the panel's "Insert Text" dialog: a click on the label area opens it with
// the label selected; typing and Return store at most 11 characters, Escape and Cancel store nothing, and
// the panel ignores clicks while the dialog is open. Text copied in the dialog pastes in another X client
// that asks for the targets first, and the other way round. Shift and a click on the label choose the
// strip's device instead, by typing part of its name or maker (the tests see General MIDI and Testworks'
// Alpha 1 and Alpha 2).
#include "PanelTest.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>

#include "../textbox/ForeignClient.h"

namespace editortest {
namespace {

using PanelLabel = PanelTest;

TEST_P(PanelLabel, ReturnStoresTheTypedLabelCutToElevenCharacters) {
  loadPreset(presetWithStrips({0, 1}));
  const int updates = host.callbackCount(audioMasterUpdateDisplay);
  click(stripPoint(1, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; })) << "no 180 x 100 dialog opened";
  moveTo(dialog, 90, 44);
  // The label is selected: typing replaces it.
  typeText("Grand Piano Two");
  pressKey(XK_Return);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; })) << "Return closes the dialog";
  EXPECT_STREQ(currentPreset().strips[1].label, "Grand Piano");
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0");
  EXPECT_GT(host.callbackCount(audioMasterUpdateDisplay), updates) << "the host hears of the new label";
}

TEST_P(PanelLabel, EscapeAndCancelStoreNothing) {
  loadPreset(presetWithStrips({0, 1}));
  click(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  typeText("zzz");
  pressKey(XK_Escape);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0");

  click(stripPoint(0, StripControl::Label));
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  typeText("yyy");
  // Cancel sits at the dialog's lower left.
  clickIn(dialog, 45, 70);
  EXPECT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0");
}

TEST_P(PanelLabel, PanelIgnoresClicksWhileTheDialogIsOpen) {
  click(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  click(stripPoint(0, StripControl::StripButton));
  click(kMidiThru);
  EXPECT_EQ(currentPreset().stripCount, 1);
  EXPECT_EQ(host.getParameter(1), 0.f);
  clickIn(dialog, 45, 70);
  ASSERT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  click(kMidiThru);
  EXPECT_EQ(host.getParameter(1), 1.f) << "the panel works again once the dialog is closed";
}

TEST_P(PanelLabel, TextCopiedInTheDialogPastesInAnotherClientAndBack) {
  tovo::test::ForeignClient other;
  ASSERT_TRUE(other.Valid());
  click(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  typeText("Strings");
  pressKey(XK_a, true);
  pressKey(XK_c, true);
  settle();
  // As today's applications do: the list of targets first, then UTF-8 text.
  const std::vector<Atom> targets = other.Request("TARGETS").atoms;
  const Atom utf8 = other.Intern("UTF8_STRING");
  EXPECT_NE(std::find(targets.begin(), targets.end(), utf8), targets.end()) << "UTF8_STRING is offered";
  EXPECT_NE(std::find(targets.begin(), targets.end(), XA_STRING), targets.end()) << "STRING is offered";
  const tovo::test::ForeignClient::Answer text = other.Request("UTF8_STRING");
  EXPECT_EQ(text.type, utf8);
  EXPECT_EQ(text.bytes, "Strings");
  const tovo::test::ForeignClient::Answer image = other.Request("image/png");
  EXPECT_TRUE(image.notified);
  EXPECT_EQ(image.property, static_cast<Atom>(None)) << "a target that is not text is refused";
  pressKey(XK_Escape);
  ASSERT_TRUE(within(20, [&] { return labelDialog() == 0; }));

  ASSERT_TRUE(other.Own("Bass", "STRING"));
  click(stripPoint(0, StripControl::Label));
  ASSERT_TRUE(within(20, [&] { return (dialog = labelDialog()) != 0; }));
  moveTo(dialog, 90, 44);
  pressKey(XK_v, true);
  settle();
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return labelDialog() == 0; }));
  EXPECT_GT(other.RequestsAnswered(), 0);
  EXPECT_STREQ(currentPreset().strips[0].label, "Bass");
}

TEST_P(PanelLabel, ShiftClickChoosesTheStripsDeviceByPartOfItsName) {
  loadPreset(presetWithStrips({0, 1}));
  const int updates = host.callbackCount(audioMasterUpdateDisplay);
  shiftClick(stripPoint(0, StripControl::Label));
  unsigned long dialog = 0;
  ASSERT_TRUE(within(20, [&] { return (dialog = deviceDialog()) != 0; })) << "no 330 x 100 dialog opened";
  EXPECT_EQ(labelDialog(), 0u) << "Shift-click does not edit the label";
  moveTo(dialog, 165, 44);
  // Both Testworks models match: refused, the dialog stays for more typing.
  typeText("testworks");
  pressKey(XK_Return);
  settle();
  EXPECT_NE(deviceDialog(), 0u) << "two matches choose nothing";
  EXPECT_STREQ(currentExtension().devices[0], "");
  pressKey(XK_a, true);
  typeText("general");
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return deviceDialog() == 0; })) << "one match closes the dialog";
  EXPECT_STREQ(currentExtension().devices[0], "General MIDI");
  EXPECT_STREQ(currentPreset().strips[0].label, "Strip 0") << "the label stays";
  EXPECT_GT(host.callbackCount(audioMasterUpdateDisplay), updates) << "the host hears of the device";

  // Part of a name that only one model has is enough; the dialog opens on the strip's device, selected.
  shiftClick(stripPoint(1, StripControl::Label));
  ASSERT_TRUE(within(20, [&] { return (dialog = deviceDialog()) != 0; }));
  moveTo(dialog, 165, 44);
  typeText("a 2");
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return deviceDialog() == 0; }));
  EXPECT_STREQ(currentExtension().devices[1], "Alpha 2");
  EXPECT_STREQ(currentExtension().devices[0], "General MIDI");

  // No text is no device.
  shiftClick(stripPoint(0, StripControl::Label));
  ASSERT_TRUE(within(20, [&] { return (dialog = deviceDialog()) != 0; }));
  moveTo(dialog, 165, 44);
  pressKey(XK_BackSpace);
  pressKey(XK_Return);
  ASSERT_TRUE(within(20, [&] { return deviceDialog() == 0; }));
  EXPECT_STREQ(currentExtension().devices[0], "");
  EXPECT_STREQ(currentExtension().devices[1], "Alpha 2");
}

INSTANTIATE_TEST_SUITE_P(HostLoop, PanelLabel, testing::Values(EditorWindow::Mode::HostDisplay), modeName);

}  // namespace
}  // namespace editortest
