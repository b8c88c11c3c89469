// The five functions whose addresses every effect record carries. Each takes
// the VST 2 effect from the record and calls on it or the plug-in behind it;
// none lets an exception reach the host.
#pragma once

#include "vst/VstInterface.h"

#define VANTORINE_EXPORT extern "C" __attribute__((visibility("default")))

VANTORINE_EXPORT VstIntPtr dispatchEffectClass(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt);
VANTORINE_EXPORT float getParameterClass(AEffect* effect, VstInt32 index);
VANTORINE_EXPORT void setParameterClass(AEffect* effect, VstInt32 index, float value);
VANTORINE_EXPORT void processClass(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
VANTORINE_EXPORT void processClassReplacing(AEffect* effect, float** inputs, float** outputs,
                                            VstInt32 sampleFrames);
