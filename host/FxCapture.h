// What a host saves as a .fxp or .fxb: the plug-in's identity, program and chunk, read through the host
// side of the interface. Kept apart from the file format itself, which the bank tool uses without a host.
#pragma once

#include "vst/FxFile.h"

class VstHost;

// What a file of this kind holds for the host's plug-in as it is now: its identity, current program and
// name, and its preset or bank chunk (empty when the plug-in gives none).
FxContent CaptureFx(VstHost& host, FxKind kind);
