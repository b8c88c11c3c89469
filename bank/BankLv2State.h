// The bank in the LV2 plug-in's state, as hosts keep it in Turtle files: the same bytes as the VST bank
// chunk, in base64 under the key urn:vantorine:bank. Reading takes such a file (a session's state.ttl, a
// preset's file) or a folder that holds one (a state folder, a preset bundle); writing makes a preset bundle
// that LV2 hosts list among the plug-in's presets, so loading it puts the bank into the plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantorine::bank {

class BankLv2State {
 public:
  // Whether the path is a folder, which is LV2 state if it is a bank at all.
  static bool isFolder(const std::string& path);
  // Whether a file's first bytes are Turtle as hosts write it: past blank lines and comments, a directive
  // (@prefix, @base) or a subject in angle brackets, neither of which can start a line of the text form.
  static bool isTurtle(const std::vector<uint8_t>& bytes);
  // The bank chunk, and the preset port's program (0 to 127; 0 when the state holds no port value), or a
  // one-line reason.
  static std::string read(const std::string& path, std::vector<uint8_t>& chunk, int32_t& current);
  // A preset bundle in `folder` (made if missing) named after it; empty on success, else a one-line reason.
  static std::string writePreset(const std::string& folder, const std::vector<uint8_t>& chunk,
                                 int32_t current);
};

}  // namespace vantorine::bank
