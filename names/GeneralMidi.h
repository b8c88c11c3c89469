// General MIDI, built in: it needs no file, so every machine has at least this device.
#pragma once

#include <memory>

#include "names/Device.h"

namespace vantorine::names {

// The General MIDI Level 1 sound set on every channel but 10, and on channel 10 the drum sets GS modules
// (and most modules since) offer at their programs.
std::shared_ptr<const Device> GeneralMidiDevice();

}  // namespace vantorine::names
