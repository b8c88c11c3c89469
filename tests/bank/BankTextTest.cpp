// The text form keeps a bank exactly: bank -> text -> bank gives the same bytes for every bank the plug-in
// can hold, text the writer made reads back to the same text, and presets left out are default presets.
#include <gtest/gtest.h>

#include <memory>

#include "bank/BankTextReader.h"
#include "bank/BankTextWriter.h"
#include "tests/bank/BankTestSupport.h"

namespace {

using namespace vantorine::bank;
using banktest::PresetBank;

// Reads text that must be valid; the test fails with the reader's messages otherwise.
std::unique_ptr<PresetBank> Read(const std::string& text) {
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  const bool read = BankTextReader::read(text, "bank.toml", *bank, errors);
  std::string all;
  for (const std::string& error : errors) all += error + "\n";
  EXPECT_TRUE(read) << all << "in:\n" << text;
  return bank;
}

void ExpectExactBothWays(const PresetBank& bank) {
  ASSERT_EQ(ImpossibleValue(bank), "");
  const std::string text = BankTextWriter::write(bank);
  const auto back = Read(text);
  for (int n = 0; n < kProgramCount; ++n) {
    ASSERT_TRUE(SamePreset(bank[n], (*back)[n])) << "preset " << n + 1 << " differs after\n" << text;
    ASSERT_EQ(std::memcmp(&bank.extensions[n], &back->extensions[n], sizeof(VSTPluginProgramExtension)), 0)
        << "the version 2 fields of preset " << n + 1 << " differ after\n"
        << text;
  }
  EXPECT_EQ(BankBytes(*back), BankBytes(bank));
  EXPECT_EQ(BankTextWriter::write(*back), text);
}

TEST(BankText, RandomPanelBanksAndLoadedBanksSurviveBothWays) {
  auto bank = std::make_unique<PresetBank>();
  for (unsigned seed = 1; seed <= 5; ++seed) {
    banktest::RandomBanks random(seed);
    random.panelBank(*bank);
    ExpectExactBothWays(*bank);
    random.loadedBank(*bank);
    ExpectExactBothWays(*bank);
    // A bank without version 2 fields is the image alone, as it always was; one with them is more.
    EXPECT_EQ(BankBytes(*bank).size(), kBankBytes);
    random.addVersion2Fields(*bank, false);
    ExpectExactBothWays(*bank);
    EXPECT_GT(BankBytes(*bank).size(), kBankBytes);
    random.panelBank(*bank);
    random.addVersion2Fields(*bank, true);
    ExpectExactBothWays(*bank);
    // Strips with devices whose values name a sound: the names are comments, which reading passes over.
    const std::string text = BankTextWriter::write(*bank);
    EXPECT_NE(text.find("  # "), std::string::npos);
    EXPECT_NE(text.find("\nsysex_gap = "), std::string::npos) << "a gap is written where a preset has one";
  }
}

TEST(BankText, PanelBanksNeedNoStoredLayoutAndLoadedOnesCarryTheirBytes) {
  auto bank = std::make_unique<PresetBank>();
  banktest::RandomBanks random(7);
  random.panelBank(*bank);
  const std::string panel = BankTextWriter::write(*bank);
  for (const char* key : {"\nstrip_order", "\nstrip_count", "\nname_bytes", "\nlabel_bytes", "\nreserved",
                          "\npadding"})
    EXPECT_EQ(panel.find(key), std::string::npos) << key;
  // Options equal in every preset are written once.
  EXPECT_EQ(panel.find("\ninit_send = "), panel.rfind("\ninit_send = "));
  random.loadedBank(*bank);
  const std::string loaded = BankTextWriter::write(*bank);
  for (const char* key : {"\nstrip_order = ", "\nname_bytes = ", "\nlabel_bytes = ", "\nreserved = ",
                          "\n[[preset.spare]]"})
    EXPECT_NE(loaded.find(key), std::string::npos) << key;
}

TEST(BankText, ExamplesReadAndRoundTrip) {
  for (const std::string& name : banktest::kExamples) {
    const auto bank = Read(banktest::ReadFile(banktest::ExamplePath(name)));
    ExpectExactBothWays(*bank);
  }
}

TEST(BankText, DefaultPresetsAreLeftOutAndFilledIn) {
  auto bank = std::make_unique<PresetBank>();
  banktest::NewBank(*bank);
  const std::string empty = BankTextWriter::write(*bank);
  EXPECT_EQ(empty.find("[[preset]]"), std::string::npos) << empty;

  // One changed preset is the only one written; the options go into every preset.
  BankOptions options;
  options.initSend = true, options.initDelay = 3, options.bankFirst = true;
  for (int n = 0; n < kProgramCount; ++n) options.applyTo((*bank)[n], bank->extensions[n]);
  (*bank)[41].strips[0].volume = 101;
  const std::string one = BankTextWriter::write(*bank, 41);
  EXPECT_EQ(one.find("[[preset]]"), one.rfind("[[preset]]"));
  EXPECT_NE(one.find("number = 42\n"), std::string::npos) << one;
  EXPECT_NE(one.find("bank_first = true\ncurrent = 42\n"), std::string::npos) << one;

  int32_t current = 0;
  auto read = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  ASSERT_TRUE(BankTextReader::read("[options]\ninit_send = true\ninit_delay = 3\nbank_first = true\n"
                                   "current = 42\n\n[[preset]]\nnumber = 42\n[[preset.strip]]\nchannel = 1\n"
                                   "program = 0\nvolume = 100\n",
                                   "bank.toml", *read, errors, &current));
  EXPECT_EQ(current, 41);
  for (int n = 0; n < kProgramCount; ++n) EXPECT_TRUE(SamePreset((*read)[n], (*bank)[n])) << n + 1;
  // Left out, the options are off and the first program is the current one.
  ASSERT_TRUE(BankTextReader::read("[[preset]]\nnumber = 2\n", "bank.toml", *read, errors, &current));
  EXPECT_EQ(current, 0);
  for (const VSTPluginProgram& preset : *read) EXPECT_EQ(preset.bankSelectFirst, 0);

  // The version 2 fields: a settle time of 100 ms is left out, a message with a name is written by it, the
  // gap after the list, Reset All Controllers first once among the options.
  banktest::UseGsInitAndRows(bank->extensions[41]);
  for (int n = 0; n < kProgramCount; ++n) bank->extensions[n].resetControllersFirst = 1;
  const std::string rows = BankTextWriter::write(*bank, 41);
  EXPECT_NE(rows.find("bank_first = true\nreset_controllers = true\ncurrent = 42\n"), std::string::npos)
      << rows;
  EXPECT_NE(rows.find("\"\nsysex = [\"GS Reset\", \"F0 41 10 42 12 40 1A 15 02 0F F7\"]\nsysex_gap = 20\n"
                      "controllers = [10, 91, 93, 74]\n\n[[preset.strip]]\n"),
            std::string::npos)
      << rows;
  EXPECT_NE(rows.find("volume = 100\npan = 64\ncc74 = 40\n"), std::string::npos) << rows;
  EXPECT_EQ(rows.find("reset_controllers"), rows.rfind("reset_controllers")) << rows;
  ExpectExactBothWays(*bank);
}

TEST(BankText, HandWrittenPresetsTakeTheDefaultsOfNewStrips) {
  const auto bank = Read(
      "[[preset]]\nnumber = 3\nname = \"Mine\"\n"
      "[[preset.strip]]\nchannel = 10\nprogram = \"none\"\nvolume = 0\n"
      "[[preset.strip]]\nchannel = \"none\"\nlabel = \"Quiet\"\n"
      "[[preset.strip]]\nslot = 7\nchannel = 2\n"
      "[[preset.strip]]\nchannel = 3\nbank_msb = 127\nbank_lsb = 5\nswap = true\n"
      "[[preset]]\nnumber = 4\nthru = true\n");
  const VSTPluginProgram& mine = (*bank)[2];
  EXPECT_STREQ(mine.name, "Mine");
  EXPECT_EQ(mine.stripCount, 4);
  // Strips without a slot take the lowest free ones, in the order written.
  const int32_t order[kStripCount] = {0, 1, 6, 2, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
  EXPECT_EQ(std::memcmp(mine.stripOrder, order, sizeof order), 0);
  EXPECT_EQ(mine.strips[0].channel, 10);
  EXPECT_EQ(mine.strips[0].program, 0);
  EXPECT_EQ(mine.strips[0].volume, 1);
  EXPECT_STREQ(mine.strips[0].label, kNewLabel);
  EXPECT_EQ(mine.strips[1].channel, 0);
  EXPECT_EQ(mine.strips[1].inUse, 1);
  EXPECT_STREQ(mine.strips[1].label, "Quiet");
  EXPECT_EQ(mine.strips[6].channel, 2);
  EXPECT_EQ(mine.strips[2].bankMsb, 128);
  EXPECT_EQ(mine.strips[2].bankLsb, 6);
  EXPECT_EQ(mine.strips[2].swapBankOrder, 1);
  for (int slot : {3, 4, 5, 7, 8}) EXPECT_TRUE(IsBlankSpare(mine.strips[slot])) << slot;

  // A preset with neither strips nor spares keeps a new preset's strips and name.
  VSTPluginProgram expected = DefaultPreset(3, BankOptions());
  expected.midiThru = 1;
  EXPECT_TRUE(SamePreset((*bank)[3], expected));

  // SysEx hex and names in either case with any spacing, a message with a name read as that message, row
  // values by the preset's own controllers.
  const auto reset = Read(
      "[[preset]]\nnumber = 1\nsysex = [\"f0 41 10 42 12 40 00 7f 00 41  F7\", \"xg system ON\"]\n"
      "controllers = [10, 91, 93, 74]\n[[preset.strip]]\nchannel = 1\ncc74 = \"none\"\npan = 0\n");
  const VSTPluginProgramExtension& extension = reset->extensions[0];
  std::vector<uint8_t> gsThenXg;
  ASSERT_TRUE(vantorine::midi::SysexByName("GS Reset", gsThenXg));
  gsThenXg.insert(gsThenXg.end(), {0xF0, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7});
  EXPECT_EQ(std::vector<uint8_t>(extension.sysex, extension.sysex + extension.sysexLength), gsThenXg);
  EXPECT_EQ(extension.settleMs, kDefaultSettleMs);
  const uint8_t values[kControllerRows] = {1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(extension.rowValues[0], values, sizeof values), 0);
  EXPECT_NE(BankTextWriter::write(*reset).find("sysex = [\"GS Reset\", \"XG System On\"]\n"),
            std::string::npos);
}

// `sound` takes the program and Bank Select of the device's sound on the strip's channel, a byte its bank
// does not send left "none", from the bank `bank` names when several have it; to-text writes the numbers
// with the name as a comment, and the bank too when the name alone would not tell. A device spelt
// otherwise is stored as its file names it; one not installed here keeps its name and its numbers.
TEST(BankText, SoundsByNameSetTheirNumbersAndAreWrittenAsComments) {
  const auto bank = Read(
      "[[preset]]\nnumber = 2\n"
      "[[preset.strip]]\nchannel = 1\ndevice = \"Alpha 1\"\nsound = \"glass  PAD\"\n"
      "[[preset.strip]]\nchannel = 2\ndevice = \"Testworks Alpha 1\"\nsound = \"Bright Brass\"\nvolume = 90\n"
      "[[preset.strip]]\nchannel = 10\ndevice = \"General MIDI\"\nsound = \"Brush\"\n"
      "[[preset.strip]]\nchannel = 3\ndevice = \"Alpha 1\"\nsound = \"Deep Bass\"\n"
      "[[preset.strip]]\nchannel = 4\ndevice = \"JV-1080\"\nprogram = 49\nbank_msb = 81\n"
      "[[preset.strip]]\nchannel = 5\ndevice = \"Alpha 1\"\nprogram = 0\nbank_msb = 81\n"
      "[[preset.strip]]\nchannel = 6\ndevice = \"Odd\"\nprogram = 3\n"
      "[[preset.strip]]\nchannel = 6\ndevice = \"Odd\"\nprogram = 4\n"
      "[[preset.strip]]\nchannel = 2\ndevice = \"testworks-alpha1\"\nsound = \"Warm Strings\"\nbank = \"preset b\"\n"
      "[[preset.spare]]\nslot = 10\ndevice = \"General MIDI\"\n");
  const VSTPluginProgram& preset = (*bank)[1];
  auto values = [&](int slot) {
    const VSTPluginStrip& strip = preset.strips[slot];
    return std::vector<int>{strip.program, strip.bankMsb, strip.bankLsb};
  };
  using Stored = std::vector<int>;  // each value plus one, 0 for "none"
  EXPECT_EQ(values(0), (Stored{2, 82, 1}));
  EXPECT_EQ(values(1), (Stored{2, 83, 0}));
  EXPECT_EQ(preset.strips[1].volume, 91);
  EXPECT_EQ(values(2), (Stored{41, 0, 0}));
  EXPECT_EQ(values(3), (Stored{8, 101, 4}));  // the patch's own commands
  EXPECT_STREQ(bank->extensions[1].devices[1], "Testworks Alpha 1");
  EXPECT_STREQ(bank->extensions[1].devices[4], "JV-1080");
  EXPECT_STREQ(bank->extensions[1].devices[9], "General MIDI");
  EXPECT_FALSE(preset.strips[9].inUse);
  EXPECT_EQ(values(8), (Stored{1, 83, 0}));
  EXPECT_STREQ(bank->extensions[1].devices[8], "Alpha 1");

  const std::string text = BankTextWriter::write(*bank);
  for (const char* strip :
       {"channel = 1\ndevice = \"Alpha 1\"\nprogram = 1  # Glass Pad\nbank_msb = 81\nbank_lsb = 0\n",
        "device = \"Testworks Alpha 1\"\nprogram = 1  # Bright Brass\nbank_msb = 82\nvolume = 90\n",
        "device = \"General MIDI\"\nprogram = 40  # Brush\n\n",
        "device = \"JV-1080\"\nprogram = 49\nbank_msb = 81\n\n",
        "program = 0  # Warm Strings (bank Preset A assumed)\nbank_msb = 81\n\n",
        // A device file's names are printed without their control characters, and long ones are cut
        // before a whole character.
        "program = 3  # Bell?Tree?!\n", "program = 4  # AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA...\n",
        "[[preset.spare]]\nslot = 10\ndevice = \"General MIDI\"\n",
        "channel = 2\ndevice = \"Alpha 1\"\nprogram = 0  # Warm Strings (bank Preset B)\nbank_msb = 82\n"})
    EXPECT_NE(text.find(strip), std::string::npos) << strip << "\nin:\n" << text;
  ExpectExactBothWays(*bank);
}

TEST(BankText, OddNamesAndLabelsStayExact) {
  auto bank = std::make_unique<PresetBank>();
  banktest::NewBank(*bank);
  CopyText((*bank)[0].name, kNameSize, "quote \" back \\ tab-free \xC3\xA9 [x] # = '");
  CopyText((*bank)[1].name, kNameSize, "");
  CopyText((*bank)[2].name, kNameSize, "bad \xC3 utf8");
  CopyText((*bank)[3].name, kNameSize, "ctrl \x01");
  CopyText((*bank)[4].strips[0].label, kLabelSize, "ab");
  (*bank)[4].strips[0].label[3] = '.';  // a shorter label written over a longer one
  CopyText((*bank)[5].name, kNameSize, std::string(47, 'n').c_str());
  ExpectExactBothWays(*bank);
  const std::string text = BankTextWriter::write(*bank);
  EXPECT_NE(text.find("name = \"\"\n"), std::string::npos);
  EXPECT_NE(text.find("name_bytes = \"62616420c32075746638\"\n"), std::string::npos) << text;
}

}  // namespace
