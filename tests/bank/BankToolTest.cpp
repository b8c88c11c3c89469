// vantorine-bank as a user runs it: to-text and from-text convert between the forms without loss, show
// prints each strip in words, and a bad file ends with its messages, a failure status and no output file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "bank/BankFile.h"
#include "bank/BankLv2State.h"
#include "bank/BankSummary.h"
#include "bank/BankTextWriter.h"
#include "tests/bank/BankTestSupport.h"
#include "tests/host/HostRun.h"
#include "vst/FxFile.h"

namespace {

using namespace vantorine::bank;
using banktest::PresetBank;

class BankTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/bank_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = std::string(pattern) + "/";
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  hostrun::HostRun run(const std::vector<std::string>& args) {
    return hostrun::runHost(VANTORINE_BANK_PATH, args, folder);
  }

  std::string folder;
};

// The examples, and a bank with version 2 fields in many presets, go into every binary form and come back.
TEST_F(BankTool, FromTextAndToTextConvertBothWaysInEveryBinaryForm) {
  std::vector<std::string> inputs;
  for (const std::string& name : banktest::kExamples) inputs.push_back(banktest::ExamplePath(name));
  auto loaded = std::make_unique<PresetBank>();
  banktest::RandomBanks random(4);
  random.loadedBank(*loaded);
  random.addVersion2Fields(*loaded, false);
  inputs.push_back(folder + "loaded.toml");
  banktest::WriteFile(inputs.back(), BankTextWriter::write(*loaded));
  for (const std::string& input : inputs) {
    auto fromText = std::make_unique<PresetBank>();
    std::vector<std::string> errors;
    ASSERT_TRUE(BankFile::load(input, *fromText, errors)) << errors.front();
    for (const char* output : {"bank.fxb", "bank.chunk", "bank.lv2"}) {
      const hostrun::HostRun made = run({"from-text", input, "-o", folder + output});
      ASSERT_EQ(made.exitCode, 0) << made.err;
      // The binary form holds the bank the text says.
      auto fromBinary = std::make_unique<PresetBank>();
      ASSERT_TRUE(BankFile::load(folder + output, *fromBinary, errors)) << errors.front();
      EXPECT_EQ(std::memcmp(fromText.get(), fromBinary.get(), sizeof(PresetBank)), 0) << input << output;
      const hostrun::HostRun text = run({"to-text", folder + output});
      ASSERT_EQ(text.exitCode, 0) << text.err;
      EXPECT_EQ(text.out, BankTextWriter::write(*fromText));
    }
    // Every form holds the same bytes: the plug-in's bank chunk.
    std::vector<uint8_t> fxb, chunk, lv2;
    int32_t current = 0;
    ASSERT_EQ(FxFile::readFile(folder + "bank.fxb", fxb), "");
    ASSERT_EQ(FxFile::readFile(folder + "bank.chunk", chunk), "");
    ASSERT_EQ(BankLv2State::read(folder + "bank.lv2", lv2, current), "");
    EXPECT_EQ(chunk, BankBytes(*fromText));
    EXPECT_EQ(std::vector<uint8_t>(fxb.begin() + FxFile::kBankHeaderSize, fxb.end()), chunk);
    EXPECT_EQ(lv2, chunk);
    // A bank that uses no version 2 field is the image alone, as before; one that does holds them after it.
    const bool version2 = std::any_of(fromText->extensions.begin(), fromText->extensions.end(),
                                      [](const auto& extension) { return !IsDefaultExtension(extension); });
    EXPECT_EQ(chunk.size() > kBankBytes, version2) << input;
    if (input == banktest::ExamplePath("four-module-studio.toml")) {
      EXPECT_EQ(fxb.size(), FxFile::kBankHeaderSize + kBankBytes);
    }
  }
}

TEST_F(BankTool, ShowListsThePresetsInUseWithWhatTheySend) {
  auto bank = std::make_unique<PresetBank>();
  banktest::NewBank(*bank);
  VSTPluginStrip& drums = (*bank)[9].strips[0];
  drums.channel = 10, drums.program = 26, drums.bankMsb = 1, drums.bankLsb = 9, drums.volume = 101;
  CopyText(drums.label, kLabelSize, "Drums");
  for (VSTPluginProgram& preset : *bank) preset.bankSelectFirst = 1;
  ASSERT_EQ(BankFile::save(folder + "b.fxb", *bank, BankFile::Form::Fxb), "");
  const hostrun::HostRun shown = run({"show", folder + "b.fxb"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_NE(shown.out.find("s), preset switching off\nBank Select first: on (each strip sends its Bank "
                           "Select before its Program Change)\n"),
            std::string::npos)
      << shown.out;
  EXPECT_NE(shown.out.find("Preset 10  \"010 - empty preset\"\n  ch 10  Program Change 25  Bank 0/8  Volume 100  'Drums'\n"),
            std::string::npos)
      << shown.out;
  // Only the preset in use is listed.
  EXPECT_EQ(shown.out.find("Preset "), shown.out.rfind("Preset ")) << shown.out;

  drums.swapBankOrder = 1, drums.bankMsb = 0, drums.program = 0;
  EXPECT_EQ(BankSummary::strip(*bank, 9, 0), "ch 10  Bank LSB 8 (LSB first)  Volume 100  'Drums'");
  drums.channel = 0;
  EXPECT_EQ(BankSummary::strip(*bank, 9, 0).rfind("silent", 0), 0u);

  // The version 2 fields: the SysEx a preset sends first with the time it waits, the values of the
  // controller rows by the rows' names, Reset All Controllers first among the options.
  VSTPluginProgramExtension& gs = bank->extensions[19];
  const uint8_t init[] = {0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7,
                          0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x1A, 0x15, 0x02, 0x0F, 0xF7};
  std::memcpy(gs.sysex, init, sizeof init);
  gs.sysexLength = sizeof init;
  gs.rowControllers[3] = 74;
  gs.rowValues[0][0] = 65, gs.rowValues[0][3] = 41, gs.rowValues[1][1] = 1;
  (*bank)[19].strips[0].volume = 101;
  (*bank)[19].strips[1] = (*bank)[19].strips[0];
  (*bank)[19].stripOrder[1] = 1, (*bank)[19].stripCount = 2;
  for (VSTPluginProgramExtension& extension : bank->extensions) extension.resetControllersFirst = 1;
  ASSERT_EQ(BankFile::save(folder + "gs.chunk", *bank, BankFile::Form::Chunk), "");
  const hostrun::HostRun gsShown = run({"show", folder + "gs.chunk"});
  ASSERT_EQ(gsShown.exitCode, 0) << gsShown.err;
  EXPECT_NE(gsShown.out.find("Program Change)\nReset All Controllers first: on (each strip sends CC 121 "
                             "before its Bank Select and Program Change)\n\nPreset 10"),
            std::string::npos)
      << gsShown.out;
  EXPECT_NE(gsShown.out.find("Preset 20  \"020 - empty preset\"\n"
                             "  SysEx: GS Reset, F0 41 10 42 12 40 1A 15 02 0F F7, then 100 ms\n"
                             "  ch 1   Program Change 0  Volume 100  Pan 64  CC74 40  '.....'\n"
                             "  ch 1   Program Change 0  Volume 100  Reverb 0  '.....'\n"),
            std::string::npos)
      << gsShown.out;
}

TEST_F(BankTool, BadInputFailsWithItsLinesAndWritesNothing) {
  banktest::WriteFile(folder + "bank.toml", "[[preset]]\nnumber = 1\n[[preset.strip]]\nchannel = 17\n");
  const hostrun::HostRun bad = run({"from-text", folder + "bank.toml", "-o", folder + "out.fxb"});
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(bad.err, folder + "bank.toml:4: channel must be 1 to 16, got 17\n");
  EXPECT_NE(access((folder + "out.fxb").c_str(), F_OK), 0);

  banktest::WriteFile(folder + "short.chunk", std::string(436, '\0'));
  const hostrun::HostRun chunk = run({"to-text", folder + "short.chunk"});
  EXPECT_EQ(chunk.exitCode, 1);
  EXPECT_NE(chunk.err.find("short.chunk:"), std::string::npos) << chunk.err;

  // A chunk of the right size whose bytes no preset can hold is refused, not written as text.
  std::string impossible(kBankBytes, '\0');
  banktest::WriteFile(folder + "odd.chunk", impossible);
  const hostrun::HostRun odd = run({"show", folder + "odd.chunk"});
  EXPECT_EQ(odd.exitCode, 1);
  EXPECT_NE(odd.err.find("not a bank the plug-in can hold: preset 1: strip count 0"), std::string::npos)
      << odd.err;

  EXPECT_EQ(run({"from-text", folder + "bank.toml"}).exitCode, 2);
  EXPECT_EQ(run({"convert", folder + "bank.toml"}).exitCode, 2);
  EXPECT_EQ(run({"show", folder + "missing.toml"}).exitCode, 1);
}

}  // namespace
