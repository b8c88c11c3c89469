// The CLAP plug-in as hosts drive it: a bank the bank tool wrote, restored as the host's state, sends its
// SysEx at once and its strips when the module has settled, at any block size; thru keeps a note's frame;
// the parameters act and tell the host what the plug-in changed itself; the state is the bank chunk
// through streams of any piece size and refuses what no bank is; the editor opens into the host's window
// and closes again without leaving anything; and a block neither allocates nor locks.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <fstream>

#include "CallCounter.h"
#include "EditorTest.h"
#include "host/VstHost.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/host/HostRun.h"
#include "preset/VSTPluginProgram.h"
#include "tests/support/GsResetPreset.h"

namespace {

using claptest::Bytes;
using claptest::ClapInstance;
using claptest::ClapModule;
using claptest::ParamChange;
using claptest::TimedMidi;

// Engine parameters keep their VST 2 index as id.
constexpr clap_id kResendId = 0;
constexpr clap_id kThruId = 1;
constexpr clap_id kPresetId = 0x1000;

ClapModule* module = nullptr;

class ClapPlugin : public testing::Test {
 protected:
  static void SetUpTestSuite() { module = new ClapModule(VANTORINE_CLAP_PATH); }
  static void TearDownTestSuite() {
    delete module;
    module = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(module->ok()) << VANTORINE_CLAP_PATH;
    plugin = std::make_unique<ClapInstance>(*module);
    ASSERT_TRUE(plugin->ok());
  }
  std::unique_ptr<ClapInstance> plugin;
};

std::string TempFolder() {
  return testing::TempDir();
}

TEST_F(ClapPlugin, ABankFromTheBankToolSendsTheResetAtOnceAndTheStripsWhenTheModuleHasSettled) {
  const std::string folder = TempFolder();
  {
    std::ofstream text(folder + "rig.toml");
    text << "[options]\ninit_send = true\ninit_delay = 0\n\n"
            "[[preset]]\nnumber = 1\nname = \"GS rig\"\nsysex = [\"GS Reset\"]\nsettle = 100\n\n"
            "[[preset.strip]]\nchannel = 1\nprogram = 48\nvolume = 100\n\n"
            "[[preset.strip]]\nchannel = 10\nprogram = 16\nbank_msb = 0\n";
  }
  const hostrun::HostRun bank =
      hostrun::runHost(VANTORINE_BANK_PATH, {"from-text", folder + "rig.toml", "-o", folder + "rig.chunk"}, folder);
  ASSERT_EQ(0, bank.exitCode) << bank.err;
  // 100 ms at 48 kHz: frame 4800, block 75 of 64 frames, frame 704 of block 4 of 1024.
  const std::string expected =
      "0\tSysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)\n"
      "4800\tC0 30  ch 1 Program Change 48\n"
      "4800\tB0 07 64  ch 1 Control Change 7 = 100\n"
      "4800\tC9 10  ch 10 Program Change 16\n"
      "4800\tB9 00 00  ch 10 Control Change 0 = 0\n";
  for (const char* block : {"64", "1024"}) {
    const hostrun::HostRun run =
        hostrun::runHost(CLAP_RUN_PATH, {VANTORINE_CLAP_PATH, folder + "rig.chunk", block, "300"}, folder);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ(expected, run.out) << block << "-frame blocks";
  }
}

TEST_F(ClapPlugin, ThruPassesANoteAtItsFrameAndTheHostLearnsOfAPresetAProgramChangeChose) {
  Bytes bank = testsupport::GsResetBankChunk();
  auto* presets = reinterpret_cast<VSTPluginProgram*>(bank.data());
  for (int n = 0; n < kProgramCount; ++n) presets[n].presetSwitching = 1;
  ASSERT_TRUE(plugin->activate());
  ASSERT_TRUE(plugin->loadState(bank, 4096));
  EXPECT_EQ(1, plugin->valueRescans());
  plugin->process(64);
  EXPECT_TRUE(plugin->process(64, {{3, {0x90, 60, 100}}}).empty()) << "thru starts off";
  EXPECT_EQ((std::vector<TimedMidi>{{5, {0x90, 60, 100}}, {9, {0x80, 60, 0}}}),
            plugin->process(64, {{5, {0x90, 60, 100}}, {9, {0x80, 60, 0}}}, {{kThruId, 1}}));
  EXPECT_TRUE(plugin->paramsOut().empty()) << "what the host set needs no echo";
  double value = 0;
  ASSERT_TRUE(plugin->params()->get_value(plugin->clap(), kThruId, &value));
  EXPECT_EQ(1, value);
  // Preset 4, chosen by a Program Change coming in, has thru off: the host learns of both.
  plugin->process(64, {{0, {0xC0, 3}}});
  EXPECT_EQ((std::vector<ParamChange>{{kThruId, 0}, {kPresetId, 4}}), plugin->paramsOut());
  plugin->process(64);
  EXPECT_TRUE(plugin->paramsOut().empty());
}

TEST_F(ClapPlugin, TheParametersAreTheEngineSwitchesAndTheStepppedPreset) {
  const clap_plugin_params_t* params = plugin->params();
  ASSERT_NE(nullptr, params);
  ASSERT_EQ(3u, params->count(plugin->clap()));
  std::vector<std::string> names;
  for (uint32_t i = 0; i < 3; ++i) {
    clap_param_info_t info;
    ASSERT_TRUE(params->get_info(plugin->clap(), i, &info));
    names.push_back(info.name);
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_STEPPED);
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
    EXPECT_EQ(i == 2 ? 128 : 1, info.max_value);
    EXPECT_EQ(i == 2 ? 1 : 0, info.min_value);
  }
  EXPECT_EQ((std::vector<std::string>{"AC: Resend", "OP: Thru", "Preset"}), names);
  char text[64];
  ASSERT_TRUE(params->value_to_text(plugin->clap(), kPresetId, 17, text, sizeof(text)));
  EXPECT_STREQ("17", text);
  double value = 0;
  ASSERT_TRUE(params->text_to_value(plugin->clap(), kThruId, "On", &value));
  EXPECT_EQ(1, value);
  // While not processing, the host sets values through a flush.
  EXPECT_TRUE(plugin->flush({{kPresetId, 9}, {kThruId, 1}}).empty());
  ASSERT_TRUE(params->get_value(plugin->clap(), kPresetId, &value));
  EXPECT_EQ(9, value);
}

TEST_F(ClapPlugin, TheStateIsTheVstBankChunkInAnyPieceSizeAndABrokenOneChangesNothing) {
  VstHost vst;
  ASSERT_TRUE(vst.load(VANTORINE_PLUGIN_PATH)) << vst.error();
  ASSERT_EQ(1, vst.setChunk(testsupport::GsResetBankChunk(), false));
  vst.setParameter(1, 1.f);
  const Bytes vstBank = vst.getChunk(false);

  ASSERT_TRUE(plugin->loadState(vstBank, 7));
  for (size_t piece : {1u, 7u, 4096u}) {
    Bytes saved;
    ASSERT_TRUE(plugin->saveState(saved, piece)) << piece;
    EXPECT_EQ(vstBank, saved) << piece << "-byte pieces";
    ClapInstance other(*module);
    ASSERT_TRUE(other.loadState(saved, piece));
    Bytes again;
    ASSERT_TRUE(other.saveState(again, 4096));
    EXPECT_EQ(vstBank, again) << piece << "-byte pieces";
  }
  EXPECT_FALSE(plugin->loadState(Bytes(vstBank.begin(), vstBank.end() - 1), 4096));
  EXPECT_FALSE(plugin->loadState({}, 4096));
  EXPECT_FALSE(plugin->loadState(Bytes(9 * 1024 * 1024, 0), 1 << 20)) << "longer than any bank";
  Bytes after;
  ASSERT_TRUE(plugin->saveState(after, 4096));
  EXPECT_EQ(vstBank, after);
}

TEST_F(ClapPlugin, TheEditorOpensInTheHostsWindowAndClosesFiftyTimesLeavingNothing) {
  Display* display = editortest::testDisplay();
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 500, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);
  ASSERT_TRUE(plugin->openEditor(parent));
  EXPECT_EQ(1u, plugin->timerCount());
  plugin->fireTimers();
  plugin->closeEditor();
  const auto windows = editortest::windowsByClient();
  const int threads = editortest::threadCount();
  for (int round = 0; round < 50; ++round) {
    ASSERT_TRUE(plugin->openEditor(parent)) << round;
    plugin->fireTimers();
    plugin->fireTimers();
    plugin->closeEditor();
    EXPECT_EQ(0u, plugin->timerCount());
  }
  EXPECT_EQ(windows, editortest::windowsByClient());
  EXPECT_EQ(threads, editortest::threadCount());
  EXPECT_EQ(0, plugin->offMainThreadCalls());
  XDestroyWindow(display, parent);
  XSync(display, False);
}

TEST_F(ClapPlugin, ABlockNeitherAllocatesNorLocks) {
#if !VANTORINE_COUNT_CALLS
  GTEST_SKIP() << "sanitizers own the allocator";
#else
  ASSERT_TRUE(plugin->activate());
  ASSERT_TRUE(plugin->loadState(testsupport::GsResetBankChunk(), 4096));
  plugin->process(256);
  const std::vector<TimedMidi> played = {{1, {0x90, 60, 100}}, {2, {0xB0, 7, 1}}, {3, {0x80, 60, 0}}, {4, {0xC0, 9}}};
  const int allocationsBefore = callcount::Allocations(), locksBefore = callcount::MutexLocks();
  plugin->countCallsInProcess(true);
  for (int block = 0; block < 40; ++block)
    plugin->process(256, played,
                    {{kThruId, block % 4 < 2 ? 1.0 : 0.0}, {kResendId, block % 2 * 1.0}, {kPresetId, 1.0 + block % 7}});
  plugin->countCallsInProcess(false);
  EXPECT_EQ(allocationsBefore, callcount::Allocations());
  EXPECT_EQ(locksBefore, callcount::MutexLocks());
#endif
}

}  // namespace
