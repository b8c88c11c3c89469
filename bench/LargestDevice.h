// The installed model whose MIDNAM file is the largest: the slowest device a chooser or a strip can meet.
#pragma once

#include <sys/stat.h>

#include <string>

#include "names/DeviceNames.h"

inline std::string LargestDevice(const vantorine::names::NameCatalog& catalog) {
  std::string largest;
  off_t most = -1;
  for (const vantorine::names::ModelInfo& model : catalog.models()) {
    struct stat info;
    if (!model.file.empty() && stat(model.file.c_str(), &info) == 0 && info.st_size > most) {
      most = info.st_size;
      largest = model.name;
    }
  }
  return largest;
}
