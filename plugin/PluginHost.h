// What the plug-in asks of the host that runs it. The VST 2 plug-in answers through the host's callback,
// the engine entry of the other formats for its own format; the plug-in itself knows neither.
//
// Calls come on the thread the plug-in is on at the time: the editor's for the edits, resizes and
// changes it reports, the host's for the questions a new instance asks, the audio thread for SendEvents.
#pragma once

#include "vst/VstInterface.h"

namespace vantorine {

class PluginHost {
 public:
  virtual ~PluginHost() = default;

  // The user changed parameter `index` to `value` in the editor; the value is set already.
  virtual void ParameterEdited(int index, float value) = 0;
  // Something the host keeps changed outside the parameters (the preset chosen, a name, the bank): it
  // should read them again and mark its project changed. True when the host took the notice.
  virtual bool StateChanged() = 0;
  // The editor's new size; true when the host resized the window it gave.
  virtual bool ResizeEditor(int width, int height) = 0;
  // False when the host cannot follow the editor's size, and the editor resizes the host's window itself.
  virtual bool CanResizeEditor() = 0;

  // Who the host is, for the few hosts the plug-in works around: false, or 0, when it does not say.
  // `text` has room for 64 characters and their end, as the VST 2 interface promises its hosts.
  virtual bool HostVendor(char* text) = 0;
  virtual bool HostProduct(char* text) = 0;
  virtual int HostVendorVersion() = 0;
  // The path of the loaded plug-in library, or null.
  virtual const char* LibraryPath() = 0;

  // Audio thread, inside a processing call: the call's MIDI for a host that takes the plug-in's own event
  // list; true when it took them. A host given a sink (VSTPlugin::SetEventSink) is never asked.
  virtual bool SendEvents(VstEvents* events) = 0;
};

}  // namespace vantorine
