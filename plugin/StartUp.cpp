// The entry point's work and the five functions of every effect record.
#include "plugin/StartUp.h"

#include <new>

#include "data/datastring.h"
#include "gui/widgets/SInfo.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"
#include "plugin/EffectEntry.h"
#include "plugin/ProductInfo.h"
#include "plugin/VSTPlugin.h"
#include "system/SSystemData.h"

namespace vantorine {
namespace {

void ShowStartUpFailure(int status, const SPlugin* plugin) {
  tovo::data::datastring<32, char> message;
  message.Append("Failed to load plugin\n(Reason: ");
  if (status == kSystemNotSupported) {
    message.Append("System not supported").Append("\nPlease check the requirements").Append(")");
  } else if (status == kHostNotSupported) {
    message.Append("Host not supported");
    if (plugin) message.Append(" (").Append(plugin->PluginHostName()).Append(")");
    message.Append(")");
  } else {
    message.Append("Internal Error").Append("\nPlease report to \n").Append(kSupportAddress).Append(")");
  }
  tovo::gui::SInfo(message.Get(), kProductName);
}

}  // namespace

AEffect* CreateEffectInstance(audioMasterCallback audioMaster) {
  if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
  EnsureLibraryLoaded();
  int status = kStartUpOk;
  VSTPlugin* plugin = nullptr;
  try {
    if (tovo::system::sd.Qualifies(false, false)) {
      tovo::system::sd.FeatureMessage();
      plugin = new VSTPlugin(audioMaster, status);
      if (status == kStartUpOk) return plugin->getAeffect();
      if (status == kRefuseSilently) {
        delete plugin;
        return nullptr;
      }
    } else {
      tovo::system::sd.ErrorMessage(false, false);
      status = kSystemNotSupported;
    }
    ShowStartUpFailure(status, plugin);
  } catch (...) {
    // Out of memory while building: the host gets null, never an exception.
  }
  delete plugin;
  return nullptr;
}

namespace {

// The process-wide state every instance shares, in the order it builds on
// itself: the toolkit's connection, the machine's data, the colour table.
// It is set up on the first entry-point call rather than by a load-time
// constructor, because the globals it fills live in other translation units
// whose construction order the loader does not promise. Being a local static,
// it is torn down at unload before any of those globals.
struct LibraryLifetime {
  LibraryLifetime() {
    tovo::gui::OpenToolkitDisplay();
    tovo::system::sd.Gather();
    tovo::gui::context::InitStaticData();
  }
  ~LibraryLifetime() {
    tovo::gui::context::ReleaseStaticData();
    tovo::gui::CloseToolkitDisplay();
  }
};

}  // namespace

void EnsureLibraryLoaded() { static LibraryLifetime lifetime; }

}  // namespace vantorine

namespace {

SPlugin* PluginOf(AEffect* effect) { return effect ? static_cast<SPlugin*>(effect->object) : nullptr; }

}  // namespace

VstIntPtr dispatchEffectClass(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
  SPlugin* plugin = PluginOf(effect);
  if (!plugin) return 0;
  try {
    if (opcode == effClose) {
      plugin->dispatcher(opcode, index, value, ptr, opt);
      delete plugin;
      return 1;
    }
    return plugin->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

float getParameterClass(AEffect* effect, VstInt32 index) {
  SPlugin* plugin = PluginOf(effect);
  return plugin ? plugin->getParameter(index) : 0.f;
}

void setParameterClass(AEffect* effect, VstInt32 index, float value) {
  if (SPlugin* plugin = PluginOf(effect)) plugin->setParameter(index, value);
}

void processClass(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (SPlugin* plugin = PluginOf(effect)) plugin->process(inputs, outputs, sampleFrames);
}

void processClassReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (SPlugin* plugin = PluginOf(effect)) plugin->processReplacing(inputs, outputs, sampleFrames);
}
