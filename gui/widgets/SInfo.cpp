// The process's message box and the thread that serves it. A box is usually shown while no editor is open
// (a chunk loaded with the project, a refused start-up), so nobody else would draw it or notice its button:
// while it is shown, a thread of ours reads the toolkit's connection for it, standing back whenever an open
// editor's idle pass is reading that connection anyway.
#include "gui/widgets/SInfo.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "gui/SDisplay.h"
#include "gui/SToolkitLock.h"
#include "gui/XDisplay.h"
#include "gui/widgets/SMessageDialog.h"

#include <X11/Xlib.h>

namespace tovo::gui {

namespace {

// How long the server waits for events in one turn, and how recently an editor must have read the
// connection for the server to leave the reading to it.
constexpr int kServeTurnMs = 20;
constexpr int kEditorServesWithinMs = 100;

// Guarded by the toolkit lock.
SMessageDialog* box = nullptr;

// The server's life: started by SInfo, ended by itself when the box is hidden, or by the release.
std::mutex serverMutex;
std::thread server;
std::atomic<bool> serving{false};
std::atomic<bool> stopServing{false};

// Whether the server should go on; when not, it is marked ended in the same step, so that a box shown again
// meanwhile always finds either a server that will see it or none.
bool KeepServing() {
  std::lock_guard<std::mutex> guard(serverMutex);
  if (!stopServing.load(std::memory_order_acquire)) {
    SToolkitLock inside;
    if (box && box->IsShowing()) return true;
  }
  serving.store(false, std::memory_order_release);
  return false;
}

void Serve() {
  auto deliver = [](XEvent& event) {
    SControl::eventProc(&event);
    return true;
  };
  const SGlobals* scope = box->GetGlobals();
  ScopedDisplay onOurs(dps);
  while (KeepServing()) {
    if (ToolkitEventsServedWithin(kEditorServesWithinMs))
      std::this_thread::sleep_for(std::chrono::milliseconds(kServeTurnMs));
    else
      ServeDisplay(dps, kServeTurnMs, deliver, scope);
  }
}

void StartServer() {
  std::lock_guard<std::mutex> guard(serverMutex);
  if (serving.load(std::memory_order_acquire) || stopServing.load(std::memory_order_acquire)) return;
  if (server.joinable()) server.join();
  serving.store(true, std::memory_order_release);
  server = std::thread(Serve);
}

// Runs while dps is still open, before the library goes.
void ReleaseBox() {
  std::thread ending;
  {
    std::lock_guard<std::mutex> guard(serverMutex);
    stopServing.store(true, std::memory_order_release);
    ending.swap(server);
  }
  if (ending.joinable()) ending.join();
  {
    SToolkitLock inside;
    ScopedDisplay onOurs(dps);
    delete box;
    box = nullptr;
  }
  stopServing.store(false, std::memory_order_release);
}

void WriteToStandardError(const char* message, const char* title) {
  std::fprintf(stderr, "[%s] %s\n", title ? title : "", message ? message : "");
  std::fflush(stderr);
}

}  // namespace

void SInfo(const char* message, const char* title) {
  // Also where the host's log keeps it, and the only trace when there is no X connection.
  WriteToStandardError(message, title);
  if (!dps) return;
  {
    SToolkitLock inside;
    ScopedDisplay onOurs(dps);
    if (!box) {
      box = new SMessageDialog();
      AtToolkitClose(&ReleaseBox);
    }
    box->SetMessage(message, title);
    SDisplay monitors;
    monitors.AllMonitorRects();
    monitors.CenterOnWindow(box);
    XRaiseWindow(dps, box->GetWindow());
    box->ShowDialog();
    XFlush(dps);
  }
  StartServer();
}

SMessageDialog* SInfoBox() {
  SToolkitLock inside;
  return box;
}

bool SInfoShown() {
  SToolkitLock inside;
  return box && box->IsShowing();
}

}  // namespace tovo::gui
