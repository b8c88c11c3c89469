// vantorine-bank's commands that list what this machine's MIDNAM files name: the devices, and a device's
// sounds with the numbers a bank's text gives for them. Both print tab-separated columns, one line each,
// and exit 1 with a message on standard error when nothing is found.
#pragma once

#include <string>
#include <vector>

namespace vantorine::bank {

// `devices [TEXT]`: MAKER, MODEL, SOUNDS (how many a strip can select), FILE ("(built in)" for General
// MIDI), for the models the typed words find in their maker and model, as the sound browser finds them.
int ListDevices(const std::string& typed);

// `sounds DEVICE [TEXT] [--channel N]`: NAME, BANK, MSB, LSB, PROGRAM (0-127, "-" for a byte not sent)
// and CHANNELS ("1-9,11-15"), for the sounds a strip can select whose name or bank the typed words find, on
// every channel or on `channel` when it is not 0. DEVICE is any spelling the bank's text takes, or words
// that find one device only.
int ListSounds(const std::string& device, const std::string& typed, int channel);

}  // namespace vantorine::bank
