// The editor under the threads of a real host: one host thread opens the editor, hands it X events and
// sends effEditIdle, adding and removing strips and editing labels with its clicks, while another changes
// parameters and programs, resends and runs the audio; no data race, every message sent carries a value
// the user set, and every change shows in the panel by the next idle pass. Built to run under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <thread>

#include "PluginHarness.h"
#include "editor/SPluginEditor.h"
#include "editor/SPluginPanel.h"
#include "gui/SControl.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SButton.h"
#include "gui/widgets/SDial.h"

namespace {

// The values the parameter thread sets: program 42 (stored 43) and volume 100 on every strip.
constexpr float kProgram = 43 / 128.f;
constexpr float kVolume = 101 / 128.f;

void ClickButton(tovo::gui::SControl* button, unsigned long& time) {
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.display = tovo::gui::dps;
    event.xbutton.window = button->GetWindow();
    event.xbutton.button = Button1;
    event.xbutton.x = event.xbutton.y = 3;
    event.xbutton.time = time += 1000;
    event.xbutton.same_screen = True;
    tovo::gui::SControl::eventProc(&event);
  }
}

TEST(EditorThreads, PanelEditsAndParameterThreadShareThePlugin) {
  tovo::gui::OpenToolkitDisplay();
  ASSERT_NE(tovo::gui::dps, nullptr) << "the editor tests need DISPLAY";
  tovo::gui::context::InitStaticData();
  {
    PluginHarness harness;
    HostedPlugin<> plugin = MakePlugin();
    Display* host = XOpenDisplay(nullptr);
    ASSERT_NE(host, nullptr);
    // Away from the corner where the drawing tests read back their pixels.
    const Window window = XCreateSimpleWindow(host, DefaultRootWindow(host), 1700, 300, 520, 238, 0, 0, 0);
    XMapWindow(host, window);
    XSync(host, False);

    std::atomic<bool> opened{false}, done{false};
    std::atomic<int> edits{0}, widest{0};
    std::thread editorThread([&] {
      plugin.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(window), 0.f);
      SPluginPanel* panel = plugin->PluginEditor()->Panel();
      plugin.dispatcher(effEditIdle, 0, 0, nullptr, 0.f);
      opened.store(true);
      unsigned long time = 1000;
      for (int round = 0; !done.load() || round < 50; ++round) {
        // Grows to four strips, then takes the one in the second column away again.
        if (panel->ColumnCount() < 4) {
          ClickButton(panel->GetRow(0).stripButton, time);
        } else {
          for (int r = 1; r < SPluginPanel::kRows; ++r)
            if (panel->GetRow(r).column == 1) ClickButton(panel->GetRow(r).stripButton, time);
        }
        edits.fetch_add(1);
        if (panel->ColumnCount() > widest.load()) widest.store(panel->ColumnCount());
        for (int type : {EnterNotify, MotionNotify, Expose, LeaveNotify}) {
          XEvent event{};
          event.xany.type = type;
          event.xany.display = tovo::gui::dps;
          event.xany.window = panel->GetWindow();
          tovo::gui::SControl::eventProc(&event);
        }
        plugin.dispatcher(effEditIdle, 0, 0, nullptr, 0.f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      plugin.dispatcher(effEditIdle, 0, 0, nullptr, 0.f);
      EXPECT_EQ(panel->GetRow(0).program->GetValue(), 43) << "the panel shows the last value set";
      plugin.dispatcher(effEditClose, 0, 0, nullptr, 0.f);
    });
    while (!opened.load()) std::this_thread::yield();
    std::vector<MidiBytes> sent;
    for (int i = 0; i < 300; ++i) {
      const int strip = i % kStripCount;
      plugin->setParameter(VSTPlugin::kStripProgram + strip, kProgram);
      plugin->setParameter(VSTPlugin::kStripVolume + strip, kVolume);
      plugin->setParameter(VSTPlugin::kStripChannel + strip, static_cast<float>(strip + 1) / 16.f);
      if (i % 50 == 0) plugin->setProgram(0);
      plugin->setParameter(VSTPlugin::kResend, 1.f);
      plugin->setParameter(VSTPlugin::kResend, 0.f);
      for (const MidiBytes& message : harness.Process(*plugin)) sent.push_back(message);
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    done.store(true);
    editorThread.join();
    EXPECT_GT(edits.load(), 10);
    EXPECT_EQ(widest.load(), 4) << "the clicks added strips";
    ASSERT_FALSE(sent.empty());
    for (const MidiBytes& message : sent) {
      if ((message.status & 0xF0) == 0xC0) {
        EXPECT_EQ(message.data1, 42) << "a program nobody set";
      } else {
        ASSERT_EQ(message.status & 0xF0, 0xB0);
        EXPECT_EQ(message.data1, 7) << "only volumes were set";
        EXPECT_EQ(message.data2, 100);
      }
    }
    plugin.reset();
    XDestroyWindow(host, window);
    XCloseDisplay(host);
  }
  tovo::gui::context::ReleaseStaticData();
  tovo::gui::CloseToolkitDisplay();
}

}  // namespace
