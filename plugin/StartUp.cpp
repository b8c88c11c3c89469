// The entry point's work and the five functions of every effect record.
#include "plugin/StartUp.h"

#include <mutex>
#include <new>

#include "data/datastring.h"
#include "gui/widgets/SInfo.h"
#include "gui/XDisplay.h"
#include "gui/context/SStaticData.h"
#include "plugin/EffectEntry.h"
#include "plugin/ProductInfo.h"
#include "plugin/VSTPlugin.h"
#include "plugin/VstEffect.h"
#include "system/SSystemData.h"

namespace vantorine {
namespace {

void ShowStartUpFailure(int status, const SPlugin* plugin) {
  tovo::data::datastring<32, char> message;
  message.Append("Failed to load plugin\n(Reason: ").Append(StartUpReason(status));
  if (status == kSystemNotSupported) {
    message.Append("\nPlease check the requirements").Append(")");
  } else if (status == kHostNotSupported) {
    if (plugin) message.Append(" (").Append(plugin->PluginHostName()).Append(")");
    message.Append(")");
  } else {
    message.Append("\nPlease report to \n").Append(kSupportAddress).Append(")");
  }
  tovo::gui::SInfo(message.Get(), kProductName);
}

}  // namespace

const char* StartUpReason(int status) {
  if (status == kSystemNotSupported) return "System not supported";
  if (status == kHostNotSupported) return "Host not supported";
  return "Internal Error";
}

std::unique_ptr<VSTPlugin> CreatePlugin(PluginHost& host, int& status, std::unique_ptr<VSTPlugin>* refused) {
  EnsureLibraryLoaded();
  status = kStartUpOk;
  if (refused) refused->reset();
  if (!tovo::system::sd.Qualifies(false, false)) {
    status = kSystemNotSupported;
    return nullptr;
  }
  std::unique_ptr<VSTPlugin> plugin;
  try {
    plugin = std::make_unique<VSTPlugin>(host, status);
  } catch (...) {
    // Out of memory while building: the caller gets null, never an exception.
    status = kOutOfMemory;
    return nullptr;
  }
  if (status == kStartUpOk) return plugin;
  // The refusal's message names the host the instance detected, so it lives until then.
  if (refused && status != kRefuseSilently) *refused = std::move(plugin);
  return nullptr;
}

AEffect* CreateEffectInstance(audioMasterCallback audioMaster) {
  if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
  // A VST 2 host shows the editor on the toolkit's connection, and the user any refusal in a message box.
  OpenToolkit();
  try {
    auto effect = std::make_unique<VstEffect>(audioMaster);
    int status = kStartUpOk;
    std::unique_ptr<VSTPlugin> refused;
    if (std::unique_ptr<VSTPlugin> plugin = CreatePlugin(*effect, status, &refused)) {
      effect->Adopt(std::move(plugin));
      tovo::system::sd.FeatureMessage();
      return effect.release()->Record();
    }
    if (status == kSystemNotSupported) tovo::system::sd.ErrorMessage(false, false);
    if (status != kRefuseSilently && status != kOutOfMemory) ShowStartUpFailure(status, refused.get());
  } catch (...) {
    // Out of memory while telling the user: the host gets null, never an exception.
  }
  return nullptr;
}

namespace {

// The process-wide state every instance shares, in the order it builds on
// itself: the machine's data, then, once something opens it, the toolkit's connection and the colour table,
// which are released with it.
// It is set up on the first entry-point call rather than by a load-time
// constructor, because the globals it fills live in other translation units
// whose construction order the loader does not promise. Being a local static,
// it is torn down at unload before any of those globals.
struct LibraryLifetime {
  LibraryLifetime() { tovo::system::sd.Gather(); }
  ~LibraryLifetime() {
    tovo::gui::context::ReleaseStaticData();
    tovo::gui::CloseToolkitDisplay();
  }
};

}  // namespace

void EnsureLibraryLoaded() { static LibraryLifetime lifetime; }

bool OpenToolkit() {
  EnsureLibraryLoaded();
  // Editors of several instances may open on several host threads.
  static std::mutex opening;
  std::lock_guard<std::mutex> guard(opening);
  if (!tovo::gui::OpenToolkitDisplay()) return false;
  // The colours are the server's pixel values, so they are looked up once it answers.
  tovo::gui::context::InitStaticData();
  return true;
}

}  // namespace vantorine

using vantorine::VstEffect;

VstIntPtr dispatchEffectClass(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
  VstEffect* self = VstEffect::Of(effect);
  if (!self) return 0;
  try {
    if (opcode == effClose) {
      self->Dispatch(opcode, index, value, ptr, opt);
      delete self;
      return 1;
    }
    return self->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

float getParameterClass(AEffect* effect, VstInt32 index) {
  SPlugin* plugin = VstEffect::PluginOf(effect);
  return plugin ? plugin->getParameter(index) : 0.f;
}

void setParameterClass(AEffect* effect, VstInt32 index, float value) {
  if (SPlugin* plugin = VstEffect::PluginOf(effect)) plugin->setParameter(index, value);
}

void processClass(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (SPlugin* plugin = VstEffect::PluginOf(effect)) plugin->process(inputs, outputs, sampleFrames);
}

void processClassReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (SPlugin* plugin = VstEffect::PluginOf(effect)) plugin->processReplacing(inputs, outputs, sampleFrames);
}
