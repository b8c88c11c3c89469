// The process-wide system information.
#include "system/SSystemData.h"

namespace tovo::system {

SSystemData sd;

}  // namespace tovo::system
