// The host program loads a text bank into the real plug-in: after --load-text a resend puts out exactly
// the MIDI the file describes, --save-text gives the same text back, a bad file loads nothing, and a bank
// file the host saves comes back from vantorine-bank byte for byte through the text form.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <memory>
#include "bank/Toml.h"

#include "bank/BankTextReader.h"
#include "bank/BankTextWriter.h"
#include "tests/bank/BankTestSupport.h"
#include "tests/host/HostRun.h"

namespace {

using banktest::PresetBank;
using vantorine::bank::BankTextReader;

class BankHost : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bank_host_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = std::string(pattern) + "/";
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  hostrun::HostRun host(std::vector<std::string> actions) {
    actions.insert(actions.begin(), {"--quiet", VANTORINE_PLUGIN_PATH, "--mains", "1"});
    return hostrun::runHost(VANTORINE_HOST_PATH, actions, folder);
  }

  std::string folder;
};

// The hex bytes of every message the host printed for block 1.
std::vector<std::string> SentInBlockOne(const std::string& out) {
  std::vector<std::string> sent;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("block 1 frame ", 0) == 0) sent.push_back(line.substr(line.find(": ") + 2, 8));
  return sent;
}

std::string Hex(int a, int b, int c) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X", a, b, c);
  return text;
}

// What the strips of preset `number` send, read from the file with toml++ alone: strips without slots are
// records 0, 1, ... in the order written, which is also the order the plug-in sends them in.
std::vector<std::string> ExpectedFromFile(const std::string& path, int number) {
  std::vector<std::string> expected;
  const toml::table root = toml::parse_file(path);
  for (const toml::node& preset : *root["preset"].as_array()) {
    const toml::table& table = *preset.as_table();
    if (table["number"].value_or(0) != number) continue;
    for (const toml::node& item : *table["strip"].as_array()) {
      const toml::table& strip = *item.as_table();
      const int channel = strip["channel"].value_or(0) - 1;
      auto value = [&](const char* key) { return strip[key].value_or(-1); };
      if (value("program") >= 0) expected.push_back(Hex(0xC0 + channel, value("program"), 0));
      const bool swap = strip["swap"].value_or(false);
      for (const auto& [key, controller] : swap ? std::vector<std::pair<const char*, int>>{{"bank_lsb", 32}, {"bank_msb", 0}}
                                                : std::vector<std::pair<const char*, int>>{{"bank_msb", 0}, {"bank_lsb", 32}})
        if (value(key) >= 0) expected.push_back(Hex(0xB0 + channel, controller, value(key)));
      if (value("volume") >= 0) expected.push_back(Hex(0xB0 + channel, 7, value("volume")));
    }
  }
  return expected;
}

TEST_F(BankHost, LoadTextMakesThePluginSendWhatTheFileSays) {
  const std::string path = folder + "rig.toml";
  banktest::WriteFile(path,
                      "[[preset]]\nnumber = 1\n"
                      "[[preset.strip]]\nchannel = 3\nprogram = 12\nbank_msb = 5\nbank_lsb = 6\nvolume = 90\n"
                      "[[preset.strip]]\nchannel = 16\nbank_msb = 127\nbank_lsb = 0\nswap = true\n"
                      "[[preset.strip]]\nchannel = 9\nprogram = 0\n"
                      "[[preset]]\nnumber = 2\n[[preset.strip]]\nchannel = 1\nvolume = 0\n");
  const hostrun::HostRun first = host({"--load-text", path, "--resend", "--process", "1"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(SentInBlockOne(first.out), ExpectedFromFile(path, 1)) << first.out;

  const hostrun::HostRun second = host({"--load-text", path, "--program", "2", "--resend", "--process", "1"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_EQ(SentInBlockOne(second.out), ExpectedFromFile(path, 2)) << second.out;
}

// The host's print names the sound of a Program Change whose strip has a device, from the plug-in's
// current preset as its chunk gives it; a strip without a device prints as before.
TEST_F(BankHost, ProgramChangesOfStripsWithADeviceArePrintedWithTheirSounds) {
  const std::string path = folder + "named.toml";
  banktest::WriteFile(path,
                      "[[preset]]\nnumber = 1\n"
                      "[[preset.strip]]\nchannel = 10\ndevice = \"General MIDI\"\nprogram = 40\n"
                      "[[preset.strip]]\nchannel = 2\nprogram = 5\n"
                      "[[preset.strip]]\nchannel = 1\ndevice = \"Alpha 1\"\nsound = \"Glass Pad\"\n"
                      "[[preset.strip]]\nchannel = 3\ndevice = \"JV-1080\"\nprogram = 7\n"
                      "[[preset]]\nnumber = 2\n[[preset.strip]]\nchannel = 10\nprogram = 40\n");
  const hostrun::HostRun run = host(
      {"--load-text", path, "--resend", "--process", "1", "--program", "2", "--resend", "--process", "1"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("block 1 frame 0: C9 28 00  ch 10 Program Change 40  (Brush, General MIDI)\n"
                         "block 1 frame 0: C1 05 00  ch 2 Program Change 5\n"
                         "block 1 frame 0: C0 01 00  ch 1 Program Change 1  (Glass Pad, Alpha 1)\n"
                         "block 1 frame 0: B0 00 51  ch 1 Control Change 0 = 81\n"
                         "block 1 frame 0: B0 20 00  ch 1 Control Change 32 = 0\n"
                         "block 1 frame 0: C2 07 00  ch 3 Program Change 7  (JV-1080)\n"),
            std::string::npos)
      << run.out;
  // The second preset's strip has no device.
  EXPECT_NE(run.out.find("block 2 frame 0: C9 28 00  ch 10 Program Change 40\n"), std::string::npos)
      << run.out;
}

TEST_F(BankHost, SaveTextGivesBackTheTextThatWasLoaded) {
  auto bank = std::make_unique<PresetBank>();
  banktest::RandomBanks random(11);
  random.panelBank(*bank);
  random.addVersion2Fields(*bank, true);
  const std::string text = vantorine::bank::BankTextWriter::write(*bank);
  banktest::WriteFile(folder + "in.toml", text);
  const hostrun::HostRun run = host({"--load-text", folder + "in.toml", "--save-text", folder + "out.toml"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(banktest::ReadFile(folder + "out.toml"), text);
}

TEST_F(BankHost, ABadFileLoadsNothing) {
  const std::string path = folder + "bad.toml";
  const std::pair<std::string, std::string> bad[] = {
      {"[[preset]]\nnumber = 1\n[[preset.strip]]\nchannel = 2\nvolume = 128\n",
       ":5: volume must be 0 to 127, got 128"},
      {"a = " + std::string(10000, '[') + std::string(10000, ']') + "\n", ":1: nested deeper than 32 levels"},
      {std::string(BankTextReader::kMaxBytes + 1, '#'), ": larger than 8 MiB"}};
  for (const auto& [text, message] : bad) {
    banktest::WriteFile(path, text);
    const hostrun::HostRun run = host({"--load-text", path, "--resend", "--process", "1"});
    EXPECT_EQ(run.exitCode, 1) << message;
    EXPECT_NE(run.err.find(path + message), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("block 1 frame"), std::string::npos) << run.out;
  }
}

TEST_F(BankHost, ABankFileTheHostSavesComesBackExactlyThroughText) {
  const std::string rig = folder + "rig.toml";
  banktest::WriteFile(rig, "[options]\nbank_first = true\ninit_send = true\n[[preset]]\nnumber = 3\n"
                           "[[preset.strip]]\nchannel = 10\nprogram = 25\nbank_msb = 0\nbank_lsb = 8\n");
  const hostrun::HostRun saved = host({"--load-text", rig, "--program", "6", "--save-fxb",
                                       folder + "host.fxb", "--save-text", folder + "saved.toml"});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;

  auto tool = [this](const std::vector<std::string>& args) {
    return hostrun::runHost(VANTORINE_BANK_PATH, args, folder);
  };
  const hostrun::HostRun text = tool({"to-text", folder + "host.fxb"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("\nbank_first = true\ncurrent = 6\n"), std::string::npos) << text.out;
  // The host's own text of the bank says the same.
  EXPECT_EQ(banktest::ReadFile(folder + "saved.toml"), text.out);
  banktest::WriteFile(folder + "host.toml", text.out);
  const hostrun::HostRun back = tool({"from-text", folder + "host.toml", "-o", folder + "tool.fxb"});
  ASSERT_EQ(back.exitCode, 0) << back.err;
  const std::string hostFile = banktest::ReadFile(folder + "host.fxb");
  EXPECT_EQ(hostFile.size(), 160u + vantorine::bank::kBankBytes);
  const std::string toolFile = banktest::ReadFile(folder + "tool.fxb");
  ASSERT_EQ(toolFile.size(), hostFile.size());
  const auto differs = std::mismatch(hostFile.begin(), hostFile.end(), toolFile.begin()).first;
  EXPECT_EQ(differs - hostFile.begin(), std::ptrdiff_t(hostFile.size())) << "the first byte that differs";
}

}  // namespace
