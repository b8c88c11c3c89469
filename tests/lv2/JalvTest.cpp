// The bundle in a real LV2 host, jalv, on the private JACK dummy server. The console jalv, with no X display,
// loads a saved state whose bank has Init-Send on and takes its commands on standard input: what reaches a
// client connected to midi_out is the start-up send once, the preset change, the resend, MIDI thru at its
// frames and the Note Off when thru goes off. jalv.gtk3 shows the editor as its UI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "preset/ProgramExtensionChunk.h"
#include "preset/VSTPluginProgram.h"
#include "tests/editor/EditorTest.h"
#include "tests/jack/JackTestSupport.h"
#include "tests/support/GsResetPreset.h"
#include "tests/lv2/LV2TestHost.h"

// Xlib last: its macros would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using jacktest::ArrivedEvent;
using jacktest::Bytes;
using jacktest::HostProcess;
using jacktest::TestClient;
using jacktest::TestServer;
using vantorine::lv2::kPluginUri;

std::vector<Bytes> BytesOf(const std::vector<ArrivedEvent>& events, size_t from = 0) {
  std::vector<Bytes> bytes;
  for (size_t i = from; i < events.size(); ++i) bytes.push_back(events[i].bytes);
  return bytes;
}

// jalv as a child process, with or without the X display.
std::unique_ptr<HostProcess> StartJalv(const std::vector<std::string>& command, const TestServer& server,
                                       bool withDisplay) {
  const std::string display = getenv("DISPLAY") ? getenv("DISPLAY") : "";
  if (!withDisplay) unsetenv("DISPLAY");
#ifdef VANTORINE_ASAN_RUNTIME
  // A bundle built with AddressSanitizer loads only into a program that has its runtime first; jalv's own
  // leaks are not ours to report.
  setenv("LD_PRELOAD", VANTORINE_ASAN_RUNTIME, 1);
  setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
#endif
  auto jalv = std::make_unique<HostProcess>(HostProcess::OtherProgram{}, command, server.name());
#ifdef VANTORINE_ASAN_RUNTIME
  unsetenv("LD_PRELOAD");
#endif
  if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  return jalv;
}

TEST(Jalv, RunsTheBundleOnJackWithItsStateAndPorts) {
  TestServer server;
  ASSERT_TRUE(server.running()) << "jackd -d dummy did not start:\n" << server.whyNotRunning();
  lv2test::LV2World world;
  ASSERT_NE(nullptr, world.plugin());

  // The saved state: preset n sends Program Change n on channel 1; Init-Send after 2 s, Change-Send on.
  Bytes bank(sizeof(VSTPluginProgram) * kProgramCount);
  auto* presets = reinterpret_cast<VSTPluginProgram*>(bank.data());
  for (int n = 0; n < kProgramCount; ++n) {
    InitNumberedProgram(presets[n], n);
    presets[n].strips[0].program = static_cast<uint8_t>(n + 1);
    presets[n].initSend = 1;
    presets[n].initDelay = 2;
    presets[n].changeSend = 1;
  }
  // Preset 3 resets its module first: a SysEx, then its strip once the SysEx is through the MIDI line and
  // 100 ms of frames have passed.
  std::vector<VSTPluginProgramExtension> extensions(kProgramCount);
  for (VSTPluginProgramExtension& extension : extensions) InitProgramExtension(extension);
  const Bytes gsReset = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  std::memcpy(extensions[2].sysex, gsReset.data(), gsReset.size());
  extensions[2].sysexLength = static_cast<uint32_t>(gsReset.size());
  extensions[2].settleMs = testsupport::kGsResetSettleMs;
  vantorine::AppendProgramExtensions(extensions.data(), kProgramCount, bank);
  const std::string folder =
      std::filesystem::temp_directory_path() / ("vtrn-jalv-" + std::to_string(getpid()));
  {
    lv2test::LV2Instance saver(world);
    ASSERT_TRUE(saver.ok());
    ASSERT_EQ(LV2_STATE_SUCCESS, saver.restoreBank(bank));
    saver.saveStateFolder(folder);
  }

  TestClient recorder("rec", server.name());
  ASSERT_TRUE(recorder.ok());
  // The DSP part needs no X display. Line-buffered, so its answers to commands can be waited for.
  const auto jalvProcess =
      StartJalv({"stdbuf", "-oL", "jalv", "-x", "-n", "vtrn-jalv", "-l", folder}, server, false);
  HostProcess& jalv = *jalvProcess;
  ASSERT_TRUE(recorder.waitForPort("vtrn-jalv:midi_out")) << jalv.out() << jalv.err();
  // Its ports exist a moment before the client is active and takes connections.
  ASSERT_TRUE(
      jacktest::waitFor([&] { return recorder.connect("vtrn-jalv:midi_out", recorder.port("in")); }, 5.0));
  ASSERT_TRUE(recorder.connect(recorder.port("out"), "vtrn-jalv:midi_in"));

  std::vector<ArrivedEvent> arrived = recorder.waitForEvents(1, 4.0);
  EXPECT_EQ((std::vector<Bytes>{{0xC0, 0x00}}), BytesOf(arrived)) << "the start-up send of the restored bank";
  EXPECT_GT(jalv.secondsRunning(), 1.5);

  jalv.writeInput("set preset 3\n");
  arrived = recorder.waitForEvents(3);
  jalv.writeInput("set resend 1\n");
  arrived = recorder.waitForEvents(5);
  EXPECT_EQ((std::vector<Bytes>{gsReset, {0xC0, 0x02}, gsReset, {0xC0, 0x02}}), BytesOf(arrived, 1));
  // The reset's time on the line and 100 ms of settle time, exact in the plug-in's frames (the engine's
  // tests count them at several block sizes); seen through the JACK graph, a cycle jalv finishes late (the
  // sanitizer builds are slow) may deliver the strips one period later, never earlier.
  for (size_t reset : {1u, 3u}) {
    const jack_nframes_t settle = arrived[reset + 1].cycleStart + arrived[reset + 1].offset -
                                  arrived[reset].cycleStart - arrived[reset].offset;
    const jack_nframes_t exact = testsupport::GsResetToStripFrames(TestServer::kSampleRate);
    EXPECT_TRUE(settle == exact || settle == exact + TestServer::kPeriod) << settle;
  }

  jalv.writeInput("set midi_thru 1\n");
  ASSERT_TRUE(jalv.waitForOutput("midi_thru = 1")) << jalv.out();
  recorder.sendInOneCycle({{10, {0x90, 60, 100}}, {50, {0xB0, 7, 99}}});
  arrived = recorder.waitForEvents(7);
  ASSERT_EQ(7u, arrived.size());
  EXPECT_EQ((std::vector<Bytes>{{0x90, 60, 100}, {0xB0, 7, 99}}), BytesOf(arrived, 5));
  EXPECT_EQ(10u, arrived[5].offset);
  EXPECT_EQ(50u, arrived[6].offset);
  jalv.writeInput("set midi_thru 0\n");
  arrived = recorder.waitForEvents(8);
  EXPECT_EQ((std::vector<Bytes>{{0x80, 60, 0}}), BytesOf(arrived, 7));

  // jalv ends when its input closes; nothing more came out meanwhile (the start-up send was once).
  jalv.closeInput();
  EXPECT_EQ(0, jalv.wait(10.0)) << jalv.err();
  EXPECT_EQ(8u, recorder.events().size());
  std::filesystem::remove_all(folder);
}

// jalv's own window, which it names after the plug-in; 0 until it is there.
Window JalvWindow(Display* display) {
  Window root = 0, parent = 0, *children = nullptr, found = 0;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name && std::strcmp(name, "Vantorine") == 0)
      found = children[i];
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

TEST(Jalv, Gtk3ShowsTheEditorAsItsUi) {
#ifdef VANTORINE_ASAN_RUNTIME
  GTEST_SKIP() << "jalv.gtk3 hangs in gtk_init (bindtextdomain) with the AddressSanitizer runtime preloaded";
#endif
  Display* display = editortest::testDisplay();
  ASSERT_NE(nullptr, display) << "needs the test X server";
  TestServer server;
  ASSERT_TRUE(server.running()) << "jackd -d dummy did not start:\n" << server.whyNotRunning();
  lv2test::LV2World world;  // puts the bundle on LV2_PATH
  const auto jalvProcess = StartJalv({"jalv.gtk3", "-x", "-n", "vtrn-jalv-gtk", kPluginUri}, server, true);
  HostProcess& jalv = *jalvProcess;
  // jalv moves and maps its window while it settles: a look at a window that just went is no failure.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  // The editor painted inside jalv's window: the panel's body colour is there (at first the editor sits in
  // a window of its own, until jalv has embedded it).
  Window window = 0;
  EXPECT_TRUE(jacktest::waitFor(
      [&] {
        window = JalvWindow(display);
        return window && editortest::pixelsOfColour(window, editortest::kBodyRed, editortest::kBodyGreen,
                                                    editortest::kBodyBlue) > 1000;
      },
      10.0))
      << jalv.out() << jalv.err();
  ASSERT_NE(0u, window);
  // Closing that window, as a user does, ends jalv after it cleaned the UI up.
  editortest::sendDeleteRequest(window);
  EXPECT_EQ(0, jalv.wait(10.0)) << jalv.err();
}

}  // namespace
