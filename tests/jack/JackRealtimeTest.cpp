// The JACK process callback allocates no memory over a run in which MIDI comes in (passed through by the
// plug-in), MIDI is queued by actions and resends go out: the callback arms an allocation counter for
// its own thread while it runs.
#include <gtest/gtest.h>

#include <atomic>

#include "CallCounter.h"
#include "host/JackClient.h"
#include "host/VstHost.h"
#include "tests/jack/JackTestSupport.h"

namespace {
std::atomic<int> cycles{0};

void armCounter(bool entering) {
  callcount::SetCounting(entering);
  if (entering) ++cycles;
}
}  // namespace

namespace {

using jacktest::Bytes;
using jacktest::TestClient;
using jacktest::TestServer;

TEST(JackRealtime, ProcessCallbackAllocatesNothingWithMidiInAndOut) {
#if !VANTORINE_COUNT_CALLS
  GTEST_SKIP() << "sanitizers own the allocator";
#else
  TestServer server;
  ASSERT_TRUE(server.running());
  VstHost host;
  JackClient jack(host);
  ASSERT_EQ("", jack.open("vtrn-rt", server.name()));
  host.settings().sampleRate = static_cast<float>(jack.sampleRate());
  host.settings().blockSize = static_cast<VstInt32>(jack.bufferSize());
  ASSERT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
  host.setParameter(1, 1.f);  // thru
  host.mainsChanged(true);
  jack.setCycleHook(armCounter);
  ASSERT_EQ("", jack.activate());

  TestClient sender("snd", server.name());
  TestClient recorder("rec", server.name());
  ASSERT_TRUE(sender.ok() && recorder.ok());
  ASSERT_EQ("", jack.connect(sender.port("out"), "midi_in"));
  ASSERT_EQ("", jack.connect("midi_out", recorder.port("in")));

  // A fresh instance drops what comes in during its first cycles, while it ends notes it never passed.
  ASSERT_TRUE(jacktest::waitFor([] { return cycles.load() > 4; }, 5.0));
  const int cyclesBefore = cycles.load();
  // Each round: two notes passed through, a queued controller passed through, at least one resend message.
  for (size_t round = 0; round < 20; ++round) {
    sender.sendInOneCycle({{3, {0x90, 60, 100}}, {100, {0x80, 60, 0}}});
    EXPECT_TRUE(jack.queueMidi({0xB0, 7, static_cast<uint8_t>(round)}));
    host.resend();
    recorder.waitForEvents(4 * (round + 1));
  }
  jack.deactivate();

  EXPECT_GT(cycles.load() - cyclesBefore, 20);
  size_t notes = 0, programChanges = 0, queuedPassedOn = 0;
  for (const jacktest::ArrivedEvent& event : recorder.events()) {
    notes += (event.bytes[0] & 0xE0) == 0x80;
    programChanges += (event.bytes[0] & 0xF0) == 0xC0;
    queuedPassedOn += event.bytes[0] == 0xB0 && event.bytes[1] == 7;
  }
  EXPECT_EQ(40u, notes) << "the notes came through";
  EXPECT_GE(programChanges, 20u) << "every resend went out";
  EXPECT_EQ(20u, queuedPassedOn) << "queued MIDI reached the plug-in and passed through";
  EXPECT_EQ(0, callcount::Allocations());
#endif
}

}  // namespace
