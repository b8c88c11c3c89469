// Host detection, opening and closing, and the update requests.
#include "editor/SPluginEditor.h"

#include <cstring>

#include "plugin/SPlugin.h"

namespace {

constexpr int kUnsupportedHostStatus = 3;

struct HostRule {
  const char* productPart;
  int code;
};

// Tested in this order; the first hit wins. Cubase is told apart by version below.
const HostRule kHostRules[] = {{"Samplitude", 10}, {"SAVIHost", 6},  {"Melodyne", 7}, {"Tracktion", 11},
                               {"Cantabile", 5},   {"Phrazor", 12},  {"Usine", 13},   {"energyXT", 2}};

}  // namespace

SPluginEditor::SPluginEditor(SPlugin* owner, tovo::gui::SGlobals* sharedGlobals, int& status)
    : AEffEditor(owner), globals(sharedGlobals), plugin(owner) {
  GetHostApp(status);
}

SPluginEditor::~SPluginEditor() {
  if (IsOpen()) close();
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

bool SPluginEditor::open(void* ptr) {
  AEffEditor::open(ptr);
  parentWindow = reinterpret_cast<unsigned long>(ptr);
  neverOpened = false;
  plugin->SetEditorClosed(false);
  isOpen.store(true, std::memory_order_release);
  postUpdate();
  return true;
}

void SPluginEditor::close() {
  plugin->SetEditorClosed(true);
  isOpen.store(false, std::memory_order_release);
  parentWindow = 0;
  AEffEditor::close();
}

void SPluginEditor::postUpdate() { updateFlag.store(true, std::memory_order_release); }

void SPluginEditor::postUpdateIndexed(int index) {
  if (index < 0 || index >= kIndexCount) return;
  indexFlags[index].store(1, std::memory_order_relaxed);
  indexedUpdatePending.store(true, std::memory_order_release);
}

void SPluginEditor::idle() {
  if (!IsOpen()) return;
  if (updateFlag.exchange(false, std::memory_order_acq_rel))
    update();
  else if (indexedUpdatePending.exchange(false, std::memory_order_acq_rel))
    updateIndexed();
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
