// What the host program prints of the plug-in's bank before the MIDI it sends, unless asked to be quiet: the
// bank's name, the presets in use (those that are not new presets) with their names and strips, and the
// preset selected. The bank is read through bank/, as vantorine-bank reads it.
#pragma once

#include <cstdio>
#include <string>

#include "host/VstHost.h"

class BankOverview {
 public:
  // `name` says what the bank is: "bank rig.toml", "the plug-in's own bank".
  static void print(VstHost& host, const std::string& name, std::FILE* out);
};
