// Creating an instance for a host: the requirements check, construction, and
// the message the user sees when the plug-in refuses to load.
#pragma once

#include "vst/VstInterface.h"

namespace vantorine {

// Start-up status values a constructor in the chain may set.
enum StartUpStatus { kStartUpOk = 0, kSystemNotSupported = 2, kHostNotSupported = 3, kRefuseSilently = 4 };

// What the entry points do: the new instance's record, or null (after telling the user why).
AEffect* CreateEffectInstance(audioMasterCallback audioMaster);

// The shared state of the loaded library (the toolkit's connection, the machine's data, the shared
// drawing data), made once on first use and released when the library is unloaded.
void EnsureLibraryLoaded();

}  // namespace vantorine
