// Reading and writing the host's state streams in whatever pieces it hands out.
#include "clap/ClapStreams.h"

#include <algorithm>

namespace vantorine::clap {

bool WriteWhole(const clap_ostream_t& stream, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t written = stream.write(&stream, bytes.data() + done, bytes.size() - done);
    // A stream that takes nothing would have us loop for ever.
    if (written <= 0 || static_cast<uint64_t>(written) > bytes.size() - done) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Each piece is read into a buffer of its own and appended: a host that hands out a few bytes at a time
// costs a few bytes of copying each time, not a grown and shrunk bank.
bool ReadWhole(const clap_istream_t& stream, size_t limit, std::vector<uint8_t>& bytes) {
  uint8_t piece[16 * 1024];
  bytes.clear();
  for (;;) {
    // One byte past the limit tells a stream that is too long from one that is exactly as long.
    const size_t want = std::min(sizeof(piece), limit + 1 - bytes.size());
    const int64_t read = stream.read(&stream, piece, want);
    if (read < 0 || static_cast<uint64_t>(read) > want) return false;
    if (read == 0) return true;
    bytes.insert(bytes.end(), piece, piece + read);
    if (bytes.size() > limit) return false;
  }
}

}  // namespace vantorine::clap
