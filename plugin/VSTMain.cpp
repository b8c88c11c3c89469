// The library's exported entry points. Many 64-bit hosts look only for
// VSTPluginMain; older ones call main. The symbol main cannot be written as a
// C++ function with this signature, so it is an assembler name for ours.
#include "plugin/EffectEntry.h"
#include "plugin/StartUp.h"

VANTORINE_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster);
VANTORINE_EXPORT AEffect* vantorine_main_entry(audioMasterCallback audioMaster) __asm__("main");

AEffect* VSTPluginMain(audioMasterCallback audioMaster) { return vantorine::CreateEffectInstance(audioMaster); }

AEffect* vantorine_main_entry(audioMasterCallback audioMaster) {
  return vantorine::CreateEffectInstance(audioMaster);
}
