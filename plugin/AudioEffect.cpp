// The plug-in base: the editor it owns, and the edit that the host hears of.
#include "plugin/AudioEffect.h"

#include "plugin/AEffEditor.h"

AudioEffect::AudioEffect(vantorine::PluginHost& pluginHost, VstInt32 programs, VstInt32 params)
    : host(pluginHost), numPrograms(programs), numParams(params) {}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  host.ParameterEdited(index, value);
}
