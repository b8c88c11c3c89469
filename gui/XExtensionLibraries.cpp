#include "gui/XExtensionLibraries.h"

#include <dlfcn.h>

#include <initializer_list>

namespace tovo::gui {

void KeepExtensionLibrariesLoaded() {
  // Only libraries already mapped are touched; the handle's reference goes, the pin stays.
  for (const char* library : {"libXext.so.6", "libXinerama.so.1", "libXpm.so.4", "libXmu.so.6"}) {
    if (void* handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
  }
}

}  // namespace tovo::gui
