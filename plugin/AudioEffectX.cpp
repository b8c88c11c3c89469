// The second half of the plug-in's base.
#include "plugin/AudioEffectX.h"

AudioEffectX::AudioEffectX(vantorine::PluginHost& pluginHost, VstInt32 programs, VstInt32 params)
    : AudioEffect(pluginHost, programs, params) {}
