// The CLAP plug-in as hosts drive it: a bank the bank tool wrote, restored as the host's state, sends its
// SysEx at once and its strips when the module has settled, at any block size; thru keeps a note's frame;
// the parameters act and tell the host what the plug-in changed itself; the state is the bank chunk
// through streams of any piece size and refuses what no bank is; the editor opens into the host's window
// and closes again without leaving anything, and what is changed in it reaches the host; and a block
// neither allocates nor locks.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <thread>

#include "CallCounter.h"
#include "EditorTest.h"
#include "PanelTest.h"
#include "host/VstHost.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/host/HostRun.h"
#include "preset/VSTPluginProgram.h"
#include "tests/support/GsResetPreset.h"

namespace claptest {

void PrintTo(const ParamChange& change, std::ostream* out) {
  *out << "{id " << change.id << ", " << change.value << "}";
}

}  // namespace claptest

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
  // The state is the bank chunk; a bank file (.fxb) is taken for the chunk it carries.
  for (const char* file : {"rig.chunk", "rig.fxb"}) {
    const hostrun::HostRun bank =
        hostrun::runHost(VANTORINE_BANK_PATH, {"from-text", folder + "rig.toml", "-o", folder + file}, folder);
    ASSERT_EQ(0, bank.exitCode) << bank.err;
  }
  // The reset's 11 bytes are through the MIDI line at frame 169 of 48 kHz, and 100 ms (4800 frames) later
  // both strips go out together: frame 41 of block 77 of 64 frames, frame 873 of block 4 of 1024.
  const std::string strips = std::to_string(testsupport::GsResetToStripFrames(48000));
  ASSERT_EQ("4969", strips);
  const std::string expected =
      "0\tSysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)\n" +
      strips + "\tC0 30  ch 1 Program Change 48\n" +
      strips + "\tB0 07 64  ch 1 Control Change 7 = 100\n" +
      strips + "\tC9 10  ch 10 Program Change 16\n" +
      strips + "\tB9 00 00  ch 10 Control Change 0 = 0\n";
  // Without an X server: the plug-in opens no connection before an editor, so it has nothing to say.
  for (const char* file : {"rig.chunk", "rig.fxb"})
    for (const char* block : {"64", "1024"}) {
      const hostrun::HostRun run = hostrun::runHost(CLAP_RUN_PATH, {VANTORINE_CLAP_PATH, folder + file, block, "300"},
                                                    folder, "DISPLAY=':97'");
      ASSERT_EQ(0, run.exitCode) << run.err;
      EXPECT_EQ(expected, run.out) << file << ", " << block << "-frame blocks";
      EXPECT_EQ("", run.err);
    }
}

// At both block sizes, and the state stays the bank it was given while the blocks run.
TEST_F(ClapPlugin, ThruPassesANoteAtItsFrameAndTheHostLearnsOfAPresetAProgramChangeChose) {
  Bytes bank = testsupport::GsResetBankChunk();
  auto* presets = reinterpret_cast<VSTPluginProgram*>(bank.data());
  for (int n = 0; n < kProgramCount; ++n) presets[n].presetSwitching = 1;
  for (const uint32_t block : {64u, 1024u}) {
    SCOPED_TRACE(testing::Message() << block << "-frame blocks");
    plugin = std::make_unique<ClapInstance>(*module);
    ASSERT_TRUE(plugin->activate());
    ASSERT_TRUE(plugin->loadState(bank, 4096));
    EXPECT_EQ(1, plugin->valueRescans());
    plugin->process(block);
    EXPECT_TRUE(plugin->process(block, {{3, {0x90, 60, 100}}}).empty()) << "thru starts off";
    Bytes saved;
    ASSERT_TRUE(plugin->saveState(saved, 4096));
    EXPECT_EQ(bank, saved) << "the state saved is the state loaded";
    const uint32_t on = block - 59, off = block - 55;
    EXPECT_EQ((std::vector<TimedMidi>{{on, {0x90, 60, 100}}, {off, {0x80, 60, 0}}}),
              plugin->process(block, {{on, {0x90, 60, 100}}, {off, {0x80, 60, 0}}}, {{kThruId, 1}}));
    EXPECT_TRUE(plugin->paramsOut().empty()) << "what the host set needs no echo";
    double value = 0;
    ASSERT_TRUE(plugin->params()->get_value(plugin->clap(), kThruId, &value));
    EXPECT_EQ(1, value);
    // Preset 4, chosen by a Program Change coming in, has thru off: the host learns of both.
    plugin->process(block, {{0, {0xC0, 3}}});
    EXPECT_EQ((std::vector<ParamChange>{{kThruId, 0}, {kPresetId, 4}}), plugin->paramsOut());
    plugin->process(block);
    EXPECT_TRUE(plugin->paramsOut().empty());
  }
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
  // Off the thread the host calls its main thread, the state is neither loaded nor saved.
  bool loadedElsewhere = true, savedElsewhere = true;
  std::thread([&] {
    Bytes elsewhere;
    loadedElsewhere = plugin->loadState(testsupport::GsResetBankChunk(), 4096);
    savedElsewhere = plugin->saveState(elsewhere, 4096);
  }).join();
  EXPECT_FALSE(loadedElsewhere);
  EXPECT_FALSE(savedElsewhere);
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

// The real pointer, as the X server delivers it: the editor reads it on its own connection in the idle
// passes the host's timer gives it. A point of the panel, as the panel tests name them.
void PointerTo(Window panel, editortest::PanelPoint point) {
  Display* display = editortest::testDisplay();
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(display, panel, DefaultRootWindow(display), point.x, point.y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
  XSync(display, False);
}

void PressAndRelease(unsigned button) {
  Display* display = editortest::testDisplay();
  XTestFakeButtonEvent(display, button, True, CurrentTime);
  XTestFakeButtonEvent(display, button, False, CurrentTime);
  XSync(display, False);
}

// Host main-loop passes until the condition holds, a bounded number; then two more, in which nothing else
// may come.
bool IdleUntil(ClapInstance& plugin, const std::function<bool()>& condition) {
  for (int pass = 0; pass < 400 && !condition(); ++pass) {
    usleep(5000);
    plugin.idle();
  }
  plugin.idle();
  plugin.idle();
  return condition();
}

// A click on Thru is a parameter the host shows: it is told the new value, through the flush it is asked
// for, and that its project changed. A turn of a strip's program dial changes only the bank: the host is
// told that its project changed, and no parameter.
TEST_F(ClapPlugin, WhatTheEditorChangesReachesTheHost) {
  Display* display = editortest::testDisplay();
  int event = 0, error = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor)) << "the server has no XTEST";
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 500, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);
  ASSERT_TRUE(plugin->openEditor(parent));
  Window root = 0, parentOfParent = 0, *children = nullptr;
  unsigned childCount = 0;
  ASSERT_TRUE(XQueryTree(display, parent, &root, &parentOfParent, &children, &childCount));
  ASSERT_EQ(1u, childCount);
  const Window panel = children[0];
  XFree(children);
  for (int pass = 0; pass < 5; ++pass) plugin->idle();
  const int marksBefore = plugin->markDirtyCount(), flushesBefore = plugin->flushRequests();
  EXPECT_TRUE(plugin->hostLearned().empty()) << "opening the editor changes nothing";
  Bytes before;
  ASSERT_TRUE(plugin->saveState(before, 4096));

  PointerTo(panel, editortest::kMidiThru);
  PressAndRelease(1);
  EXPECT_TRUE(IdleUntil(*plugin, [&] { return !plugin->hostLearned().empty(); }))
      << "the host never learned of the Thru click";
  EXPECT_EQ((std::vector<ParamChange>{{kThruId, 1}}), plugin->hostLearned());
  EXPECT_EQ(flushesBefore + 1, plugin->flushRequests());
  EXPECT_EQ(marksBefore + 1, plugin->markDirtyCount());
  double value = 0;
  ASSERT_TRUE(plugin->params()->get_value(plugin->clap(), kThruId, &value));
  EXPECT_EQ(1, value);

  // The first strip's program dial (stripPoint(0, StripControl::Program) of the panel tests), one notch of
  // the wheel up.
  PointerTo(panel, {113, 117});
  PressAndRelease(4);
  EXPECT_TRUE(IdleUntil(*plugin, [&] { return plugin->markDirtyCount() == marksBefore + 2; }))
      << "the host never learned of the bank edit";
  EXPECT_EQ(marksBefore + 2, plugin->markDirtyCount());
  EXPECT_EQ(flushesBefore + 1, plugin->flushRequests()) << "no parameter the host shows changed";
  EXPECT_EQ(1u, plugin->hostLearned().size());
  Bytes after;
  ASSERT_TRUE(plugin->saveState(after, 4096));
  ASSERT_EQ(before.size(), after.size());
  const auto& presetBefore = *reinterpret_cast<const VSTPluginProgram*>(before.data());
  const auto& presetAfter = *reinterpret_cast<const VSTPluginProgram*>(after.data());
  EXPECT_EQ(presetBefore.strips[0].program + 1, presetAfter.strips[0].program) << "the edit is in the state";

  EXPECT_EQ(0, plugin->offMainThreadCalls());
  plugin->closeEditor();
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
