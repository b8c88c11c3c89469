// Loading and unloading a plug-in file with the dynamic loader, with reasons a user can act on.
#include "host/PluginLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// dlerror() texts can span lines; a reason must stay on one.
std::string oneLine(const char* text) {
  std::string line = text ? text : "unknown loader error";
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return line;
}

}  // namespace

std::string PluginLibrary::open(const std::string& path) {
  close();
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return "cannot open " + path + ": " + std::strerror(errno);
  if (!S_ISREG(info.st_mode)) return path + " is not a regular file";

  dlerror();
  handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return path + " is not a loadable shared library: " + oneLine(dlerror());

  for (const char* name : {"VSTPluginMain", "main"}) {
    dlerror();
    void* symbol = dlsym(handle, name);
    if (symbol && !dlerror()) {
      entry = reinterpret_cast<EntryPoint>(symbol);
      entrySymbol = name;
      break;
    }
  }
  if (!entry) {
    close();
    return path + " exports neither VSTPluginMain nor main: not a VST 2 plug-in";
  }

  char resolved[PATH_MAX];
  std::string absolute = realpath(path.c_str(), resolved) ? resolved : path;
  folder = absolute.substr(0, absolute.find_last_of('/') + 1);
  if (folder.empty()) folder = "./";
  return {};
}

void PluginLibrary::close() {
  if (handle) dlclose(handle);
  handle = nullptr;
  entry = nullptr;
  entrySymbol.clear();
  folder.clear();
}

bool PluginLibrary::isResident(const std::string& path) {
  void* probe = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!probe) return false;
  dlclose(probe);
  return true;
}
