// Identity, capabilities, editor requests and the start/stop of processing.
#include "plugin/SPlugin.h"

#include <dlfcn.h>

#include <cstring>

#include "editor/SPluginEditor.h"
#include "file/SFilePath.h"
#include "gui/XDisplay.h"
#include "gui/context/SGlobals.h"
#include "plugin/EffectEntry.h"
#include "plugin/ProductInfo.h"

namespace {

// The host's events are only ever offered to plug-ins that claim these.
const char* const kCanDoAnswers[] = {"sendVstMidiEvent", "sendVstEvents", "receiveVstEvents",
                                     "receiveVstMidiEvent", "receiveVstTimeInfo"};

const char* const kHostNames[] = {"(unknown)", "Sonar",     "Energy XT", "Project 5",      "FL Studio",
                                  "Cantabile", "SaviHost",  "Melodyne",  "Cubase/Nuendo",  "Cubase4/Nuendo4",
                                  "Samplitude", "Tracktion", "Phrazor",  "Usine"};

}  // namespace

SPlugin::SPlugin(vantorine::PluginHost& pluginHost, int& status) : AudioEffectX(pluginHost, 128, 2) {
  globals = new tovo::gui::SGlobals();
  // The controls find the library's own folder (and what lies beside it) through the globals.
  Dl_info library;
  if (dladdr(reinterpret_cast<void*>(&dispatchEffectClass), &library) && library.dli_fname)
    globals->SetBinaryData(library.dli_fname);
  pluginEditor = new SPluginEditor(this, globals, status);
  setEditor(pluginEditor);
}

SPlugin::~SPlugin() {
  // The editor's controls still use the shared GUI resources, so it goes first.
  delete pluginEditor;
  pluginEditor = nullptr;
  editor = nullptr;
  delete globals;
}

void SPlugin::OpenEditor(void* parent, Display* display) {
  // The first display a host passes stays ours; hosts that pass none leave us on our own connection.
  if (!tovo::gui::dp) tovo::gui::dp = display;
  pluginEditor->open(parent);
}

// Hosts call this every 40 to 70 ms on their editor thread: the editor's work is done here.
void SPlugin::IdleEditor() {
  if (pluginEditor->IsOpen()) pluginEditor->HostIdle();
}

void SPlugin::CloseEditor() { pluginEditor->close(); }

void SPlugin::resume() {
  if (!effectName) {
    char name[128] = {};
    getEffectName(name);
    effectName = std::make_unique<Text>();
    effectName->Append(name);
  }
  if (!pluginDirectory) {
    if (const char* path = getDirectory()) {
      char directory[512] = {};
      tovo::file::SFilePath::GetDir(directory, path, -1);
      pluginDirectory = std::make_unique<Text>();
      pluginDirectory->Append(directory);
    }
  }
  suspended.store(false, std::memory_order_release);
}

void SPlugin::suspend() { suspended.store(true, std::memory_order_release); }

bool SPlugin::getEffectName(char* name) {
  std::strcpy(name, vantorine::kProductName);
  return true;
}

bool SPlugin::getVendorString(char* text) {
  std::strcpy(text, vantorine::kVendorName);
  return true;
}

bool SPlugin::getProductString(char* text) {
  std::strcpy(text, vantorine::kProductName);
  return true;
}

VstInt32 SPlugin::getVendorVersion() { return vantorine::kVendorVersion; }

VstInt32 SPlugin::canDo(char* text) {
  for (const char* answer : kCanDoAnswers)
    if (std::strcmp(text, answer) == 0) return 1;
  return -1;
}

const char* SPlugin::PluginHostName() const {
  if (!pluginEditor) return "";
  const int code = pluginEditor->HostCode();
  const int count = static_cast<int>(sizeof(kHostNames) / sizeof(kHostNames[0]));
  return code >= 0 && code < count ? kHostNames[code] : kHostNames[0];
}

void SPlugin::SetEditorClosed(bool closed) {
  instanceMutex.Lock();
  editorClosed.store(closed, std::memory_order_release);
  instanceMutex.Unlock();
}

void SPlugin::NotifyEditor(int index) {
  if (!pluginEditor || IsEditorClosed()) return;
  if (index < 0)
    pluginEditor->postUpdate();
  else
    pluginEditor->postUpdateIndexed(index);
}
