// Host detection, opening and closing, sizing, the idle pass and the update requests.
#include "editor/SPluginEditor.h"

#include <X11/Xlib.h>

#include <cstring>

#include "editor/SPluginPanel.h"
#include "gui/SCursor.h"
#include "gui/SToolkitLock.h"
#include "gui/XDisplay.h"
#include "gui/XErrorTrap.h"
#include "gui/context/SGlobals.h"
#include "plugin/ProductInfo.h"
#include "plugin/SPlugin.h"
#include "plugin/VSTPlugin.h"
#include "threading/STimer.h"

using tovo::gui::SToolkitLock;

namespace {

constexpr int kUnsupportedHostStatus = 3;
constexpr int kPanelStyle = 0x80001;
constexpr int kIdleInterval = 22;
// How long a host may send no effEditIdle before the idle thread does the idle pass itself.
constexpr int64_t kHostIdleSilenceMs = 500;

struct HostRule {
  const char* productPart;
  int code;
};

// Tested in this order; the first hit wins. Cubase is told apart by version below.
const HostRule kHostRules[] = {{"Samplitude", 10}, {"SAVIHost", 6},  {"Melodyne", 7}, {"Tracktion", 11},
                               {"Cantabile", 5},   {"Phrazor", 12},  {"Usine", 13},   {"energyXT", 2}};

int64_t NowMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// "Vantorine (<next random integer>)": top-level windows of several instances never share a name.
tovo::data::datastring<32, char> WindowName(tovo::gui::SGlobals* globals) {
  tovo::data::datastring<32, char> name;
  name.Append(vantorine::kProductName).Append(" (").Append(64, "%i", globals->GetRandom().Integer()).Append(")");
  return name;
}

}  // namespace

SPluginEditor::SPluginEditor(SPlugin* owner, tovo::gui::SGlobals* sharedGlobals, int& status)
    : AEffEditor(owner), globals(sharedGlobals), plugin(owner) {
  // The panel is served from the host's thread and the message box from ours.
  XInitThreads();
  GetHostApp(status);
}

SPluginEditor::~SPluginEditor() {
  if (IsOpen()) close();
  SToolkitLock inside;
  delete cursor;
  cursor = nullptr;
  delete panel;
  panel = nullptr;
  delete holder;
  holder = nullptr;
}

int SPluginEditor::GetHostApp(int& status) {
  if (!plugin) return hostCode;
  // Hosts scanning plug-ins may answer nothing and leave the buffers as they were.
  char vendor[128] = {};
  char product[128] = {};
  plugin->getHostVendorString(vendor);
  plugin->getHostProductString(product);
  product[sizeof(product) - 1] = 0;
  hostCode = 0;
  if (product[0] == 0) return hostCode;
  if (std::strstr(product, "Cubase")) {
    hostCode = plugin->getHostVendorVersion() > 8199 ? 9 : 8;
    return hostCode;
  }
  for (const HostRule& rule : kHostRules) {
    if (std::strstr(product, rule.productPart)) {
      hostCode = rule.code;
      break;
    }
  }
  if (hostCode == 13) status = kUnsupportedHostStatus;
  return hostCode;
}

// --- Opening and closing ---------------------------------------------------------------------------------

bool SPluginEditor::open(void* ptr) {
  SToolkitLock inside;
  // Hosts install their own X error handler after loading us; ours goes in front again.
  tovo::gui::InstallErrorHandler();
  AEffEditor::open(ptr);
  parentWindow = reinterpret_cast<unsigned long>(ptr);
  globals->SetParentWindow(parentWindow);
  if (const auto* name = plugin->EffectName()) globals->SetFileName(name->Get());
  if (const auto* directory = plugin->PluginDirectory()) globals->SetDirectory(directory->Get());

  // A host may have destroyed its window, and our panel inside it, without closing the editor first.
  if (panel && !PanelWindowAlive()) {
    delete panel;
    panel = nullptr;
  }
  if (!panel) {
    SetSize(kWidth, kHeight);
    CreatePanel();
  }
  // Made in the holder and reparented on every open, the first included: some hosts read the panel's
  // "_XEventProc" only when they see a window reparented into theirs.
  panel->Reparent(static_cast<int>(parentWindow));
  SetSize(kWidth, kHeight);

  cursor = new tovo::gui::SCursor();
  cursor->Bind(parentWindow);
  cursor->CreateDefault();
  globals->SetCursor(cursor);

  panel->Show();
  neverOpened = false;
  panel->CreateIdleTimer(kIdleInterval, false);
  panel->CreateIdleFunction(&idleRecord.function, this);
  plugin->SetEditorClosed(false);
  lastHostIdle.store(NowMilliseconds(), std::memory_order_release);
  isOpen.store(true, std::memory_order_release);
  postUpdate();
  if (Display* display = tovo::gui::CurrentDisplay()) XFlush(display);
  return true;
}

void SPluginEditor::CreatePanel() {
  if (!holder) {
    holder = new tovo::gui::SControl(globals, nullptr, 0, WindowName(globals).Get(), 0, 0, 0, kWidth, kHeight, 0,
                                     false);
    holder->SetSize(kWidth, kHeight);
    holderWindow = holder->GetWindow();
  }
  panel = new SPluginPanel(globals, nullptr, 0, WindowName(globals).Get(), kPanelStyle, 0, 0, kWidth, kHeight,
                           static_cast<int>(holderWindow), false);
  panel->SetEditor(this);
  panel->SetPlugin(dynamic_cast<VSTPlugin*>(plugin));
  panel->LoadControls();
}

bool SPluginEditor::PanelWindowAlive() const {
  Display* display = tovo::gui::CurrentDisplay();
  if (!display || !panel->GetWindow()) return false;
  XWindowAttributes attributes;
  tovo::gui::XErrorTrap trap;
  const Status status = XGetWindowAttributes(display, panel->GetWindow(), &attributes);
  return status != 0 && !trap.Failed();
}

void SPluginEditor::close() {
  plugin->SetEditorClosed(true);
  // Waits for any pass that is inside the panel; none starts once the editor is marked closed.
  SToolkitLock inside;
  isOpen.store(false, std::memory_order_release);
  if (!panel) return;
  panel->DestroyIdleTimer();
  panel->Reparent(static_cast<int>(holderWindow));
  parentWindow = 0;
  globals->SetParentWindow(0);
  globals->SetCursor(nullptr);
  delete cursor;
  cursor = nullptr;
  AEffEditor::close();
  // Hosts destroy their window right after the close, on a connection of their own: the panel must be in
  // the holder by then, or it goes with their window.
  if (Display* display = tovo::gui::CurrentDisplay()) XSync(display, False);
}

// --- Size ------------------------------------------------------------------------------------------------

void SPluginEditor::SetSize(int width, int height) {
  ERect& rect = plugin->EditorRect();
  rect = ERect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
  if (!plugin->canHostResizeEditor()) {
    Display* display = tovo::gui::CurrentDisplay();
    if (display && parentWindow)
      XResizeWindow(display, parentWindow, static_cast<unsigned>(width), static_cast<unsigned>(height));
  }
  plugin->sizeWindow(width, height);
  if (panel) panel->SetSize(width, height);
}

// --- The idle pass ---------------------------------------------------------------------------------------

void SPluginEditor::HostIdle() {
  lastHostIdle.store(NowMilliseconds(), std::memory_order_release);
  SToolkitLock inside;
  ServeIdle();
}

void SPluginEditor::idlestatic(void* data) {
  if (data) static_cast<SPluginEditor*>(data)->IdleFromIdleThread();
}

void SPluginEditor::IdleFromIdleThread() {
  if (!IsOpen()) return;
  // The host's connection belongs to the host's thread: only on our own connection may we stand in.
  if (tovo::gui::dp) return;
  if (NowMilliseconds() - lastHostIdle.load(std::memory_order_acquire) < kHostIdleSilenceMs) return;
  // Never waits: close() holds the lock while it stops this thread.
  SToolkitLock inside(std::try_to_lock);
  if (inside.Owns()) ServeIdle();
}

void SPluginEditor::ServeIdle() {
  if (!IsOpen()) return;
  tovo::gui::PumpToolkitEvents();
  tovo::threading::DeliverDueTimers(globals);
  idle();
}

void SPluginEditor::idle() {
  if (!IsOpen()) return;
  if (updateFlag.exchange(false, std::memory_order_acq_rel))
    update();
  else if (indexedUpdatePending.exchange(false, std::memory_order_acq_rel))
    updateIndexed();
}

void SPluginEditor::idleslow() {
  if (panel) panel->TimerProc(0);
}

// --- Update requests -------------------------------------------------------------------------------------

void SPluginEditor::postUpdate() { updateFlag.store(true, std::memory_order_release); }

void SPluginEditor::postUpdateIndexed(int index) {
  if (index < 0 || index >= kIndexCount) return;
  indexFlags[index].store(1, std::memory_order_relaxed);
  indexedUpdatePending.store(true, std::memory_order_release);
}

void SPluginEditor::update() {
  if (!IsOpen()) return;
  for (auto& flag : indexFlags) flag.store(0, std::memory_order_relaxed);
  RefreshControls(-1);
}

void SPluginEditor::updateIndexed() {
  if (!IsOpen()) return;
  for (int index = 0; index < kIndexCount; ++index)
    if (indexFlags[index].exchange(0, std::memory_order_relaxed)) RefreshControls(index);
}

void SPluginEditor::updateAtIndex(int index) {
  if (!IsOpen() || index < 0 || index >= kIndexCount) return;
  indexFlags[index].store(0, std::memory_order_relaxed);
  RefreshControls(index);
}

void SPluginEditor::RefreshControls(long index) {
  if (panel) panel->RefreshControls(index);
}
