// The JACK process callback allocates no memory over a run in which MIDI comes in (passed through by the
// plug-in), MIDI is queued by actions and resends go out, System Exclusive among them: the callback arms
// an allocation counter for its own thread while it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "CallCounter.h"
#include "host/JackClient.h"
#include "host/VstHost.h"
#include "tests/jack/JackTestSupport.h"
#include "tests/support/GsResetPreset.h"

namespace {
std::atomic<int> cycles{0};

[[maybe_unused]] void armCounter(bool entering) {
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
  // A preset with System Exclusive, whose bytes the cycle copies and writes whole.
  ASSERT_EQ(1, host.setChunk(testsupport::GsResetBankChunk(), false));
  host.resend();
  const std::vector<Bytes>& gsPreset = testsupport::GsResetPresetMessages();
  auto gsResetAt = [&gsPreset](const std::vector<jacktest::ArrivedEvent>& events) {
    return std::find_if(events.begin(), events.end(), [&gsPreset](const jacktest::ArrivedEvent& event) {
      return event.bytes == gsPreset[0];
    });
  };
  EXPECT_TRUE(jacktest::waitFor(
      [&] {
        const std::vector<jacktest::ArrivedEvent> events = recorder.events();
        return events.end() - gsResetAt(events) >= static_cast<std::ptrdiff_t>(gsPreset.size());
      },
      5.0));
  jack.deactivate();

  EXPECT_GT(cycles.load() - cyclesBefore, 20);
  const std::vector<jacktest::ArrivedEvent> arrived = recorder.events();
  const auto gsReset = gsResetAt(arrived);
  size_t notes = 0, programChanges = 0, queuedPassedOn = 0;
  for (auto event = arrived.begin(); event != gsReset; ++event) {
    notes += (event->bytes[0] & 0xE0) == 0x80;
    programChanges += (event->bytes[0] & 0xF0) == 0xC0;
    queuedPassedOn += event->bytes[0] == 0xB0 && event->bytes[1] == 7;
  }
  EXPECT_EQ(40u, notes) << "the notes came through";
  EXPECT_GE(programChanges, 20u) << "every resend went out";
  EXPECT_EQ(20u, queuedPassedOn) << "queued MIDI reached the plug-in and passed through";
  ASSERT_GE(arrived.end() - gsReset, static_cast<std::ptrdiff_t>(gsPreset.size()));
  for (size_t i = 0; i < gsPreset.size(); ++i) EXPECT_EQ(gsPreset[i], gsReset[i].bytes) << "message " << i;
  EXPECT_EQ(0, callcount::Allocations());
#endif
}

}  // namespace
