// The host library against a small probe plug-in: what the callback answers, that events are copied at
// once and tagged with their block or as sent outside processing, that instances are told apart, and
// that refusals, unloading and reloading leave the host usable.
#include <gtest/gtest.h>

#include <cstring>

#include "host/VstHost.h"

namespace {

constexpr VstInt32 kProbeSizeWindow = 1;
constexpr VstInt32 kProbeSendFromThread = 2;
constexpr VstInt32 kProbeHostDirectory = 3;

TEST(VstHost, LoadsAndIdentifiesThePlugin) {
  VstHost host;
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  EXPECT_EQ(host.library().entryName(), "VSTPluginMain");
  EXPECT_EQ(host.effect()->uniqueID, VstFourCC('P', 'r', 'b', 'e'));
  EXPECT_EQ(host.dispatchText(effGetEffectName), "Probe");
  EXPECT_EQ(host.programName(2), "probe 2");
  EXPECT_EQ(host.canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(host.callbackCount(audioMasterVersion), 1);
  EXPECT_EQ(host.close(), 1);
  EXPECT_EQ(host.effect(), nullptr);
  EXPECT_EQ(host.close(), 0) << "a second close must not reach the freed record";
}

TEST(VstHost, EventsAreCopiedAndCarryTheirBlock) {
  VstHost host;
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  host.processBlock();
  host.queueMidi({0x92, 0x3C, 0x64});
  host.queueMidi({0xC2, 0x05});
  host.processBlock();
  host.processBlock();

  const std::vector<ReceivedEvent> events = host.events();
  ASSERT_EQ(events.size(), 2u);
  // The probe overwrites its memory right after handing it over, so only a copy keeps these bytes.
  EXPECT_EQ(std::memcmp(events[0].event.midiData, "\x92\x3C\x64", 3), 0);
  EXPECT_EQ(std::memcmp(events[1].event.midiData, "\xC2\x05\x00", 3), 0);
  EXPECT_EQ(events[0].event.type, kVstMidiType);
  for (const ReceivedEvent& event : events) {
    EXPECT_EQ(event.block, 2);
    EXPECT_TRUE(event.duringProcessing);
    EXPECT_GE(event.seconds, 0.0);
  }
  EXPECT_EQ(host.blocksStarted(), 3);

  EXPECT_EQ(host.takeEvents().size(), 2u);
  EXPECT_TRUE(host.events().empty());
}

TEST(VstHost, EventsFromAnotherThreadAreMarkedOutsideProcessing) {
  VstHost host;
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  host.processBlock();
  host.dispatch(effVendorSpecific, kProbeSendFromThread);
  const std::vector<ReceivedEvent> events = host.events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_FALSE(events[0].duringProcessing);
  EXPECT_EQ(events[0].block, 1);
  EXPECT_EQ(std::memcmp(events[0].event.midiData, "\xB1\x07\x63", 3), 0);
  host.clearEvents();
  EXPECT_TRUE(host.events().empty());
}

TEST(VstHost, AudioPassesThroughTheProbe) {
  HostSettings settings;
  settings.blockSize = 64;
  VstHost host(settings);
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  for (size_t i = 0; i < 64; ++i) host.input(1)[i] = static_cast<float>(i) / 64.0f;
  host.processBlock();
  ASSERT_EQ(host.output(1).size(), 64u);
  EXPECT_EQ(host.output(1), host.input(1));
}

TEST(VstHost, AutomationAndWindowSizeAreRecorded) {
  VstHost host;
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  host.setParameter(0, 0.25f);
  host.resend();
  EXPECT_EQ(host.dispatch(effVendorSpecific, kProbeSizeWindow), 1);

  const std::vector<AutomationCall> automation = host.automationCalls();
  ASSERT_EQ(automation.size(), 3u);
  EXPECT_EQ(automation[0].value, 0.25f);
  EXPECT_EQ(automation[1].value, 1.0f);
  EXPECT_EQ(automation[2].value, 0.0f);
  const std::vector<WindowSizeCall> sizes = host.sizeWindowCalls();
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes[0].width, 300);
  EXPECT_EQ(sizes[0].height, 200);
}

TEST(VstHost, DirectoryIsTheLoadedFilesFolder) {
  VstHost host;
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  char directory[4096] = {};
  host.dispatch(effVendorSpecific, kProbeHostDirectory, 0, directory);
  const std::string path = PROBE_PLUGIN_PATH;
  const std::string expected = path.substr(0, path.rfind('/') + 1);
  EXPECT_EQ(std::string(directory), expected);
}

TEST(VstHost, RefusalsLeaveNothingLoaded) {
  HostSettings versionZero;
  versionZero.version = 0;
  VstHost refusedByVersion(versionZero);
  EXPECT_FALSE(refusedByVersion.load(PROBE_PLUGIN_PATH));
  EXPECT_NE(refusedByVersion.error().find("refused"), std::string::npos);
  EXPECT_FALSE(refusedByVersion.library().isOpen());

  HostSettings refusedHost;
  refusedHost.product = "Refuse me";
  VstHost refusedByProduct(refusedHost);
  EXPECT_FALSE(refusedByProduct.load(PROBE_PLUGIN_PATH));

  // Without string answers the probe finds no product and loads.
  refusedHost.answerStrings = false;
  VstHost silent(refusedHost);
  EXPECT_TRUE(silent.load(PROBE_PLUGIN_PATH)) << silent.error();
}

TEST(VstHost, BadFilesGiveOneLineReasons) {
  VstHost host;
  for (const char* path :
       {"/nonexistent/plugin.so", "/etc/passwd", "/tmp", VANTORINE_TEST_DIR "/VstHostTest.cpp"}) {
    EXPECT_FALSE(host.load(path)) << path;
    EXPECT_FALSE(host.error().empty());
    EXPECT_EQ(host.error().find('\n'), std::string::npos) << host.error();
    EXPECT_EQ(host.effect(), nullptr);
  }
}

TEST(VstHost, InstancesSideBySideAnswerTheirOwnHost) {
  HostSettings first, second;
  first.blockSize = 32;
  second.blockSize = 32;
  VstHost a(first), b(second);
  ASSERT_TRUE(a.load(PROBE_PLUGIN_PATH)) << a.error();
  ASSERT_TRUE(b.load(PROBE_PLUGIN_PATH)) << b.error();
  ASSERT_NE(a.effect(), b.effect());
  a.queueMidi({0x90, 1, 1});
  b.queueMidi({0x91, 2, 2});
  a.processBlock();
  b.processBlock();
  b.setParameter(0, 0.5f);
  ASSERT_EQ(a.events().size(), 1u);
  ASSERT_EQ(b.events().size(), 1u);
  EXPECT_EQ(static_cast<uint8_t>(a.events()[0].event.midiData[0]), 0x90);
  EXPECT_EQ(static_cast<uint8_t>(b.events()[0].event.midiData[0]), 0x91);
  EXPECT_TRUE(a.automationCalls().empty());
  EXPECT_EQ(b.automationCalls().size(), 1u);

  // Closing one leaves the other working.
  a.unload();
  b.queueMidi({0x80, 2, 0});
  b.processBlock();
  EXPECT_EQ(b.events().size(), 2u);
}

TEST(VstHost, UnloadReallyUnloadsAndReloadWorks) {
  VstHost host;
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  EXPECT_TRUE(PluginLibrary::isResident(PROBE_PLUGIN_PATH));
  host.unload();
  EXPECT_FALSE(PluginLibrary::isResident(PROBE_PLUGIN_PATH));
  ASSERT_TRUE(host.load(PROBE_PLUGIN_PATH)) << host.error();
  EXPECT_EQ(host.dispatchText(effGetEffectName), "Probe");
  EXPECT_EQ(host.callbackCount(audioMasterVersion), 1) << "counts start again with each load";
}

}  // namespace
