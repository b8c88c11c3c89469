// The folder list is built from the environment each time it is asked for; the catalog asks once.
#include "names/MidnamFolders.h"

#include <dirent.h>
#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vantorine::names {

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An XDG base folder: the variable when it holds an absolute path (the XDG rule), else HOME's default.
std::string XdgFolder(const char* variable, const char* underHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  if (!home || home[0] != '/') return {};
  return std::string(home) + "/" + underHome;
}

// The major version in ".../ardourN/patchfiles", or -1.
long ArdourVersion(const std::string& path) {
  const size_t at = path.rfind("/ardour");
  if (at == std::string::npos) return -1;
  char* end = nullptr;
  const long version = std::strtol(path.c_str() + at + 7, &end, 10);
  return end != path.c_str() + at + 7 && *end == '/' ? version : -1;
}

// Every ardour*/patchfiles folder under `base`, newest major version first.
void AddArdourFolders(const std::string& base, std::vector<std::string>& folders) {
  if (base.empty()) return;
  glob_t found;
  if (glob((base + "/ardour*/patchfiles").c_str(), GLOB_ONLYDIR, nullptr, &found) == 0) {
    std::vector<std::string> paths(found.gl_pathv, found.gl_pathv + found.gl_pathc);
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
      return ArdourVersion(a) > ArdourVersion(b);
    });
    folders.insert(folders.end(), paths.begin(), paths.end());
  }
  globfree(&found);
}

bool IsMidnamName(const char* name) {
  const size_t length = std::strlen(name);
  return length > 7 && name[0] != '.' && std::strcmp(name + length - 7, ".midnam") == 0;
}

}  // namespace

std::vector<std::string> DefaultMidnamFolders() {
  std::vector<std::string> folders;
  if (const char* path = std::getenv("VANTORINE_MIDNAM_PATH")) {
    const std::string list = path;
    for (size_t start = 0; start <= list.size();) {
      size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      if (end > start) folders.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  } else {
    const std::string data = XdgFolder("XDG_DATA_HOME", ".local/share");
    if (!data.empty()) folders.push_back(data + "/vantorine/midnam");
    AddArdourFolders(XdgFolder("XDG_CONFIG_HOME", ".config"), folders);
    AddArdourFolders("/usr/share", folders);
    AddArdourFolders("/usr/local/share", folders);
  }
  folders.erase(
      std::remove_if(folders.begin(), folders.end(), [](const std::string& f) { return !IsFolder(f); }),
      folders.end());
  return folders;
}

std::vector<std::string> MidnamFilesIn(const std::vector<std::string>& folders) {
  std::vector<std::string> files;
  for (const std::string& folder : folders) {
    DIR* directory = opendir(folder.c_str());
    if (!directory) continue;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(directory))
      if (IsMidnamName(entry->d_name)) names.push_back(entry->d_name);
    closedir(directory);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) files.push_back(folder + "/" + name);
  }
  return files;
}

}  // namespace vantorine::names
