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
  record.object = this;
  record.uniqueID = kUniqueId;
  record.version = 1;
}

VstEffect::~VstEffect() = default;

void VstEffect::Adopt(std::unique_ptr<SPlugin> made) {
  plugin = std::move(made);
  record.numPrograms = plugin->ProgramCount();
  record.numParams = plugin->ParameterCount();
  if (plugin->getEditor())
    record.flags |= effFlagsHasEditor;
  else
    record.flags &= ~effFlagsHasEditor;
}

VstEffect* VstEffect::Of(AEffect* effect) {
  auto* self = effect ? static_cast<VstEffect*>(effect->object) : nullptr;
  return self && self->plugin ? self : nullptr;
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
  SPlugin& effect = *plugin;
  char* text = static_cast<char*>(ptr);
  switch (opcode) {
    case effOpen:
      effect.open();
      return 0;
    case effClose:
      effect.close();
      return 0;
    case effSetProgram:
      if (value < effect.ProgramCount()) effect.setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram:
      return effect.getProgram();
    case effSetProgramName:
      if (text) effect.setProgramName(text);
      return 0;
    case effGetProgramName:
      if (text) effect.getProgramName(text);
      return 0;
    case effGetParamLabel:
      if (text) effect.getParameterLabel(index, text);
      return 0;
    case effGetParamDisplay:
      if (text) effect.getParameterDisplay(index, text);
      return 0;
    case effGetParamName:
      if (text) effect.getParameterName(index, text);
      return 0;
    case effGetVu:
      return static_cast<VstIntPtr>(effect.getVu() * 32767.f);
    case effSetSampleRate:
      effect.setSampleRate(opt);
      return 0;
    case effSetBlockSize:
      effect.setBlockSize(static_cast<VstInt32>(value));
      return 0;
    case effMainsChanged:
      if (!value) {
        effect.suspend();
        return 0;
      }
      effect.resume();
      // Hosts of the first interface version hand over MIDI only to a plug-in that asks each time.
      CallHost(audioMasterWantMidi, 0, 1);
      return 0;
    case effIdentify:
      return VstFourCC('N', 'v', 'E', 'f');
    case effGetChunk:
      return ptr ? effect.getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk:
      // The size travels in the pointer-sized value; a chunk never needs more than 32 bits.
      if (!ptr || value < 0 || value > INT32_MAX) return 0;
      return effect.setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    case effProcessEvents:
      return ptr ? effect.processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated:
      return effect.canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
      return effect.string2parameter(index, text) ? 1 : 0;
    case effGetNumProgramCategories:
      return effect.getNumCategories();
    case effGetProgramNameIndexed:
      return text && effect.getProgramNameIndexed(static_cast<VstInt32>(value), index, text) ? 1 : 0;
    case effCopyProgram:
      return effect.copyProgram(index) ? 1 : 0;
    case effConnectInput:
      effect.inputConnected(index, value != 0);
      return 1;
    case effConnectOutput:
      effect.outputConnected(index, value != 0);
      return 1;
    case effGetInputProperties:
      return effect.getInputProperties(index, ptr) ? 1 : 0;
    case effGetOutputProperties:
      return effect.getOutputProperties(index, ptr) ? 1 : 0;
    case effGetPlugCategory:
      return (record.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
    case effSetBlockSizeAndSampleRate:
      effect.setBlockSize(static_cast<VstInt32>(value));
      effect.setSampleRate(opt);
      return 1;
    case effSetBypass:
      return effect.setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
      return text && effect.getEffectName(text) ? 1 : 0;
    case effGetVendorString:
      return text && effect.getVendorString(text) ? 1 : 0;
    case effGetProductString:
      return text && effect.getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
      return effect.getVendorVersion();
    case effCanDo:
      return text ? effect.canDo(text) : 0;
    case effGetTailSize:
      return effect.getGetTailSize();
    case effKeysRequired:
      return effect.keysRequired() ? 0 : 1;
    case effGetVstVersion:
      return effect.getVstVersion();
    case effStartProcess:
      return effect.startProcess();
    case effStopProcess:
      return effect.stopProcess();
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
