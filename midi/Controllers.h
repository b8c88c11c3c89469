// The controllers a strip can send in its controller rows, and the names people know them by.
#pragma once

#include <cstdint>

namespace vantorine::midi {

constexpr uint8_t kBankSelectMsb = 0;
constexpr uint8_t kDataEntryMsb = 6;
constexpr uint8_t kChannelVolume = 7;
constexpr uint8_t kPan = 10;
constexpr uint8_t kExpression = 11;
constexpr uint8_t kBankSelectLsb = 32;
constexpr uint8_t kDataEntryLsb = 38;
constexpr uint8_t kReverbSend = 91;
constexpr uint8_t kChorusSend = 93;
constexpr uint8_t kResetAllControllers = 121;

// A row may send any controller from 1 to 119 but those a strip sends itself (volume, Bank Select LSB) and
// data entry, which means nothing without the parameter number a row cannot send before it.
constexpr bool IsRowController(int number) {
  return number >= 1 && number <= 119 && number != kDataEntryMsb && number != kChannelVolume &&
         number != kBankSelectLsb && number != kDataEntryLsb;
}

// What General MIDI (and the GM2 and common module additions) calls a controller, or null.
const char* ControllerMeaning(int number);
// The short key the bank's text form gives the four common rows ("pan", "reverb", "chorus",
// "expression"), or null for any other controller (written "ccN").
const char* ControllerKey(int number);

}  // namespace vantorine::midi
