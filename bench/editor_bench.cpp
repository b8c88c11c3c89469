// Speed of the editor, under an X server, with a preset of sixteen strips: the first effEditOpen of an
// instance (holder, panel with all its controls and cursor made), a full refresh of the open editor through
// the host's idle pass until its repaint is drawn, the sound browser's opening on the largest installed
// device, an idle pass with nothing to do, the cost of an X event
// that is not ours (which hosts that pass every event of their connection pay for each), and the share of
// a core that an open idle editor and a closed one take while the host idles at 25 Hz.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "bench/LargestDevice.h"
#include "editor/SPluginEditor.h"
#include "editor/SPluginPanel.h"
#include "editor/SSoundBrowser.h"
#include "gui/SControl.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"
#include "gui/widgets/SListBox.h"
#include "gui/widgets/SSearchBox.h"
#include "gui/SKeyMap.h"
#include "preset/PresetBytes.h"
#include "plugin/VSTPlugin.h"
#include "plugin/VstEffect.h"

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

// A plug-in as a VST 2 host holds it, whose current preset uses all sixteen strips, each with every value
// set and a label.
std::unique_ptr<vantorine::VstEffect> MakeInstance() {
  auto effect = std::make_unique<vantorine::VstEffect>(SilentHost);
  int status = 0;
  auto plugin = std::make_unique<VSTPlugin>(*effect, status);
  VSTPluginProgram preset = plugin->CurrentProgram();
  for (int r = 0; r < kStripCount; ++r) {
    VSTPluginStrip& strip = preset.strips[r];
    strip = VSTPluginStrip{1, 0, static_cast<uint8_t>(r + 1), 1, 1, 1, 101, {}};
    std::snprintf(strip.label, sizeof(strip.label), "Module %d", r + 1);
    preset.stripOrder[r] = r;
  }
  preset.stripCount = kStripCount;
  effect->Adopt(std::move(plugin));
  effect->Dispatch(effSetChunk, 1, sizeof(preset), &preset, 0.f);
  return effect;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The share of a core the process takes over two seconds of a host that idles the editor at 25 Hz.
double CoreShareWhileIdling(vantorine::VstEffect& plugin, bool editorOpen) {
  const double cpuBefore = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (int tick = 0; tick < 50; ++tick) {
    if (editorOpen) plugin.Dispatch(effEditIdle, 0, 0, nullptr, 0.f);
    std::this_thread::sleep_until(start + std::chrono::milliseconds(40 * (tick + 1)));
  }
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return (CpuSeconds() - cpuBefore) / wall;
}

void Open(vantorine::VstEffect& plugin, Window window) {
  plugin.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window), 0.f);
}

void FirstEditorOpen(benchmark::State& state) {
  HostWindow host;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<vantorine::VstEffect> plugin = MakeInstance();
    state.ResumeTiming();
    Open(*plugin, host.window);
    XSync(tovo::gui::dps, False);
    state.PauseTiming();
    plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
    plugin.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(FirstEditorOpen)->Unit(benchmark::kMicrosecond);

void FullRefresh(benchmark::State& state) {
  HostWindow host;
  std::unique_ptr<vantorine::VstEffect> plugin = MakeInstance();
  Open(*plugin, host.window);
  for (auto _ : state) {
    plugin->Plugin()->PluginEditor()->postUpdate();
    plugin->Dispatch(effEditIdle, 0, 0, nullptr, 0.f);
    // The repaint request comes back as an exposure, drawn by the next pass.
    XSync(tovo::gui::dps, False);
    tovo::gui::PumpToolkitEvents();
    XSync(tovo::gui::dps, False);
  }
  plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
}
BENCHMARK(FullRefresh)->Unit(benchmark::kMicrosecond);

// The sound browser opened for a strip of the largest installed device whose names were read before: its
// lists made and fitted, the window shown and drawn; Escape closes it between the runs.
void OpenSoundBrowserOnTheLargestDevice(benchmark::State& state) {
  const std::string device = LargestDevice(vantorine::names::NameCatalog::shared());
  if (device.empty()) return state.SkipWithError("no MIDNAM files on this machine");
  HostWindow host;
  std::unique_ptr<vantorine::VstEffect> plugin = MakeInstance();
  auto* engine = static_cast<VSTPlugin*>(plugin->Plugin());
  engine->EditCurrentPreset([&](VSTPluginProgram&, VSTPluginProgramExtension& extension) {
    StoreDevice(extension, 0, device.c_str());
  });
  Open(*plugin, host.window);
  SPluginPanel* panel = plugin->Plugin()->PluginEditor()->Panel();
  auto close = [&] {
    panel->SoundBrowser()->SoundBox()->KeyStateChanged(tovo::gui::kKeyEscape, true, 0, tovo::gui::kKeySpecial);
    XSync(tovo::gui::dps, False);
  };
  panel->OpenSoundBrowser(0);
  close();
  for (auto _ : state) {
    panel->OpenSoundBrowser(0);
    tovo::gui::PumpToolkitEvents();
    XSync(tovo::gui::dps, False);
    state.PauseTiming();
    close();
    state.ResumeTiming();
  }
  state.SetLabel(device + ", " + std::to_string(panel->SoundBrowser()->SoundList()->LineCount()) + " sounds");
  plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
}
BENCHMARK(OpenSoundBrowserOnTheLargestDevice)->Unit(benchmark::kMillisecond);

void IdlePassWithNothingToDo(benchmark::State& state) {
  HostWindow host;
  std::unique_ptr<vantorine::VstEffect> plugin = MakeInstance();
  Open(*plugin, host.window);
  plugin->Dispatch(effEditIdle, 0, 0, nullptr, 0.f);
  XSync(tovo::gui::dps, False);
  tovo::gui::PumpToolkitEvents();
  for (auto _ : state) plugin->Dispatch(effEditIdle, 0, 0, nullptr, 0.f);
  plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
}
BENCHMARK(IdlePassWithNothingToDo)->Unit(benchmark::kMicrosecond);

// One iteration is two seconds of idling; the counters give the share of one core in percent.
void CoreShareOfAnIdleEditor(benchmark::State& state) {
  HostWindow host;
  std::unique_ptr<vantorine::VstEffect> plugin = MakeInstance();
  Open(*plugin, host.window);
  plugin->Dispatch(effEditIdle, 0, 0, nullptr, 0.f);
  double open = 0, closed = 0;
  for (auto _ : state) {
    open = CoreShareWhileIdling(*plugin, true);
    plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
    closed = CoreShareWhileIdling(*plugin, false);
    Open(*plugin, host.window);
  }
  state.counters["open_percent"] = open * 100;
  state.counters["closed_percent"] = closed * 100;
  plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
}
BENCHMARK(CoreShareOfAnIdleEditor)->Iterations(1)->Unit(benchmark::kMillisecond);

void ForeignEvent(benchmark::State& state) {
  HostWindow host;
  std::unique_ptr<vantorine::VstEffect> plugin = MakeInstance();
  Open(*plugin, host.window);
  XEvent event{};
  event.xmotion.type = MotionNotify;
  event.xmotion.display = host.display;
  event.xmotion.window = host.window;
  for (auto _ : state) benchmark::DoNotOptimize(tovo::gui::SControl::eventProc(&event));
  plugin->Dispatch(effEditClose, 0, 0, nullptr, 0.f);
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
