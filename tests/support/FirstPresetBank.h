// A bank chunk for the tests that follow one preset's send through a host: 128 numbered presets with
// Bank Select first and Reset All Controllers first on (global options are kept in every preset), the
// first preset filled by the caller, version 2 fields after the image.
#pragma once

#include <cstdint>
#include <vector>

#include "preset/ProgramExtensionChunk.h"

namespace testsupport {

template <typename Fill>
std::vector<uint8_t> FirstPresetBankChunk(Fill fillFirst) {
  std::vector<VSTPluginProgram> bank(kProgramCount);
  std::vector<VSTPluginProgramExtension> extensions(kProgramCount);
  for (int n = 0; n < kProgramCount; ++n) {
    InitNumberedProgram(bank[n], n);
    InitProgramExtension(extensions[n]);
    bank[n].bankSelectFirst = 1;
    extensions[n].resetControllersFirst = 1;
  }
  fillFirst(bank[0], extensions[0]);
  const auto* image = reinterpret_cast<const uint8_t*>(bank.data());
  std::vector<uint8_t> chunk(image, image + bank.size() * sizeof(VSTPluginProgram));
  vantorine::AppendProgramExtensions(extensions.data(), kProgramCount, chunk);
  return chunk;
}

}  // namespace testsupport
