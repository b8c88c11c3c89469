// clap_run PLUGIN STATE BLOCK MILLISECONDS: loads the CLAP plug-in in the test host, restores the state
// file (a bank chunk as vantorine-bank writes it), runs blocks of BLOCK frames at 48 kHz for as long as
// said and prints each message sent, one a line: its frame counted from the first block, a tab, and the
// message as vantorine-host prints it.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "host/MidiText.h"
#include "tests/clap/ClapTestHost.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: clap_run PLUGIN STATE BLOCK MILLISECONDS\n");
    return 2;
  }
  std::ifstream file(argv[2], std::ios::binary);
  const claptest::Bytes state{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const auto block = static_cast<uint32_t>(std::atoi(argv[3]));
  const auto frames = static_cast<uint64_t>(std::atoi(argv[4]) * claptest::ClapInstance::kRate / 1000);
  claptest::ClapModule module(argv[1]);
  claptest::ClapInstance plugin(module);
  if (!plugin.ok() || block == 0 || block > claptest::ClapInstance::kMaxBlock) return 1;
  if (!plugin.loadState(state, 4096) || !plugin.activate()) return 1;
  for (uint64_t start = 0; start < frames; start += block)
    for (const claptest::TimedMidi& message : plugin.process(block))
      std::printf("%llu\t%s\n", static_cast<unsigned long long>(start + message.frame),
                  MidiText::message(message.bytes.data(), message.bytes.size()).c_str());
  return 0;
}
