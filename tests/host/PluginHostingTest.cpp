// What a host sees of the built plug-in through the host library: its identity and capabilities, the
// dispatcher answers hosts rely on, refusal of unsupported hosts, MIDI out of real processing calls,
// state through chunks and preset files, several instances, and unloading and reloading the file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "host/MidiText.h"
#include "host/VstHost.h"
#include "tests/support/ThreadCount.h"
#include "vst/FxFile.h"

namespace {

using testsupport::ThreadCount;

// Whether the process is back to that many threads: a joined thread may stay listed a moment longer.
bool threadsBackTo(int count) {
  for (int tries = 0; tries < 400 && ThreadCount() != count; ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return ThreadCount() == count;
}

class PluginHosting : public testing::Test {
 protected:
  void SetUp() override {
    threadsBeforeLoad = ThreadCount();
    ASSERT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
  }
  VstHost host;
  int threadsBeforeLoad = 0;
};

TEST_F(PluginHosting, Identity) {
  const AEffect* fx = host.effect();
  EXPECT_EQ(host.dispatchText(effGetEffectName), "Vantorine");
  EXPECT_EQ(host.dispatchText(effGetProductString), "Vantorine");
  EXPECT_EQ(host.dispatchText(effGetVendorString), "velkaro");
  EXPECT_EQ(host.dispatch(effGetVendorVersion), 106);
  EXPECT_EQ(fx->uniqueID, VstFourCC('V', 'T', 'R', 'N'));
  EXPECT_EQ(fx->flags, 0x139);
  EXPECT_EQ(fx->numInputs, 2);
  EXPECT_EQ(fx->numOutputs, 2);
  EXPECT_EQ(fx->numPrograms, 128);
  EXPECT_EQ(fx->numParams, 2);
  EXPECT_EQ(host.parameterName(0), "AC: Resend");
  EXPECT_EQ(host.parameterName(1), "OP: Thru");
  EXPECT_EQ(host.dispatch(effGetVstVersion), 2300);
  EXPECT_EQ(host.dispatch(effGetPlugCategory), kPlugCategSynth);
  EXPECT_EQ(host.dispatch(effIdentify), VstFourCC('N', 'v', 'E', 'f'));
  EXPECT_EQ(host.programName(0), "001 - empty preset");
  EXPECT_EQ(host.programName(127), "128 - empty preset");
}

TEST_F(PluginHosting, CanDoAnswersExactlyTheMidiTexts) {
  for (const char* text :
       {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"})
    EXPECT_EQ(host.canDo(text), 1) << text;
  for (const char* text : {"sendVstMidi", "receiveVstEventsX", "", "sizeWindow"})
    EXPECT_EQ(host.canDo(text), -1) << text;
}

TEST_F(PluginHosting, EditorAndProgramRequests) {
  EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, nullptr), 0);
  ERect* rect = nullptr;
  EXPECT_NE(host.dispatch(effEditGetRect, 0, 0, &rect), 0);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 462);
  EXPECT_EQ(rect->right, 120);
  EXPECT_EQ(host.dispatch(effEditIdle), 0);

  host.setProgram(5);
  EXPECT_EQ(host.dispatch(effGetProgram), 5);
  host.setProgram(128);
  EXPECT_EQ(host.dispatch(effGetProgram), 5);
}

TEST_F(PluginHosting, ResendSendsTheCurrentPresetFromProcessing) {
  host.mainsChanged(true);
  host.resend();
  host.processBlock();
  const std::vector<ReceivedEvent> events = host.takeEvents();
  // A fresh preset has strip 0 on channel 1 with the first program and nothing else.
  ASSERT_EQ(events.size(), 1u);
  EXPECT_TRUE(events[0].duringProcessing);
  EXPECT_EQ(events[0].block, 1);
  EXPECT_EQ(MidiText::line(events[0].bytes()), "C0 00 00  ch 1 Program Change 0");

  host.processBlock();
  EXPECT_TRUE(host.events().empty()) << "a resend is sent once";
}

TEST_F(PluginHosting, MidiThruPassesIncomingNotes) {
  host.mainsChanged(true);
  // A new instance starts with thru off: its first two blocks end the notes it never passed.
  host.processBlock();
  host.processBlock();
  host.setParameter(1, 1.0f);
  EXPECT_EQ(host.parameterDisplay(1), "On");
  host.queueMidi({0x91, 0x40, 0x50});
  host.processBlock();
  const std::vector<ReceivedEvent> events = host.takeEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(MidiText::hex(events[0].bytes(), 3), "91 40 50");
}

TEST_F(PluginHosting, ChunksHaveTheirSizesAndRestoreThroughPresetFiles) {
  EXPECT_EQ(host.getChunk(true).size(), 436u);
  EXPECT_EQ(host.getChunk(false).size(), 55808u);

  for (FxKind kind : {FxKind::Program, FxKind::Bank}) {
    const bool preset = kind == FxKind::Program;
    host.setParameter(1, 1.0f);
    FxContent saved;
    saved.kind = kind;
    saved.fxId = host.effect()->uniqueID;
    saved.fxVersion = host.effect()->version;
    saved.numPrograms = preset ? 1 : host.effect()->numPrograms;
    saved.chunk = host.getChunk(preset);
    const std::vector<uint8_t> file = FxFile::encode(saved);

    host.setParameter(1, 0.0f);
    ASSERT_EQ(host.getParameter(1), 0.0f);
    FxContent loaded;
    ASSERT_EQ(FxFile::decode(file, kind, host.effect()->uniqueID, loaded), "");
    host.setChunk(loaded.chunk, preset);
    EXPECT_EQ(host.getParameter(1), 1.0f) << (preset ? "preset" : "bank");
  }
}

TEST_F(PluginHosting, CloseAnswersOneAndFreesTheInstance) {
  // Under AddressSanitizer a leak or a use after the close would fail this test.
  EXPECT_EQ(host.close(), 1);
  EXPECT_EQ(host.effect(), nullptr);
}

TEST_F(PluginHosting, InstancesKeepTheirOwnState) {
  VstHost other;
  ASSERT_TRUE(other.load(VANTORINE_PLUGIN_PATH)) << other.error();
  ASSERT_NE(other.effect(), host.effect());
  host.setProgram(3);
  other.setProgram(9);
  host.setParameter(1, 1.0f);
  EXPECT_EQ(host.dispatch(effGetProgram), 3);
  EXPECT_EQ(other.dispatch(effGetProgram), 9);
  EXPECT_EQ(other.getParameter(1), 0.0f);

  other.mainsChanged(true);
  other.resend();
  other.processBlock();
  host.processBlock();
  EXPECT_EQ(other.events().size(), 1u);
  EXPECT_TRUE(host.events().empty()) << "events go to the host of the instance that sent them";
  EXPECT_EQ(other.close(), 1);
  EXPECT_EQ(host.programName(0), "001 - empty preset");
}

TEST_F(PluginHosting, UnloadAndReload) {
  host.unload();
  EXPECT_FALSE(PluginLibrary::isResident(VANTORINE_PLUGIN_PATH));
  EXPECT_TRUE(threadsBackTo(threadsBeforeLoad)) << "a thread of the plug-in outlived its library";
  ASSERT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
  EXPECT_EQ(host.dispatchText(effGetEffectName), "Vantorine");
  host.mainsChanged(true);
  host.resend();
  host.processBlock();
  EXPECT_EQ(host.events().size(), 1u);
}

TEST(PluginRefusal, HostVersionZeroGetsNoInstance) {
  HostSettings settings;
  settings.version = 0;
  VstHost host(settings);
  EXPECT_FALSE(host.load(VANTORINE_PLUGIN_PATH));
  EXPECT_NE(host.error().find("refused"), std::string::npos) << host.error();
}

TEST(PluginRefusal, UnsupportedHostIsNamedInTheMessage) {
  HostSettings settings;
  settings.product = "Usine Hollyhock";
  VstHost host(settings);
  const int threadsBefore = ThreadCount();
  testing::internal::CaptureStderr();
  const bool loaded = host.load(VANTORINE_PLUGIN_PATH);
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(loaded);
  EXPECT_NE(message.find("Host not supported (Usine))"), std::string::npos) << message;
  // The message box, with the thread that serves it, went with the refused library.
  EXPECT_FALSE(PluginLibrary::isResident(VANTORINE_PLUGIN_PATH));
  EXPECT_TRUE(threadsBackTo(threadsBefore)) << "a thread of the plug-in outlived its library";
}

TEST(PluginRefusal, HostWithoutStringsIsAccepted) {
  HostSettings settings;
  settings.answerStrings = false;
  settings.canDo.erase("sizeWindow");
  VstHost host(settings);
  EXPECT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
}

}  // namespace
