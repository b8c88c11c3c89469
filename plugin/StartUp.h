// Creating an instance for a host: the requirements check, construction, and
// the message the user sees when the plug-in refuses to load.
#pragma once

#include <memory>

#include "plugin/PluginHost.h"
#include "vst/VstInterface.h"

class VSTPlugin;

namespace vantorine {

// Start-up status values a constructor in the chain may set.
enum StartUpStatus {
  kStartUpOk = 0,
  kSystemNotSupported = 2,
  kHostNotSupported = 3,
  kRefuseSilently = 4,
  kOutOfMemory = 5,
};

// What a refusal's status means, in the words the user is shown.
const char* StartUpReason(int status);

// What the VST 2 entry points do: opens the toolkit's connection, makes the instance and returns its record,
// or null after telling the user why.
AEffect* CreateEffectInstance(audioMasterCallback audioMaster);

// The plug-in alone, answering to `host`: no X connection, no message; null with the status that says why.
// When `refused` is given, a plug-in that refused with a reason to show is handed over there instead of
// being deleted; it must go before its host does.
std::unique_ptr<VSTPlugin> CreatePlugin(PluginHost& host, int& status,
                                        std::unique_ptr<VSTPlugin>* refused = nullptr);

// The shared state of the loaded library (the machine's data, and the toolkit's connection and the shared
// drawing data once something opened them), made once on first use and released when the library is unloaded.
void EnsureLibraryLoaded();

// The toolkit's connection and the colours drawn on it, opened once, for the first editor or a VST 2
// instance; false when there is no X server.
bool OpenToolkit();

}  // namespace vantorine
