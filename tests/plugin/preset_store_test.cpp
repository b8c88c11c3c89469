// The preset store keeps 128 named presets and maps every parameter index to
// a field of the current preset with the right scale, rounding and
// notification, writing the global options into all presets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "PluginHarness.h"
#include "editor/SPluginEditor.h"

namespace {

class PresetStore : public ::testing::Test {
 protected:
  PluginHarness host;
  HostedPlugin<> plugin = MakePlugin();

  void OpenEditorAndSettle() {
    int window = 1;
    plugin.dispatcher(effEditOpen, 0, 0, &window, 0);
    plugin->PluginEditor()->idle();  // takes the full refresh that open posts
  }
};

TEST_F(PresetStore, NamesSelectionAndRenaming) {
  char name[64];
  ASSERT_TRUE(plugin->getProgramNameIndexed(0, 0, name));
  EXPECT_STREQ("001 - empty preset", name);
  ASSERT_TRUE(plugin->getProgramNameIndexed(0, 127, name));
  EXPECT_STREQ("128 - empty preset", name);
  std::strcpy(name, "untouched");
  EXPECT_FALSE(plugin->getProgramNameIndexed(0, 128, name));
  EXPECT_FALSE(plugin->getProgramNameIndexed(0, -1, name));
  EXPECT_STREQ("untouched", name);

  plugin.dispatcher(effSetProgram, 0, 128, nullptr, 0);
  plugin.dispatcher(effSetProgram, 0, -1, nullptr, 0);
  EXPECT_EQ(0, plugin->getProgram());
  plugin.dispatcher(effSetProgram, 0, 41, nullptr, 0);
  EXPECT_EQ(41, plugin.dispatcher(effGetProgram, 0, 0, nullptr, 0));

  // A long name is stored cut to 47 characters; the host's own text is not written to.
  std::string longName(60, 'x');
  longName[50] = 'y';
  std::string hostText = longName;
  plugin->setProgramName(hostText.data());
  EXPECT_EQ(longName, hostText);
  plugin->getProgramName(name);
  EXPECT_EQ(std::string(47, 'x'), name);
}

TEST_F(PresetStore, StripValuesScaleAndRound) {
  plugin->setParameter(VSTPlugin::kStripChannel, 0.02f);  // 0.32 rounds to 0: the strip falls silent
  EXPECT_EQ(0, plugin->CurrentProgram().strips[0].channel);
  plugin->setParameter(VSTPlugin::kStripChannel + 3, 3 / 16.f);
  EXPECT_EQ(3, plugin->CurrentProgram().strips[3].channel);
  EXPECT_FLOAT_EQ(3 / 16.f, plugin->getParameter(VSTPlugin::kStripChannel + 3));
  plugin->setParameter(VSTPlugin::kStripProgram, 1.f);
  EXPECT_EQ(128, plugin->CurrentProgram().strips[0].program);
  plugin->setParameter(VSTPlugin::kStripVolume + 15, 101 / 128.f);
  EXPECT_EQ(101, plugin->CurrentProgram().strips[15].volume);
  plugin->setParameter(VSTPlugin::kStripBankLsb + 2, 0.5f / 128.f);  // a tie rounds to even: 0
  EXPECT_EQ(0, plugin->CurrentProgram().strips[2].bankLsb);
  plugin->setParameter(VSTPlugin::kStripBankLsb + 2, 1.5f / 128.f);  // and 2 here
  EXPECT_EQ(2, plugin->CurrentProgram().strips[2].bankLsb);
  plugin->setParameter(VSTPlugin::kStripSwap + 4, 0.9f);
  EXPECT_EQ(1, plugin->CurrentProgram().strips[4].swapBankOrder);
  EXPECT_EQ(1.f, plugin->getParameter(VSTPlugin::kStripSwap + 4));
}

TEST_F(PresetStore, OutOfRangeValuesAndIndexesChangeNothing) {
  const VSTPluginProgram before = plugin->CurrentProgram();
  for (float bad : {-0.1f, 1.5f, std::nanf("")}) {
    plugin->setParameter(VSTPlugin::kMidiThru, bad);
    plugin->setParameter(VSTPlugin::kStripChannel, bad);
    plugin->setParameter(VSTPlugin::kInitDelay, bad);
  }
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 2.f);
  plugin->setParameter(110, 1.f);
  plugin->setParameter(-5, 1.f);
  EXPECT_EQ(0, std::memcmp(&before, &plugin->CurrentProgram(), sizeof(before)));
  EXPECT_EQ(0.f, plugin->getParameter(110));
  EXPECT_EQ(0.f, plugin->getParameter(1000));
}

TEST_F(PresetStore, GlobalOptionsReachEveryPreset) {
  plugin->setParameter(VSTPlugin::kInitDelay, 1.f);
  plugin->setParameter(VSTPlugin::kChangeDelay, 7 / 999.f);
  plugin->setParameter(VSTPlugin::kPresetSwitching, 1.f);
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 1.f);
  for (int n = 0; n < kProgramCount; ++n) {
    EXPECT_EQ(999, plugin->Program(n).initDelay);
    EXPECT_EQ(7, plugin->Program(n).changeDelay);
    EXPECT_EQ(1, plugin->Program(n).presetSwitching);
    EXPECT_EQ(1, plugin->Program(n).bankSelectFirst);
  }
  EXPECT_FLOAT_EQ(1.f, plugin->getParameter(VSTPlugin::kInitDelay));
  // MIDI thru belongs to the one preset.
  plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  EXPECT_EQ(1, plugin->Program(0).midiThru);
  EXPECT_EQ(0, plugin->Program(1).midiThru);
  plugin->setProgram(40);
  EXPECT_EQ(1.f, plugin->getParameter(VSTPlugin::kBankSelectFirst));
}

TEST_F(PresetStore, NamesAndDisplaysForTheHost) {
  char text[64];
  plugin->getParameterName(0, text);
  EXPECT_STREQ("AC: Resend", text);
  plugin->getParameterName(1, text);
  EXPECT_STREQ("OP: Thru", text);
  plugin->getParameterName(5, text);
  EXPECT_STREQ("", text);
  plugin->getParameterDisplay(1, text);
  EXPECT_STREQ("Off", text);
  plugin->setParameter(1, 1.f);
  plugin->getParameterDisplay(1, text);
  EXPECT_STREQ("On", text);
  plugin->getParameterLabel(1, text);
  EXPECT_STREQ("", text);
}

TEST_F(PresetStore, EditorHearsOnlyOfRealChangesWhileOpen) {
  SPluginEditor& editor = *plugin->PluginEditor();
  plugin->setParameter(VSTPlugin::kStripProgram + 6, 0.5f);
  EXPECT_FALSE(editor.IsIndexPending(VSTPlugin::kStripProgram + 6)) << "closed editors are not told";

  OpenEditorAndSettle();
  plugin->setParameter(VSTPlugin::kInitSend, 0.f);  // already off: no notification
  EXPECT_FALSE(editor.IsIndexPending(VSTPlugin::kInitSend));
  plugin->setParameter(VSTPlugin::kStripProgram + 6, 0.5f);  // unchanged numeric values still notify
  EXPECT_TRUE(editor.IsIndexPending(VSTPlugin::kStripProgram + 6));
  plugin->setParameter(VSTPlugin::kResend, 1.f);  // resend never notifies
  EXPECT_FALSE(editor.IsIndexPending(VSTPlugin::kResend));

  // A full refresh posted with indexed ones wins, and leaves nothing for the next pass.
  plugin->setProgram(3);
  EXPECT_TRUE(editor.IsUpdatePending());
  editor.idle();
  EXPECT_FALSE(editor.IsUpdatePending());
  EXPECT_FALSE(editor.IsIndexPending(VSTPlugin::kStripProgram + 6));
  plugin.dispatcher(effEditClose, 0, 0, nullptr, 0);
}

TEST_F(PresetStore, CopyAndPasteCarryStripsAndGlobalOptions) {
  plugin->pasteSelProgram();  // nothing copied yet
  EXPECT_EQ(0, plugin->CurrentProgram().initSend);

  plugin->setParameter(VSTPlugin::kStripChannel + 1, 5 / 16.f);
  plugin->setParameter(VSTPlugin::kInitSend, 1.f);
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 1.f);
  plugin->setParameter(VSTPlugin::kMidiThru, 1.f);
  plugin->copySelProgram();
  plugin->setParameter(VSTPlugin::kInitSend, 0.f);
  plugin->setParameter(VSTPlugin::kBankSelectFirst, 0.f);

  plugin->setProgram(9);
  plugin->pasteSelProgram();
  const VSTPluginProgram& pasted = plugin->CurrentProgram();
  EXPECT_STREQ("010 - empty preset", pasted.name);
  EXPECT_EQ(5, pasted.strips[1].channel);
  EXPECT_EQ(1, pasted.midiThru);
  for (int n = 0; n < kProgramCount; ++n) {
    EXPECT_EQ(1, plugin->Program(n).initSend) << n;
    EXPECT_EQ(1, plugin->Program(n).bankSelectFirst) << n;
  }
  EXPECT_EQ(0, plugin->Program(8).strips[1].channel);
}

}  // namespace
