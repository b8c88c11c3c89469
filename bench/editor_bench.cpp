// Speed of the editor, under an X server: the first effEditOpen of an instance (holder, panel and cursor
// made), a full refresh of the open editor through the host's idle pass until its repaint is drawn, and the
// cost of an X event that is not ours, which hosts that pass every event of their connection pay for each.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <memory>

#include "editor/SPluginEditor.h"
#include "gui/SControl.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"
#include "plugin/VSTPlugin.h"

namespace {

VstIntPtr SilentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? 2400 : 0;
}

// A host's window on a connection of its own.
struct HostWindow {
  Display* display = XOpenDisplay(nullptr);
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 120, 238, 0, 0, 0);
  HostWindow() {
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~HostWindow() {
    XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
};

std::unique_ptr<VSTPlugin> MakeInstance() {
  int status = 0;
  return std::make_unique<VSTPlugin>(SilentHost, status);
}

void Open(VSTPlugin& plugin, Window window) {
  plugin.dispatcher(effEditOpen, 0, 0, reinterpret_cast<void*>(window), 0.f);
}

void FirstEditorOpen(benchmark::State& state) {
  HostWindow host;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<VSTPlugin> plugin = MakeInstance();
    state.ResumeTiming();
    Open(*plugin, host.window);
    XSync(tovo::gui::dps, False);
    state.PauseTiming();
    plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.f);
    plugin.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(FirstEditorOpen)->Unit(benchmark::kMicrosecond);

void FullRefresh(benchmark::State& state) {
  HostWindow host;
  std::unique_ptr<VSTPlugin> plugin = MakeInstance();
  Open(*plugin, host.window);
  for (auto _ : state) {
    plugin->PluginEditor()->postUpdate();
    plugin->dispatcher(effEditIdle, 0, 0, nullptr, 0.f);
    // The repaint request comes back as an exposure, drawn by the next pass.
    XSync(tovo::gui::dps, False);
    tovo::gui::PumpToolkitEvents();
    XSync(tovo::gui::dps, False);
  }
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.f);
}
BENCHMARK(FullRefresh)->Unit(benchmark::kMicrosecond);

void ForeignEvent(benchmark::State& state) {
  HostWindow host;
  std::unique_ptr<VSTPlugin> plugin = MakeInstance();
  Open(*plugin, host.window);
  XEvent event{};
  event.xmotion.type = MotionNotify;
  event.xmotion.display = host.display;
  event.xmotion.window = host.window;
  for (auto _ : state) benchmark::DoNotOptimize(tovo::gui::SControl::eventProc(&event));
  plugin->dispatcher(effEditClose, 0, 0, nullptr, 0.f);
}
BENCHMARK(ForeignEvent);

}  // namespace

int main(int argc, char** argv) {
  tovo::gui::OpenToolkitDisplay();
  if (!tovo::gui::dps) return 1;
  tovo::gui::context::InitStaticData();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  tovo::gui::context::ReleaseStaticData();
  tovo::gui::CloseToolkitDisplay();
  return 0;
}
