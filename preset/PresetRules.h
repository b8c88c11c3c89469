// The one judge of what a preset record may hold. The chunk reader refuses version 2 fields that break a rule
// and brings the version 1 record into range, as earlier versions did; the bank tools refuse a bank whose
// records break a rule. Each tells why in its own words, from the fault found here.
#pragma once

#include <cstdint>

#include "preset/VSTPluginProgram.h"
#include "preset/VSTPluginProgramExtension.h"

namespace vantorine::preset {

enum class Fault {
  kNone,
  // The version 1 record.
  kNameNotTerminated,
  kStripFlag,  // in use or swap neither 0 nor 1
  kChannel,
  kValue,  // program, Bank Select or volume beyond 128
  kLabelNotTerminated,
  kStripOrderEntry,
  kStripCount,
  kOptionFlag,
  kDelay,
  // The version 2 fields.
  kSysexList,  // not whole messages, or longer than the list holds
  kBytesAfterSysexList,
  kSettle,
  kSysexGap,
  kRowController,  // a controller no row may send
  kRowTwice,       // two rows on one controller
  kRowValue,
  kResetFlagOrPadding,
  kDevice,  // not a terminated printable name with zeros after it
};

// The first rule a record breaks, in the order of its fields, and where: `strip` is the record slot for
// strip faults and the device's slot for kDevice, `row` the controller row and `otherRow` the earlier row
// on the same controller (from 0), `value` what the field holds.
struct Refusal {
  Fault fault = Fault::kNone;
  int strip = -1;
  int row = -1;
  int otherRow = -1;
  int64_t value = 0;

  explicit operator bool() const { return fault != Fault::kNone; }
};

Refusal CheckProgram(const VSTPluginProgram& program);
Refusal CheckExtension(const VSTPluginProgramExtension& extension);

// Brings every field of the version 1 record into range: a flag other than 0 is 1, a value byte out of range
// is "not sent", a row out of range empty, a count or delay the nearest one in range, and names and labels
// end at their last byte. A record CheckProgram accepts is left unchanged.
void SanitizeProgram(VSTPluginProgram& program);

}  // namespace vantorine::preset
