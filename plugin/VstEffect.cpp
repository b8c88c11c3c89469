// The VST 2 plug-in: see VstEffect.h.
#include "plugin/VstEffect.h"

#include <cstring>

#include "plugin/AEffEditor.h"
#include "plugin/EffectEntry.h"
#include "plugin/ProductInfo.h"
#include "plugin/SPlugin.h"

namespace vantorine {
namespace {

constexpr VstInt32 kFlags = effFlagsIsSynth | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsCanMono;

}  // namespace

VstEffect::VstEffect(audioMasterCallback host) : audioMaster(host) {
  std::memset(&record, 0, sizeof(record));
  record.magic = kEffectMagic;
  record.dispatcher = dispatchEffectClass;
  record.process = processClass;
  record.setParameter = setParameterClass;
  record.getParameter = getParameterClass;
  record.processReplacing = processClassReplacing;
  record.numInputs = 2;
  record.numOutputs = 2;
  record.flags = kFlags;
  record.ioRatio = 1.f;
  record.uniqueID = kUniqueId;
  record.version = 1;
}

VstEffect::~VstEffect() = default;

void VstEffect::Adopt(std::unique_ptr<SPlugin> made) {
  plugin = std::move(made);
  record.object = plugin.get();
  record.numPrograms = plugin->ProgramCount();
  record.numParams = plugin->ParameterCount();
  if (plugin->getEditor())
    record.flags |= effFlagsHasEditor;
  else
    record.flags &= ~effFlagsHasEditor;
}

// Only an effect adopts a plug-in into its record, so the plug-in's host is that effect.
VstEffect* VstEffect::Of(AEffect* effect) {
  SPlugin* plugin = PluginOf(effect);
  return plugin ? static_cast<VstEffect*>(&plugin->Host()) : nullptr;
}

VstIntPtr VstEffect::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (!audioMaster) return 0;
  return audioMaster(&record, opcode, index, value, ptr, opt);
}

void VstEffect::ParameterEdited(int index, float value) { CallHost(audioMasterAutomate, index, 0, nullptr, value); }

bool VstEffect::StateChanged() { return CallHost(audioMasterUpdateDisplay) != 0; }

bool VstEffect::ResizeEditor(int width, int height) { return CallHost(audioMasterSizeWindow, width, height) != 0; }

bool VstEffect::CanResizeEditor() {
  char sizeWindow[] = "sizeWindow";
  return CallHost(audioMasterCanDo, 0, 0, sizeWindow) == 1;
}

bool VstEffect::HostVendor(char* text) { return CallHost(audioMasterGetVendorString, 0, 0, text) != 0; }

bool VstEffect::HostProduct(char* text) { return CallHost(audioMasterGetProductString, 0, 0, text) != 0; }

int VstEffect::HostVendorVersion() { return static_cast<int>(CallHost(audioMasterGetVendorVersion)); }

const char* VstEffect::LibraryPath() { return reinterpret_cast<const char*>(CallHost(audioMasterGetDirectory)); }

bool VstEffect::SendEvents(VstEvents* events) { return CallHost(audioMasterProcessEvents, 0, 0, events) == 1; }

VstIntPtr VstEffect::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effOpen:
      plugin->open();
      return 0;
    case effClose:
      plugin->close();
      return 0;
    case effSetProgram:
      if (value < plugin->ProgramCount()) plugin->setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return plugin->getProgram();
    case effSetProgramName:
      if (text) plugin->setProgramName(text);
      return 0;
    case effGetProgramName:
      if (text) plugin->getProgramName(text);
      return 0;
    case effGetParamLabel:
      if (text) plugin->getParameterLabel(index, text);
      return 0;
    case effGetParamDisplay:
      if (text) plugin->getParameterDisplay(index, text);
      return 0;
    case effGetParamName:
      if (text) plugin->getParameterName(index, text);
      return 0;
    case effGetVu:
      return static_cast<VstIntPtr>(plugin->getVu() * 32767.f);
    case effSetSampleRate:
      plugin->setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      plugin->setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (!value) {
        plugin->suspend();
        return 0;
      }
      plugin->resume();
      // Hosts of the first interface version hand over MIDI only to a plug-in that asks each time.
      CallHost(audioMasterWantMidi, 0, 1);
      return 0;
    case effIdentify:
      return VstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
      return ptr ? plugin->getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
      // The size travels in the pointer-sized value; a chunk never needs more than 32 bits.
      if (!ptr || value < 0 || value > INT32_MAX) return 0;
      return plugin->setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    case effProcessEvents:
      return ptr ? plugin->processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
      return plugin->canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
      return plugin->string2parameter(index, text) ? 1 : 0;
    case effGetNumProgramCategories:
      return plugin->getNumCategories();
    case effGetProgramNameIndexed:
      return text && plugin->getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effCopyProgram:
      return plugin->copyProgram(index) ? 1 : 0;
    case effConnectInput:
      plugin->inputConnected(index, value != 0);
      return 1;
    case effConnectOutput:
      plugin->outputConnected(index, value != 0);
      return 1;
    case effGetInputProperties:
      return plugin->getInputProperties(index, ptr) ? 1 : 0;
    case effGetOutputProperties:
      return plugin->getOutputProperties(index, ptr) ? 1 : 0;
    case effGetPlugCategory:
      return (record.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
    case effSetBlockSizeAndSampleRate:
      plugin->setBlockSize(static_cast<VstInt32>(value));
      plugin->setSampleRate(opt);
      return 1;
    case effSetBypass:
      return plugin->setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
      return text && plugin->getEffectName(text) ? 1 : 0;
    case effGetVendorString:
      return text && plugin->getVendorString(text) ? 1 : 0;
    case effGetProductString:
      return text && plugin->getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
      return plugin->getVendorVersion();
    case effCanDo:
      return text ? plugin->canDo(text) : 0;
    case effGetTailSize:
      return plugin->getGetTailSize();
    case effKeysRequired:
      return plugin->keysRequired() ? 0 : 1;
    case effGetVstVersion:
      return plugin->getVstVersion();
    case effStartProcess:
      return plugin->startProcess();
    case effStopProcess:
      return plugin->stopProcess();
    default:
      return DispatchEditor(opcode, index, value, ptr, opt);
  }
}

// The editor's requests, which hosts send on the one thread they drive the editor from.
VstIntPtr VstEffect::DispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  switch (opcode) {
    case effEditGetRect:
      if (!ptr) return 0;
      *static_cast<ERect**>(ptr) = &plugin->EditorRect();
      return reinterpret_cast<VstIntPtr>(&plugin->EditorRect());
    case effEditOpen:
      if (!ptr) return 0;
      plugin->OpenEditor(ptr, reinterpret_cast<Display*>(value));
      return 1;
    case effEditClose:
      plugin->CloseEditor();
      return 1;
    case effEditIdle:
      plugin->IdleEditor();
      return 0;
    case effEditKeyDown:
    case effEditKeyUp: {
      AEffEditor* editor = plugin->getEditor();
      if (!editor) return 0;
      VstKeyCode key{index, static_cast<unsigned char>(value), static_cast<unsigned char>(opt)};
      return opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
    }
    case effSetEditKnobMode:
      return plugin->getEditor() ? plugin->getEditor()->setKnobMode(static_cast<VstInt32>(value)) : 0;
    default:
      return 0;
  }
}

}  // namespace vantorine
