// The test host's UI thread, its window and the features it gives the UI.
#include "tests/lv2/LV2UIHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <lv2/instance-access/instance-access.h>

#include <chrono>
#include <cstring>

namespace lv2test {

namespace {

constexpr auto kIdleInterval = std::chrono::milliseconds(33);

}  // namespace

LV2UIHost::LV2UIHost(LV2World& world, LV2Instance& instance) : plugin(instance) {
  LilvUIs* uis = lilv_plugin_get_uis(world.plugin());
  LILV_FOREACH(uis, i, uis) {
    const LilvUI* found = lilv_uis_get(uis, i);
    char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(found)), nullptr);
    char* bundle = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_bundle_uri(found)), nullptr);
    library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    bundlePath = bundle;
    lilv_free(path);
    lilv_free(bundle);
    break;
  }
  lilv_uis_free(uis);
  if (!library) return;
  using Entry = const LV2UI_Descriptor* (*)(uint32_t);
  if (auto entry = reinterpret_cast<Entry>(dlsym(library, "lv2ui_descriptor"))) descriptor = entry(0);
  thread = std::thread([this] { loop(); });
}

LV2UIHost::~LV2UIHost() {
  close();
  {
    std::lock_guard<std::mutex> guard(lock);
    stopping = true;
  }
  changed.notify_all();
  if (thread.joinable()) thread.join();
  if (library) dlclose(library);
}

void LV2UIHost::loop() {
  XInitThreads();
  display = XOpenDisplay(nullptr);
  std::unique_lock<std::mutex> guard(lock);
  while (!stopping) {
    changed.wait_for(guard, kIdleInterval, [this] { return stopping || !tasks.empty(); });
    while (!tasks.empty()) {
      std::function<void()> task = std::move(tasks.front());
      tasks.pop_front();
      guard.unlock();
      task();
      guard.lock();
    }
    if (ui && idle) {
      guard.unlock();
      idle->idle(ui);
      guard.lock();
      ++idles;
      changed.notify_all();
    }
  }
  guard.unlock();
  if (display) XCloseDisplay(display);
}

void LV2UIHost::onUiThread(const std::function<void()>& task) {
  bool done = false;
  std::unique_lock<std::mutex> guard(lock);
  tasks.push_back([&] {
    task();
    std::lock_guard<std::mutex> inner(lock);
    done = true;
    changed.notify_all();
  });
  changed.notify_all();
  changed.wait(guard, [&] { return done; });
}

bool LV2UIHost::open() {
  if (!descriptor) return false;
  onUiThread([this] {
    if (!display) return;
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    parentWindow = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 400, 300, 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(display, parentWindow);
    XSync(display, False);
    resize = {this, &LV2UIHost::Resize};
    const LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(parentWindow)};
    const LV2_Feature instanceFeature = {LV2_INSTANCE_ACCESS_URI, plugin.handle()};
    const LV2_Feature resizeFeature = {LV2_UI__resize, &resize};
    const LV2_Feature* features[] = {&parentFeature, &instanceFeature, &resizeFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    ui = descriptor->instantiate(descriptor, vantorine::lv2::kPluginUri, bundlePath.c_str(),
                                 &LV2UIHost::Write, this, &widget, features);
    widgetWindow = reinterpret_cast<unsigned long>(widget);
    idle = ui ? static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface))
              : nullptr;
  });
  return ui != nullptr;
}

void LV2UIHost::close() {
  onUiThread([this] {
    if (ui) descriptor->cleanup(ui);
    ui = nullptr;
    idle = nullptr;
    widgetWindow = 0;
    if (parentWindow) XDestroyWindow(display, parentWindow);
    parentWindow = 0;
    if (display) XSync(display, False);
  });
}

void LV2UIHost::destroyWindowThenClose() {
  onUiThread([this] {
    if (parentWindow) XDestroyWindow(display, parentWindow);
    parentWindow = 0;
    XSync(display, False);
  });
  close();
}

void LV2UIHost::portEvent(uint32_t port, float value) {
  onUiThread([&] {
    if (ui) descriptor->port_event(ui, port, sizeof(value), 0, &value);
  });
}

void LV2UIHost::waitForIdles(int count) {
  std::unique_lock<std::mutex> guard(lock);
  const long until = idles + count;
  changed.wait_for(guard, std::chrono::seconds(10), [&] { return idles >= until || !ui; });
}

void LV2UIHost::idleNow() {
  onUiThread([&] {
    if (ui && idle) idle->idle(ui);
  });
}

std::vector<PortWrite> LV2UIHost::takePortWrites() {
  std::lock_guard<std::mutex> guard(lock);
  std::vector<PortWrite> taken;
  taken.swap(writes);
  return taken;
}

std::vector<SizeRequest> LV2UIHost::resizeRequests() {
  std::lock_guard<std::mutex> guard(lock);
  return sizes;
}

// On the UI thread, inside a call into the UI: the host reads the UI window's size hints and resizes its
// window, as suil-based hosts do.
int LV2UIHost::Resize(LV2UI_Feature_Handle handle, int width, int height) {
  auto* self = static_cast<LV2UIHost*>(handle);
  SizeRequest request{{width, height}, 0, {}, {}};
  if (self->parentWindow) {
    // The UI's window is the only child of ui:parent; its id reaches the host only when instantiate returns.
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    XSizeHints hints{};
    long supplied = 0;
    if (XQueryTree(self->display, self->parentWindow, &root, &parent, &children, &count) && count == 1 &&
        XGetWMNormalHints(self->display, children[0], &hints, &supplied)) {
      request.hintFlags = hints.flags;
      request.maxSize = {hints.max_width, hints.max_height};
      request.baseSize = {hints.base_width, hints.base_height};
    }
    if (children) XFree(children);
    XResizeWindow(self->display, self->parentWindow, width, height);
    XFlush(self->display);
  }
  std::lock_guard<std::mutex> guard(self->lock);
  self->sizes.push_back(request);
  return 0;
}

void LV2UIHost::Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                      const void* buffer) {
  auto* self = static_cast<LV2UIHost*>(controller);
  if (format != 0 || size != sizeof(float)) return;
  float value;
  std::memcpy(&value, buffer, sizeof(value));
  std::lock_guard<std::mutex> guard(self->lock);
  self->writes.push_back({port, value});
}

}  // namespace lv2test
