// Parameter values travel as 0..1 floats; stored values are integers.
#pragma once

#include <cmath>

// value × scale in single precision, to the nearest integer (ties to even, the processor's default).
inline int ScaleToInt(float value, float scale) { return static_cast<int>(std::nearbyintf(value * scale + 8.326e-17f)); }
