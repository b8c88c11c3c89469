// The VST 2 plug-in: the effect record a host holds, the numbered requests it sends through the record's
// dispatcher turned into the plug-in's operations, and the host's callback as the plug-in's host. The
// plug-in itself never sees the record, a request number or the callback.
#pragma once

#include <memory>

#include "plugin/PluginHost.h"
#include "vst/VstInterface.h"

class SPlugin;

namespace vantorine {

class VstEffect final : public PluginHost {
 public:
  explicit VstEffect(audioMasterCallback audioMaster);
  ~VstEffect() override;
  VstEffect(const VstEffect&) = delete;
  VstEffect& operator=(const VstEffect&) = delete;

  // The plug-in this record stands for, made with this as its host (the record exists while it is built,
  // so the questions it asks the host carry the record); the record describes it from then on.
  void Adopt(std::unique_ptr<SPlugin> plugin);
  SPlugin* Plugin() const { return plugin.get(); }
  AEffect* Record() { return &record; }
  // The plug-in a record stands for, and its effect; null for a record without one. The record holds the
  // plug-in, not the effect: the processing calls, made for every block, reach it without a step between.
  static SPlugin* PluginOf(AEffect* effect) { return effect ? static_cast<SPlugin*>(effect->object) : nullptr; }
  static VstEffect* Of(AEffect* effect);

  // A host's request. effClose is answered here too; deleting the effect is the caller's.
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  // The plug-in's questions and notices, as the host's callback takes them.
  void ParameterEdited(int index, float value) override;
  bool StateChanged() override;
  bool ResizeEditor(int width, int height) override;
  bool CanResizeEditor() override;
  bool HostVendor(char* text) override;
  bool HostProduct(char* text) override;
  int HostVendorVersion() override;
  const char* LibraryPath() override;
  bool SendEvents(VstEvents* events) override;

 private:
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0);
  VstIntPtr DispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  AEffect record;
  audioMasterCallback audioMaster;
  std::unique_ptr<SPlugin> plugin;
};

}  // namespace vantorine
