// vantorine-host with the editor on screen: in either mode it shows the editor for the time asked, runs
// the actions meanwhile, and ends cleanly.
#include <gtest/gtest.h>

#include <regex>

#include "../host/HostRun.h"

namespace {

void expectEditorRun(const std::vector<std::string>& extra) {
  std::vector<std::string> args = {VANTORINE_PLUGIN_PATH, "--quiet", "--editor", "1"};
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), {"--mains", "1", "--resend", "--process", "2"});
  const hostrun::HostRun run = hostrun::runHost(VANTORINE_HOST_PATH, args, testing::TempDir());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("effEditOpen returned 1"), std::string::npos) << run.out;
  // The actions ran while the editor was open, and their MIDI was listed after why it was sent.
  EXPECT_NE(run.out.find("send of preset 1 (001 - empty preset): resend\n"
                         "block 1 frame 0: C0 00 00  ch 1 Program Change 0"),
            std::string::npos)
      << run.out;
  std::smatch idles;
  ASSERT_TRUE(std::regex_search(run.out, idles, std::regex("editor closed after ([0-9]+) idle call")))
      << run.out;
  EXPECT_GT(std::stoi(idles[1]), 0);
  EXPECT_LT(run.out.find("editor closed"), run.out.find("unloaded"));
}

TEST(EditorCli, RunsInBothModes) {
  for (const char* mode : {"display", "nodisplay"}) {
    SCOPED_TRACE(mode);
    expectEditorRun({"--editor-mode", mode});
    expectEditorRun({"--editor-mode", mode, "--no-size-window"});
  }
}

}  // namespace
