// vantorine-host as a user meets it: bad use ends with exactly one line on stderr and a non-zero exit,
// never a crash; actions run in order and the MIDI a plug-in sends is listed block by block, each event at
// its frame and each SysEx where it starts in the audio, as the probe and the real plug-in send it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "HostRun.h"
#include "tests/support/GsResetPreset.h"

namespace {

using hostrun::HostRun;

HostRun runHost(const std::vector<std::string>& args) {
  return hostrun::runHost(VANTORINE_HOST_PATH, args, testing::TempDir());
}

void expectOneLineFailure(const std::vector<std::string>& args, const std::string& mention) {
  const HostRun run = runHost(args);
  EXPECT_NE(run.exitCode, 0);
  EXPECT_LT(run.exitCode, 128) << "the host crashed";
  ASSERT_FALSE(run.err.empty());
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "more than one line: " << run.err;
  EXPECT_NE(run.err.find(mention), std::string::npos) << run.err;
}

TEST(HostCli, BadFilesFailWithOneLine) {
  expectOneLineFailure({"/nonexistent/plugin.so"}, "No such file");
  expectOneLineFailure({"/etc/passwd"}, "not a loadable shared library");
  expectOneLineFailure({VANTORINE_TEST_DIR}, "not a regular file");

  const std::string textSo = testing::TempDir() + "text_plugin.so";
  std::ofstream(textSo) << "this is not a plug-in\n";
  expectOneLineFailure({textSo}, "not a loadable shared library");
  std::remove(textSo.c_str());
}

TEST(HostCli, MisuseOfOptionsFailsWithOneLine) {
  expectOneLineFailure({}, "no plug-in file");
  expectOneLineFailure({"--frobnicate", PROBE_PLUGIN_PATH}, "unknown option");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--process"}, "needs a value");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--process", "3x"}, "bad value");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--param", "0"}, "INDEX=VALUE");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--mains", "2"}, "bad value");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--program", "0"}, "presets are counted from 1");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--midi", "3C 90"}, "status");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--close", "--process", "1"}, "last action");
  expectOneLineFailure({PROBE_PLUGIN_PATH, PROBE_PLUGIN_PATH}, "more than one");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--editor", "-1"}, "bad value");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--editor", "1", "--editor-mode", "sideways"}, "nodisplay");
}

// JACK options need --jack, and the options for blocks the host drives itself make no sense with it; both
// are caught before any server is asked.
TEST(HostCli, JackOptionsAreCheckedTogether) {
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--run", "1"}, "--run needs --jack");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--state", "s.fxb"}, "--state needs --jack");
  expectOneLineFailure({"--jack", PROBE_PLUGIN_PATH, "--process", "1"}, "does not apply with --jack");
  expectOneLineFailure({"--jack", "--block-size", "64", PROBE_PLUGIN_PATH}, "does not apply with --jack");
  expectOneLineFailure({"--jack", "--connect", "midi_out", PROBE_PLUGIN_PATH}, "PORT=PORT");
  expectOneLineFailure({"--jack", "--connect", "=b", PROBE_PLUGIN_PATH}, "PORT=PORT");
  expectOneLineFailure({"--jack", "--jack-name", "a:b", PROBE_PLUGIN_PATH}, "no ':'");
  expectOneLineFailure({"--jack", "--run", "-2", PROBE_PLUGIN_PATH}, "bad value");
}

TEST(HostCli, RefusalAndFailingActionsFailWithOneLine) {
  expectOneLineFailure({"--host-version", "0", PROBE_PLUGIN_PATH}, "refused");
  // The probe keeps no chunk, so there is nothing to save.
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--quiet", "--save-fxp", testing::TempDir() + "none.fxp"},
                       "no chunk");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--quiet", "--load-fxb", "/nonexistent.fxb"}, "cannot open");
  expectOneLineFailure({PROBE_PLUGIN_PATH, "--quiet", "--load-fxp", "/etc/passwd"}, "not a preset file");
}

TEST(HostCli, HelpDescribesTheActions) {
  const HostRun run = runHost({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* option : {"--process", "--midi", "--save-fxb", "--host-product", "--host-cannot", "--list",
                             "--realtime", "--editor", "--editor-mode", "--no-size-window", "--jack",
                             "--jack-name", "--jack-server", "--connect", "--run", "--state"})
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

TEST(HostCli, ActionsRunInOrderAndMidiIsListedPerBlock) {
  const HostRun run = runHost({"--list", PROBE_PLUGIN_PATH, "--process", "1", "--midi", "92 3C 64 C2 04",
                               "--process", "2", "--param", "0=0.5", "--param", "9=1", "--close"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("effect name:    Probe"), std::string::npos);
  EXPECT_NE(run.out.find("presets (3):\n    1: probe 0\n    2: probe 1\n    3: probe 2\n"), std::string::npos)
      << "counted from 1\n"
      << run.out;
  const size_t noteOn = run.out.find("block 2 frame 0: 92 3C 64  ch 3 Note On 60 vel 100\n");
  const size_t program = run.out.find("block 2 frame 0: C2 04 00  ch 3 Program Change 4\n");
  const size_t param = run.out.find("parameter 0 set to 0.5");
  const size_t close = run.out.find("effClose returned 1");
  EXPECT_NE(noteOn, std::string::npos) << run.out;
  EXPECT_LT(noteOn, program);
  EXPECT_LT(program, param);
  EXPECT_LT(param, close);
  EXPECT_NE(run.out.find("parameter 0 set to 0.5\n"), std::string::npos);
  EXPECT_NE(run.out.find("parameter 9 set to 1 (not one of the parameters the plug-in announces)\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("block 3 frame"), std::string::npos) << "events are reported once";
}

// Each event with the frame the plug-in gave it, in the order it listed them; System Exclusive whole, with
// its name when it has one, copied before the plug-in reused its memory; sizes that cannot be true are
// reported and never read, and what follows them still comes through.
TEST(HostCli, EveryEventShowsItsFrameAndSysexIsShownWhole) {
  const HostRun run = runHost({"--quiet", "--block-size", "64", PROBE_PLUGIN_PATH, "--program", "2",
                               "--process", "1", "--program", "3", "--process", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::string big = "block 2 frame 0: SysEx F0 7D";
  for (int i = 0; i < 65533; ++i) big += " 00";
  big += " F7  at 1.45 ms\n";
  const std::string expected =
      "block 1 frame 63: B0 07 64  ch 1 Control Change 7 = 100\n"
      "block 1 frame 0: SysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)  at 0.00 ms\n"
      "block 1 frame 32: SysEx F0 7D 01 02 F7  at 0.73 ms\n"
      "block 1 frame 0: 90 3C 64  ch 1 Note On 60 vel 100\n"
      "preset 3 selected; current preset 1\n"
      "send of preset 1 (probe 0): preset change\n"
      "block 2 frame 0: SysEx refused, dumpBytes -1: a negative size\n"
      "block 2 frame 0: SysEx refused, dumpBytes 65537: more than 64 KiB\n"
      "block 2 frame 0: SysEx refused, dumpBytes 6: no bytes\n" +
      big + "block 2 frame 1: B0 0A 20  ch 1 Control Change 10 = 32\n";
  EXPECT_NE(run.out.find(expected), std::string::npos) << run.out.substr(0, 2000);
}

// One printed event: its place in the run, in frames from the start of the first block, and what it was.
struct PrintedEvent {
  long frame;
  std::string message;
};

std::vector<PrintedEvent> printedEvents(const std::string& out, int blockSize) {
  std::vector<PrintedEvent> events;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    long block = 0, frame = 0;
    int used = 0;
    if (std::sscanf(line.c_str(), "block %ld frame %ld: %n", &block, &frame, &used) == 2 && used > 0)
      events.push_back({(block - 1) * blockSize + frame, line.substr(static_cast<size_t>(used))});
  }
  return events;
}

std::string writeChunk(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// A preset that resets a GS module sends the reset in the block of the resend and its strip 100 ms of
// frames after the reset's 11 bytes are through the MIDI line: 169 + 4800 frames at 48 kHz, inside a block
// or at its start, whatever the block size.
TEST(HostCli, SysexPresetSendsItsStripAfterTheSettleTime) {
  const std::string chunk = writeChunk("gs_reset_bank.chunk", testsupport::GsResetBankChunk());
  const std::vector<std::string> expected = {"SysEx F0 41 10 42 12 40 00 7F 00 41 F7 (GS Reset)  at 0.00 ms",
                                             "B0 79 00  ch 1 Control Change 121 = 0",
                                             "B0 00 00  ch 1 Control Change 0 = 0",
                                             "B0 20 01  ch 1 Control Change 32 = 1",
                                             "C0 30 00  ch 1 Program Change 48",
                                             "B0 07 64  ch 1 Control Change 7 = 100",
                                             "B0 0A 20  ch 1 Control Change 10 = 32",
                                             "B0 5B 3C  ch 1 Control Change 91 = 60"};
  constexpr long kSettleFrames = testsupport::GsResetToStripFrames(48000);
  for (const int blockSize : {64, 1024}) {
    SCOPED_TRACE(blockSize);
    const HostRun run = runHost({"--quiet", "--block-size", std::to_string(blockSize), "--sample-rate",
                                 "48000", VANTORINE_PLUGIN_PATH, "--load-chunk", chunk, "--mains", "1",
                                 "--resend", "--process", std::to_string(2 * kSettleFrames / blockSize)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_NE(run.out.find("returned 1"), std::string::npos) << "the chunk was taken\n" << run.out;
    const std::vector<PrintedEvent> events = printedEvents(run.out, blockSize);
    ASSERT_EQ(expected.size(), events.size()) << run.out;
    EXPECT_EQ(expected[0], events[0].message) << "the reset goes out at once";
    for (size_t i = 1; i < expected.size(); ++i) {
      EXPECT_EQ(expected[i], events[i].message);
      EXPECT_EQ(events[0].frame + kSettleFrames, events[i].frame) << expected[i];
    }
  }
  std::remove(chunk.c_str());
}

// A list paced for a slow module: each message starts when the one before is through the line (3125 bytes
// a second) and 20 ms more have passed, at its own frame of a 512-frame block, and the print says where
// in the audio it starts; the strip follows 100 ms after the last message is through.
TEST(HostCli, APacedListShowsWhereEachMessageStarts) {
  constexpr double kRate = 44100;
  constexpr int kBlock = 512;
  const std::vector<std::string> names = {"GS Reset", "GM System On", "XG System On"};
  const std::string chunk =
      writeChunk("paced_bank.chunk", testsupport::FirstPresetBankChunk([&](VSTPluginProgram& preset,
                                                                           VSTPluginProgramExtension& extension) {
        for (const std::string& name : names) {
          std::vector<uint8_t> message;
          vantorine::midi::SysexByName(name, message);
          std::memcpy(extension.sysex + extension.sysexLength, message.data(), message.size());
          extension.sysexLength = static_cast<uint32_t>(extension.sysexLength + message.size());
        }
        extension.sysexGapMs = 20;
        preset.strips[0].program = 5;
      }));
  const HostRun run = runHost({"--quiet", "--block-size", std::to_string(kBlock), "--sample-rate", "44100",
                               VANTORINE_PLUGIN_PATH, "--load-chunk", chunk, "--mains", "1", "--resend",
                               "--process", "20"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<PrintedEvent> events = printedEvents(run.out, kBlock);
  ASSERT_EQ(names.size() + 2, events.size()) << run.out;
  double through = 0;  // where the message before is through the line, in frames
  for (size_t i = 0; i < names.size(); ++i) {
    const PrintedEvent& event = events[i];
    EXPECT_NE(event.message.find("(" + names[i] + ")"), std::string::npos) << event.message;
    const double due = i == 0 ? 0 : through + 20 * kRate / 1000;
    EXPECT_GE(event.frame, due) << event.message;
    EXPECT_LT(event.frame, due + 1) << event.message;
    char start[32];
    std::snprintf(start, sizeof start, "  at %.2f ms", event.frame * 1000 / kRate);
    EXPECT_EQ(event.message.substr(event.message.size() - std::strlen(start)), start);
    const size_t bytes = (event.message.find(" F7") + 1 - event.message.find("F0")) / 3 + 1;
    through = event.frame + bytes * kRate / 3125;
  }
  const long strips = static_cast<long>(std::ceil(through)) + 4410;
  EXPECT_EQ(strips, events[names.size()].frame) << events[names.size()].message;
  EXPECT_EQ("B0 79 00  ch 1 Control Change 121 = 0", events[names.size()].message);
  EXPECT_EQ("C0 04 00  ch 1 Program Change 4", events[names.size() + 1].message);
  EXPECT_EQ(strips, events[names.size() + 1].frame);
  std::remove(chunk.c_str());
}

TEST(HostCli, RealtimePrefixesSecondsAndQuietSkipsIdentity) {
  const HostRun run = runHost({"--quiet", "--realtime", "--block-size", "4410", PROBE_PLUGIN_PATH,
                               "--process", "2", "--midi", "B0 07 64", "--process", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.find("effect name"), std::string::npos);
  // Two blocks of 0.1 s come first, so the event cannot arrive before 0.2 s.
  const size_t line = run.out.find(" s  block 3 frame 0: B0 07 64  ch 1 Control Change 7 = 100");
  ASSERT_NE(line, std::string::npos) << run.out;
  const size_t start = run.out.rfind('\n', line) + 1;
  EXPECT_GE(std::stod(run.out.substr(start, line - start)), 0.19);
}

}  // namespace
