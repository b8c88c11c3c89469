// The host's state streams, which may take or give any number of bytes a call: writing and reading
// loop until all is done, the end is reached, or the host reports an error.
#pragma once

#include <cstdint>
#include <vector>

#include "clap/ClapHeaders.h"

namespace vantorine::clap {

// The largest state this plug-in reads: far more than any bank (the image is 55808 bytes, its SysEx
// lists 1 MiB at most), so that a hostile stream cannot make it hold more.
constexpr size_t kMaxStateBytes = 8 * 1024 * 1024;

// False when the host's stream failed or stopped taking bytes.
bool WriteWhole(const clap_ostream_t& stream, const std::vector<uint8_t>& bytes);
// Everything up to the stream's end; false when the stream failed or held more than `limit` bytes.
bool ReadWhole(const clap_istream_t& stream, size_t limit, std::vector<uint8_t>& bytes);

}  // namespace vantorine::clap
