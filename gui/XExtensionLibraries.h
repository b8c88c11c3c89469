// The X extension libraries the toolkit loads with it (shape, Xinerama, XPM, the miscellaneous utilities)
// register close hooks on every connection they are used on, the host's own included. A host closes its
// connection long after it may have unloaded the plug-in, and would then call into unloaded code; the
// libraries therefore stay in the process once the toolkit has used them.
#pragma once

namespace tovo::gui {

void KeepExtensionLibrariesLoaded();

}  // namespace tovo::gui
