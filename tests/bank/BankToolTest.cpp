// vantorine-bank as a user runs it: to-text and from-text convert between the forms without loss, show
// prints each strip in words, and a bad file ends with its messages, a failure status and no output file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "bank/BankFile.h"
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

TEST_F(BankTool, FromTextAndToTextConvertBothWaysInEveryBinaryForm) {
  const std::string example = banktest::ExamplePath("four-module-studio.toml");
  for (const char* output : {"bank.fxb", "bank.chunk"}) {
    const hostrun::HostRun made = run({"from-text", example, "-o", folder + output});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // The binary form holds the bank the text says.
    auto fromText = std::make_unique<PresetBank>();
    auto fromBinary = std::make_unique<PresetBank>();
    std::vector<std::string> errors;
    ASSERT_TRUE(BankFile::load(example, *fromText, errors));
    ASSERT_TRUE(BankFile::load(folder + output, *fromBinary, errors)) << errors.front();
    EXPECT_EQ(std::memcmp(fromText.get(), fromBinary.get(), sizeof(PresetBank)), 0);
    const hostrun::HostRun text = run({"to-text", folder + output});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out, BankTextWriter::write(*fromText));
  }
  std::vector<uint8_t> fxb;
  ASSERT_EQ(FxFile::readFile(folder + "bank.fxb", fxb), "");
  EXPECT_EQ(fxb.size(), FxFile::kBankHeaderSize + kBankBytes);
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
  EXPECT_EQ(BankSummary::strip(drums), "ch 10  Bank LSB 8 (LSB first)  Volume 100  'Drums'");
  drums.channel = 0;
  EXPECT_EQ(BankSummary::strip(drums).rfind("silent", 0), 0u);
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
