// An LV2 host's UI side, as the hosts our users have run an X11 UI: a window of the host's own (on its own
// X connection) as ui:parent, the plug-in instance through instance-access, ui:resize that resizes that
// window, and every call into the UI (instantiate, port_event, idle at 30 Hz, cleanup) on a UI thread that
// is not the test's main thread. The UI hands no X events over: it reads its own connection in idle().
#pragma once

#include <lv2/ui/ui.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "tests/lv2/LV2TestHost.h"

typedef struct _XDisplay Display;

namespace lv2test {

struct PortWrite {
  uint32_t port;
  float value;
};

using Size = std::pair<int, int>;

// A size the UI asked for through ui:resize, and its window's WM_NORMAL_HINTS as the host read them on its
// own connection inside that call (flags 0 when it found no window of the UI's).
struct SizeRequest {
  Size size;
  long hintFlags;
  Size maxSize, baseSize;
};

class LV2UIHost {
 public:
  LV2UIHost(LV2World& world, LV2Instance& instance);
  ~LV2UIHost();
  LV2UIHost(const LV2UIHost&) = delete;
  LV2UIHost& operator=(const LV2UIHost&) = delete;

  // The host's window: created, mapped at the screen's corner; open() embeds the UI in it.
  bool open();
  void close();
  // The host destroys its window first (as when a plug-in window is closed), then cleans the UI up.
  void destroyWindowThenClose();
  bool isOpen() const { return ui != nullptr; }
  unsigned long widget() const { return widgetWindow; }
  unsigned long parent() const { return parentWindow; }

  // The host tells the UI a port's value, as after it changed the control.
  void portEvent(uint32_t port, float value);
  // Waits until the UI thread has made `count` more idle calls.
  void waitForIdles(int count);
  // An idle call on the UI thread now, without waiting for the next one due.
  void idleNow();
  // What the UI wrote to ports since the last take, and every size it asked for.
  std::vector<PortWrite> takePortWrites();
  std::vector<SizeRequest> resizeRequests();

 private:
  static int Resize(LV2UI_Feature_Handle handle, int width, int height);
  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer);
  // Runs `task` on the UI thread and waits for it.
  void onUiThread(const std::function<void()>& task);
  void loop();

  LV2Instance& plugin;
  const LV2UI_Descriptor* descriptor = nullptr;
  void* library = nullptr;
  std::string bundlePath;
  Display* display = nullptr;  // the host's connection, used on the UI thread only
  unsigned long parentWindow = 0;
  unsigned long widgetWindow = 0;
  LV2UI_Handle ui = nullptr;
  const LV2UI_Idle_Interface* idle = nullptr;
  LV2UI_Resize resize{};  // feature data lives as long as the UI

  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::function<void()>> tasks;
  long idles = 0;
  bool stopping = false;
  std::vector<PortWrite> writes;
  std::vector<SizeRequest> sizes;
  std::thread thread;
};

}  // namespace lv2test
