// The editor under the threads of a real host: one host thread opens the editor, hands it X events and
// sends effEditIdle, while another changes parameters and programs and the plug-in's own threads run; no
// data race, and every change shows in the panel by the next idle pass. Built to run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <thread>

#include "PluginHarness.h"
#include "editor/SEditorPlaceholder.h"
#include "editor/SPluginEditor.h"
#include "gui/SControl.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"

namespace {

TEST(EditorThreads, HostEventThreadAndParameterThreadShareThePlugin) {
  tovo::gui::OpenToolkitDisplay();
  ASSERT_NE(tovo::gui::dps, nullptr) << "the editor tests need DISPLAY";
  tovo::gui::context::InitStaticData();
  {
    PluginHarness harness;
    std::unique_ptr<VSTPlugin> plugin = MakePlugin();
    Display* host = XOpenDisplay(nullptr);
    ASSERT_NE(host, nullptr);
    const Window window = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 120, 238, 0, 0, 0);
    XMapWindow(host, window);
    XSync(host, False);

    std::atomic<bool> opened{false}, done{false};
    std::atomic<int> refreshes{0};
    std::thread editorThread([&] {
      plugin->dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(window), 0.f);
      const Window panel = plugin->PluginEditor()->Panel()->GetWindow();
      opened.store(true);
      for (int round = 0; !done.load() || round < 50; ++round) {
        for (int type : {EnterNotify, MotionNotify, Expose, LeaveNotify}) {
          XEvent event{};
          event.xany.type = type;
          event.xany.display = tovo::gui::dps;
          event.xany.window = panel;
          tovo::gui::SControl::eventProc(&event);
        }
        plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      refreshes.store(plugin->PluginEditor()->Panel()->RefreshCount());
      plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.f);
    });
    while (!opened.load()) std::this_thread::yield();
    for (int i = 0; i < 200; ++i) {
      plugin->setParameter(8 + i % 96, static_cast<float>(i % 17) / 16.f);
      if (i % 20 == 0) plugin->setProgram(i / 20);
      harness.Process(*plugin);
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    done.store(true);
    editorThread.join();
    EXPECT_GT(refreshes.load(), 1);
    plugin.reset();
    XDestroyWindow(host, window);
    XCloseDisplay(host);
  }
  tovo::gui::context::ReleaseStaticData();
  tovo::gui::CloseToolkitDisplay();
}

}  // namespace
