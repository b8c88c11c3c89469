// Who the plug-in says it is: the identity every host query and message uses.
#pragma once

#include "vst/VstInterface.h"

namespace vantorine {

constexpr const char* kProductName = "Vantorine";
constexpr const char* kVendorName = "velkaro";
constexpr VstInt32 kVendorVersion = 106;
constexpr double kProductVersion = 1.06;
constexpr VstInt32 kUniqueId = VstFourCC('V', 'T', 'R', 'N');
constexpr const char* kSupportAddress = "support@velkaro.example";

}  // namespace vantorine
