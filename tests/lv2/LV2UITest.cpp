// The editor as an LV2 X11 UI in a host of our own that behaves as Ardour, jalv.gtk3 and Qtractor do: the UI
// is a child of the host's window, painted, sized through ui:resize, driven only by idle() on the host's UI
// thread and by real pointer input; the host's preset port and the panel agree both ways without the
// plug-in acting twice; direct edits reach the host as a state change; opening and closing many times (the
// host's window sometimes destroyed first) leaves no windows, threads or memory behind; and the UI's thread
// and the audio thread work on the plug-in at once.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "PanelTest.h"
#include "tests/lv2/LV2UIHost.h"

// Xlib last: its macros (None, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

using lv2test::LV2Instance;
using lv2test::LV2UIHost;
using lv2test::LV2World;
using lv2test::PortWrite;
using lv2test::SizeRequest;
using lv2test::TimedMidi;
using namespace vantorine::lv2;

LV2World* world = nullptr;

using editortest::kChangeSend;
using editortest::kMidiThru;
using editortest::kResetFirst;
using editortest::kPresetSwitching;
using editortest::PanelPoint;
// The "+" under the first strip, and what a strip adds to the panel's width.
constexpr PanelPoint kAddStrip{112, 297};
constexpr int kWidth = editortest::kEditorWidth;
constexpr int kHeight = editortest::kEditorHeight;
constexpr int kStripWidth = 25;

class LV2UI : public testing::Test {
 protected:
  static void SetUpTestSuite() { world = new LV2World(); }
  static void TearDownTestSuite() {
    delete world;
    world = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(nullptr, world->plugin());
    plugin = std::make_unique<LV2Instance>(*world);
    ASSERT_TRUE(plugin->ok());
    cycle();
    host = std::make_unique<LV2UIHost>(*world, *plugin);
  }
  void TearDown() override {
    host.reset();
    plugin.reset();
  }

  // One cycle of the plug-in, after what the UI wrote reached the ports as a host passes it on.
  std::vector<TimedMidi> cycle(const std::vector<TimedMidi>& midiIn = {}) {
    for (const PortWrite& write : host ? host->takePortWrites() : std::vector<PortWrite>{}) {
      written.push_back(write);
      plugin->setControl(write.port, write.value);
    }
    return plugin->run(midiIn);
  }
  void click(PanelPoint point) {
    Display* display = editortest::testDisplay();
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, host->widget(), DefaultRootWindow(display), point.x, point.y, &x, &y,
                          &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    host->waitForIdles(4);
  }

  // Every size the UI asked for was on the server as its window's largest and base size, with no smallest
  // (suil-based hosts pin their window to that), by the time ui:resize asked for it.
  void expectSizeHintsAtEachResize() {
    const std::vector<SizeRequest> requests = host->resizeRequests();
    EXPECT_FALSE(requests.empty());
    for (const SizeRequest& request : requests) {
      EXPECT_EQ(PMaxSize | PBaseSize, request.hintFlags & (PMinSize | PMaxSize | PBaseSize));
      EXPECT_EQ(request.size, request.maxSize);
      EXPECT_EQ(request.size, request.baseSize);
    }
  }

  std::vector<std::pair<uint32_t, float>> Writes() const {
    std::vector<std::pair<uint32_t, float>> pairs;
    for (const PortWrite& write : written) pairs.emplace_back(write.port, write.value);
    return pairs;
  }

  std::unique_ptr<LV2Instance> plugin;
  std::unique_ptr<LV2UIHost> host;
  std::vector<PortWrite> written;
};

TEST_F(LV2UI, OpensPaintedInTheHostsWindowAndGrowsByAStripThroughUiResize) {
  ASSERT_TRUE(host->open());
  host->waitForIdles(4);
  const editortest::WindowState panel = editortest::windowState(host->widget());
  EXPECT_TRUE(panel.viewable);
  EXPECT_EQ(host->parent(), panel.parent) << "a direct child of ui:parent";
  EXPECT_EQ(kWidth, panel.width);
  EXPECT_EQ(kHeight, panel.height);
  EXPECT_TRUE(editortest::showsColour(host->widget(), editortest::kBodyRed, editortest::kBodyGreen,
                                      editortest::kBodyBlue));
  ASSERT_FALSE(host->resizeRequests().empty()) << "the size is asked for at once, not only on a change";
  EXPECT_EQ(std::make_pair(kWidth, kHeight), host->resizeRequests().back().size);
  expectSizeHintsAtEachResize();
  {
    LV2UIHost second(*world, *plugin);
    EXPECT_FALSE(second.open()) << "one editor per instance";
  }
  EXPECT_TRUE(editortest::windowState(host->widget()).viewable);

  cycle();
  click(kAddStrip);
  EXPECT_EQ(std::make_pair(kWidth + kStripWidth, kHeight), host->resizeRequests().back().size);
  expectSizeHintsAtEachResize();
  EXPECT_EQ(kWidth + kStripWidth, editortest::windowState(host->widget()).width);
  EXPECT_EQ(kWidth + kStripWidth, editortest::windowState(host->parent()).width);
  cycle();
  EXPECT_EQ(1, plugin->stateChangedCount()) << "the host hears of the new strip";
  cycle();
  EXPECT_EQ(0, plugin->stateChangedCount());
  click(kResetFirst);
  cycle();
  EXPECT_EQ(1, plugin->stateChangedCount()) << "and of a version 2 field";
}

TEST_F(LV2UI, HostAndEditorAgreeOnPresetAndThruWithoutActingTwice) {
  ASSERT_TRUE(host->open());
  host->waitForIdles(4);
  // The preset's name runs down the panel: another preset repaints it.
  const auto before = editortest::windowPixels(host->widget(), 62, 40, 82, 230);
  plugin->setControl(kPresetPort, 3);
  host->portEvent(kPresetPort, 3);
  cycle();
  host->waitForIdles(4);
  EXPECT_NE(before, editortest::windowPixels(host->widget(), 62, 40, 82, 230));
  cycle();
  EXPECT_TRUE(written.empty()) << "the host's own change is not written back";

  click(kMidiThru);
  cycle();
  ASSERT_EQ(1u, written.size());
  EXPECT_EQ(kMidiThruPort, written[0].port);
  EXPECT_EQ(1.f, written[0].value);
  EXPECT_EQ((std::vector<TimedMidi>{{4, {0xB0, 1, 9}}}), cycle({{4, {0xB0, 1, 9}}})) << "thru is on";

  // A Program Change switches the preset inside the plug-in: the UI writes the port once, and the echo
  // coming back through the port sends nothing more.
  click(kPresetSwitching);
  click(kChangeSend);
  cycle();
  written.clear();
  const std::vector<TimedMidi> switched = cycle({{0, {0xC0, 4}}});
  EXPECT_EQ((std::vector<TimedMidi>{{0, {0xC0, 0x00}}}), switched) << "preset 5's strip, sent on the change";
  host->waitForIdles(3);
  EXPECT_TRUE(cycle().empty()) << "the echo of the preset port";
  // Thru belongs to the preset: preset 5 has it off, and the port shows that too.
  EXPECT_EQ((std::vector<std::pair<uint32_t, float>>{{kPresetPort, 5.f}, {kMidiThruPort, 0.f}}), Writes());
  EXPECT_TRUE(cycle().empty());
}

TEST_F(LV2UI, OpeningAndClosingAgainLeavesNothingBehindAndThePluginAsItWas) {
  ASSERT_TRUE(host->open());
  host->waitForIdles(2);
  click(kAddStrip);
  host->close();
  cycle();
  plugin->setControl(kResendPort, 1);
  const std::vector<TimedMidi> resent = cycle();
  plugin->setControl(kResendPort, 0);
  const lv2test::Bytes bank = plugin->saveBank();
  const auto windows = editortest::windowsByClient();
  const int threads = editortest::threadCount();
  for (int round = 0; round < 200; ++round) {
    ASSERT_TRUE(host->open()) << round;
    host->idleNow();
    if (round % 10 == 0)
      host->destroyWindowThenClose();
    else
      host->close();
    cycle();
  }
  EXPECT_EQ(windows, editortest::windowsByClient());
  EXPECT_EQ(threads, editortest::threadCount());
  EXPECT_EQ(bank, plugin->saveBank());
  plugin->setControl(kResendPort, 1);
  EXPECT_EQ(resent, cycle());
}

TEST_F(LV2UI, TheUiThreadAndTheAudioThreadShareThePlugin) {
  ASSERT_TRUE(host->open());
  host->waitForIdles(2);
  click(kPresetSwitching);
  std::atomic<bool> stop{false};
  std::atomic<int> cycles{0};
  // The audio thread: cycles with Program Changes coming in, and the host's preset control moving.
  std::thread audio([&] {
    for (int n = 0; !stop; ++n) {
      if (n % 25 == 0) plugin->setControl(kPresetPort, static_cast<float>(1 + n / 25 % 3));
      const uint8_t program = static_cast<uint8_t>(n % 4);
      cycle(n % 10 == 5 ? std::vector<TimedMidi>{{0, {0xC0, program}}} : std::vector<TimedMidi>{});
      ++cycles;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  for (int round = 0; round < 4; ++round) {
    click(kAddStrip);
    click(kMidiThru);
    host->portEvent(kPresetPort, static_cast<float>(1 + round));
  }
  stop = true;
  audio.join();
  host->close();
  EXPECT_GT(cycles.load(), 100);
  expectSizeHintsAtEachResize();
  // The presets the plug-in switched to and the thru clicks reached the ports.
  EXPECT_FALSE(written.empty());
}

}  // namespace
