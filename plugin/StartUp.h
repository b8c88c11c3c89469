// Creating an instance for a host: the requirements check, construction, and
// the message the user sees when the plug-in refuses to load.
#pragma once

#include "vst/VstInterface.h"

namespace vantorine {

// Start-up status values a constructor in the chain may set.
enum StartUpStatus { kStartUpOk = 0, kSystemNotSupported = 2, kHostNotSupported = 3, kRefuseSilently = 4 };

// What the entry points do: the new instance's record, or null (after telling the user why).
AEffect* CreateEffectInstance(audioMasterCallback audioMaster);

// Load and unload of the library: the toolkit's connection, the machine's data, the shared drawing data.
void LibraryLoad();
void LibraryUnload();

}  // namespace vantorine
