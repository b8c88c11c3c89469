// The first look at a MIDNAM file: which models it defines and which it extends, found without building its
// tree. Every file is parsed whole here, so one that is damaged or refused never reaches a chooser.
#pragma once

#include <string>
#include <vector>

#include "names/DeviceNames.h"

namespace vantorine::names {

struct MidnamContents {
  std::vector<ModelInfo> models;      // the devices it defines (MasterDeviceNames)
  std::vector<std::string> extended;  // the models whose name lists it adds to (ExtendingDeviceNames)
};

// The contents of the file at `path`, or false and why it cannot be used.
bool ScanMidnamFile(const std::string& path, MidnamContents& contents, std::string& why);

}  // namespace vantorine::names
