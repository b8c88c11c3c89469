// What reading device files may cost. The names are read inside a DAW's process, where running out of
// memory or stalling ends the user's whole session, and a file of a few hundred kilobytes can ask for
// gigabytes (a list shared by thousands of banks, thousands of attributes on one element). Each limit is
// far above what Debian's ardour-data needs (454 files, 419 models; in brackets below), so that only a
// file made to hurt goes past one; a file that does is left out with one line on standard error.
#pragma once

#include <cstddef>

namespace vantorine::names {

// A file's size, checked before a byte is read [the largest is 0.48 MB].
constexpr size_t kMaxXmlFileBytes = 4 << 20;
// How deep elements nest; MIDNAM's deepest (a patch's Control Change) is at depth 8.
constexpr int kMaxXmlDepth = 32;
// Attributes on one element [3]. libxml2 compares each with all before it, before we see any of them.
constexpr size_t kMaxXmlAttributes = 64;
// Elements and attributes of one file [22,208]: they bound the memory of its tree, a few hundred bytes
// each (70 MB at most, freed once the device is read).
constexpr size_t kMaxXmlNodes = 1 << 18;

// Models one file defines or extends [3]: each is kept, and copied for every chooser, as long as the process.
constexpr size_t kMaxModelsInFile = 256;

// The bytes of the files read for one device: its own and the extension files its banks need [1.5 MB,
// XV-5080's file and its 35 extensions].
constexpr size_t kMaxDeviceFileBytes = 16 << 20;
// One device's sounds as a chooser lists them: every bank's patches, those of shared lists counted in each
// bank that uses them, with the sound's and the bank's names [0.3 MB, 3029 sounds]. Every lookup in a
// device walks at most this.
constexpr size_t kMaxDeviceListedBytes = 16 << 20;
// What all devices read in a process keep, shared lists counted once [9.2 MB for every model; the most one
// keeps is 0.13 MB].
constexpr size_t kMaxKeptBytes = 128 << 20;

}  // namespace vantorine::names
