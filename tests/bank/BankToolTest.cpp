// vantorine-bank as a user runs it: to-text and from-text convert between the forms without loss, show
// prints each strip in words, and a bad file ends with its messages, a failure status and no output file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "bank/BankFile.h"
#include "bank/BankLv2State.h"
#include "bank/BankSummary.h"
#include "bank/BankTextWriter.h"
#include "names/DeviceNames.h"
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

  // `environment`: assignments the tool runs with, such as "VANTORINE_MIDNAM_PATH=''".
  hostrun::HostRun run(const std::vector<std::string>& args, const std::string& environment = {}) {
    return hostrun::runHost(VANTORINE_BANK_PATH, args, folder, environment);
  }

  // As run, from the test's folder: to-text --syx-files writes its files where it runs.
  hostrun::HostRun runInFolder(const std::vector<std::string>& args) {
    return run(args, "cd '" + folder + "' &&");
  }

  std::string folder;
};

// Bytes of a .syx file: `count` messages of `size` bytes each, their data counting up.
std::string SyxMessages(size_t count, size_t size) {
  std::string bytes;
  for (size_t n = 0; n < count; ++n) {
    bytes += '\xF0';
    for (size_t i = 1; i + 1 < size; ++i) bytes += static_cast<char>((n + i) % 128);
    bytes += '\xF7';
  }
  return bytes;
}

// A bank without version 2 fields and one with them in many presets go into every binary form and come
// back (BankText's tests take every example and many random banks through the text).
TEST_F(BankTool, FromTextAndToTextConvertBothWaysInEveryBinaryForm) {
  std::vector<std::string> inputs = {banktest::ExamplePath("live-keyboard.toml")};
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
    if (input == banktest::ExamplePath("live-keyboard.toml")) {
      EXPECT_EQ(fxb.size(), FxFile::kBankHeaderSize + kBankBytes);
    }
  }
}

// A .syx file beside the text gives its messages to the list, in its place among the others. The bank
// goes into a .fxb file and into LV2 state with those bytes and comes back from either as the same text:
// long messages as lines of hex, or with --syx-files in a file named after the bank and preset, which holds
// each run of long messages; short and named ones stay one string each. Every text gives the same bank.
TEST_F(BankTool, SyxFilesAndLongMessagesComeBackExactly) {
  const std::string dump = SyxMessages(8, 256);  // 2 KiB
  const std::string message = SyxMessages(1, 300);
  std::string hex;
  for (const char byte : message)
    hex += (hex.empty() ? "" : " ") + SysexHex(reinterpret_cast<const uint8_t*>(&byte), 1);
  banktest::WriteFile(folder + "dump.syx", dump);
  banktest::WriteFile(folder + "rig.toml", "[[preset]]\nnumber = 7\nsysex = [\"GS Reset\", \"dump.syx\", \"" +
                                               hex + "\", \"F0 01 F7\"]\n");
  auto fromText = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  ASSERT_TRUE(BankFile::load(folder + "rig.toml", *fromText, errors)) << errors.front();
  const VSTPluginProgramExtension& extension = fromText->extensions[6];
  std::vector<uint8_t> reset;
  ASSERT_TRUE(vantorine::midi::SysexByName("GS Reset", reset));
  EXPECT_EQ(std::string(extension.sysex, extension.sysex + extension.sysexLength),
            std::string(reset.begin(), reset.end()) + dump + message + "\xF0\x01\xF7");

  const hostrun::HostRun lines = run({"to-text", folder + "rig.toml"});
  ASSERT_EQ(lines.exitCode, 0) << lines.err;
  EXPECT_NE(lines.out.find(
                "sysex = [\n  \"GS Reset\",\n  \"\"\"\n  F0 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "
                "10 11 12 13 14 15 16 17 18 19 1A 1B 1C 1D 1E 1F\n  20 21 22 "),
            std::string::npos)
      << lines.out;
  EXPECT_NE(lines.out.find(" 2A F7\"\"\",\n  \"F0 01 F7\",\n]\n"), std::string::npos) << lines.out;
  for (const char* binary : {"rig.fxb", "rig.lv2"}) {
    ASSERT_EQ(run({"from-text", folder + "rig.toml", "-o", folder + binary}).exitCode, 0) << binary;
    EXPECT_EQ(run({"to-text", folder + binary}).out, lines.out) << binary;
  }
  const std::string original = banktest::ReadFile(folder + "rig.fxb");

  const hostrun::HostRun files = runInFolder({"to-text", "rig.lv2", "--syx-files"});
  ASSERT_EQ(files.exitCode, 0) << files.err;
  EXPECT_NE(files.out.find("\nsysex = [\"GS Reset\", \"rig-007.syx\", \"F0 01 F7\"]\n"), std::string::npos)
      << files.out;
  EXPECT_EQ(banktest::ReadFile(folder + "rig-007.syx"), dump + message);
  banktest::WriteFile(folder + "lines.toml", lines.out);
  banktest::WriteFile(folder + "files.toml", files.out);
  for (const char* text : {"lines.toml", "files.toml"}) {
    ASSERT_EQ(run({"from-text", folder + text, "-o", folder + "back.fxb"}).exitCode, 0) << text;
    EXPECT_EQ(banktest::ReadFile(folder + "back.fxb"), original) << text;
    EXPECT_EQ(run({"to-text", folder + text}).out, lines.out) << text;
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

  // The version 2 fields: the SysEx a preset sends first with the gap between its messages and the time
  // it waits after them, the values of the controller rows by the rows' names, Reset All Controllers first
  // among the options.
  banktest::UseGsInitAndRows(bank->extensions[19]);
  VSTPluginProgramExtension& gs = bank->extensions[19];
  std::vector<uint8_t> dump(300, 0x01);
  dump.front() = 0xF0, dump[1] = 0x43, dump.back() = 0xF7;
  std::copy(dump.begin(), dump.end(), gs.sysex + gs.sysexLength);
  gs.sysexLength += dump.size();
  bank->extensions[19].rowValues[1][1] = 1;
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
                             "  SysEx: GS Reset, F0 41 10 42 12 40 1A 15 02 0F F7, F0 43 01 01 01 01 01 01 ... F7 (300 "
                             "bytes), 20 ms apart, then 100 ms\n"
                             "  ch 1   Program Change 0  Volume 100  Pan 64  CC74 40  '.....'\n"
                             "  ch 1   Program Change 0  Volume 100  Reverb 0  '.....'\n"),
            std::string::npos)
      << gsShown.out;
}

// A strip's device and the sound its values select, in show and as to-text's comments; on a machine without
// the device's file the device keeps its name, the numbers stay, and the bank comes back byte for byte.
TEST_F(BankTool, DevicesShowTheirSoundsWhereTheirFilesAreAndKeepTheirNamesElsewhere) {
  auto bank = std::make_unique<PresetBank>();
  banktest::NewBank(*bank);
  VSTPluginProgram& preset = (*bank)[9];
  VSTPluginStrip& drums = preset.strips[0];
  drums.channel = 10, drums.program = 41, drums.bankMsb = 1, drums.bankLsb = 9;
  VSTPluginStrip& pad = preset.strips[1];
  pad = drums;
  pad.channel = 1, pad.program = 2, pad.bankMsb = 82, pad.bankLsb = 1;
  preset.stripOrder[1] = 1, preset.stripCount = 2;
  CopyText(bank->extensions[9].devices[0], kDeviceNameSize, vantorine::names::kGeneralMidi);
  CopyText(bank->extensions[9].devices[1], kDeviceNameSize, "Alpha 1");
  ASSERT_EQ(BankFile::save(folder + "b.fxb", *bank, BankFile::Form::Fxb), "");
  const std::string noFiles = "VANTORINE_MIDNAM_PATH=''";

  const hostrun::HostRun shown = run({"show", folder + "b.fxb"});
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_NE(shown.out.find("  ch 10  Program Change 40  Bank 0/8  Brush  (General MIDI)  '.....'\n"
                           "  ch 1   Program Change 1  Bank 81/0  Glass Pad  (Alpha 1)  '.....'\n"),
            std::string::npos)
      << shown.out;
  const hostrun::HostRun bare = run({"show", folder + "b.fxb"}, noFiles);
  ASSERT_EQ(bare.exitCode, 0) << bare.err;
  EXPECT_NE(bare.out.find("  ch 10  Program Change 40  Bank 0/8  Brush  (General MIDI)  '.....'\n"
                          "  ch 1   Program Change 1  Bank 81/0  (Alpha 1, not installed)  '.....'\n"),
            std::string::npos)
      << bare.out;

  // The names are comments only: without them the text is the same, and both read back to the same file.
  const hostrun::HostRun text = run({"to-text", folder + "b.fxb"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const hostrun::HostRun bareText = run({"to-text", folder + "b.fxb"}, noFiles);
  ASSERT_EQ(bareText.exitCode, 0) << bareText.err;
  std::string uncommented = text.out;
  for (const char* comment : {"  # Glass Pad", "  # Brush"}) {
    ASSERT_NE(uncommented.find(comment), std::string::npos) << comment << " in:\n" << text.out;
    uncommented.erase(uncommented.find(comment), std::strlen(comment));
  }
  std::string bareComments = bareText.out;
  bareComments.erase(bareComments.find("  # Brush"), std::strlen("  # Brush"));
  EXPECT_EQ(bareComments, uncommented);
  banktest::WriteFile(folder + "named.toml", text.out);
  banktest::WriteFile(folder + "bare.toml", bareText.out);
  const std::string original = banktest::ReadFile(folder + "b.fxb");
  for (const std::string& environment : {std::string(), noFiles})
    for (const char* input : {"named.toml", "bare.toml"}) {
      const hostrun::HostRun made =
          run({"from-text", folder + input, "-o", folder + "back.fxb"}, environment);
      ASSERT_EQ(made.exitCode, 0) << made.err;
      EXPECT_EQ(banktest::ReadFile(folder + "back.fxb"), original) << input << " " << environment;
    }
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

// devices and sounds list what the device files name, found by words as the sound browser finds them. A
// bank's text takes a device however it is spelt and a sound's bank by its name, and tells of a device
// that is not here with the closest installed names: refused where `sound` needs it, a warning where the
// strip's numbers stand.
TEST_F(BankTool, DevicesAndSoundsAreListedAndFoundAsTheSoundBrowserFindsThem) {
  const std::string& files = banktest::kTestDevicesFolder;
  const hostrun::HostRun alphas = run({"devices", "TESTWORKS"});
  ASSERT_EQ(alphas.exitCode, 0) << alphas.err;
  EXPECT_EQ(alphas.out, "Testworks\tAlpha 1\t11\t" + files + "/testworks.midnam\n" +
                            "Testworks\tAlpha 2\t11\t" + files + "/testworks.midnam\n");
  const hostrun::HostRun gm = run({"devices", "general", "midi"});
  EXPECT_EQ(gm.out, "MMA\tGeneral MIDI\t" + std::to_string(128 + 9) + "\t(built in)\n") << gm.err;
  const hostrun::HostRun none = run({"devices", "gamma"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_EQ(none.err, "vantorine-bank: no device matches \"gamma\"; devices come from MIDNAM files in " + files +
                          " (see VANTORINE_MIDNAM_PATH)\n");

  const hostrun::HostRun warm = run({"sounds", "testworksalpha1", "warm"});
  ASSERT_EQ(warm.exitCode, 0) << warm.err;
  EXPECT_EQ(warm.out, "Warm Strings\tPreset A\t81\t0\t0\t1-9,11-15\nWarm Strings\tPreset B\t82\t-\t0\t1-9,11-15\n");
  EXPECT_EQ(run({"sounds", "Alpha 1", "--channel", "10"}).out, "Dry Kit\tKits\t86\t0\t0\t10\n");
  const hostrun::HostRun choir = run({"sounds", "Alpha 1", "choir"});
  EXPECT_EQ(choir.exitCode, 1);
  EXPECT_NE(choir.err.find("left out: 1 sound of Alpha 1 in banks selected by System Exclusive"), std::string::npos)
      << choir.err;
  const hostrun::HostRun both = run({"sounds", "alpha"});
  EXPECT_EQ(both.exitCode, 1);
  EXPECT_EQ(both.err, "vantorine-bank: \"alpha\" finds 2 devices: Testworks Alpha 1, Testworks Alpha 2; give "
                      "more of the one you mean\n");
  const hostrun::HostRun typo = run({"sounds", "Apha 1"});
  EXPECT_EQ(typo.exitCode, 1);
  EXPECT_EQ(typo.err, "vantorine-bank: device \"Apha 1\" is not installed here; closest: \"Alpha 1\"; devices "
                      "come from MIDNAM files in " + files + " (see VANTORINE_MIDNAM_PATH)\n");
  EXPECT_EQ(run({"sounds", "Alpha 1", "--channel", "17"}).exitCode, 2);

  const std::string strip = "[[preset]]\nnumber = 1\n[[preset.strip]]\nchannel = 1\n";  // keys from line 5
  banktest::WriteFile(folder + "rig.toml", strip + "device = \"testworks alpha-1\"\nsound = \"Warm Strings\"\n"
                                                   "bank = \"Preset B\"\n[[preset.strip]]\nchannel = 2\n"
                                                   "device = \"Apha 2\"\nprogram = 5\n[[preset.strip]]\n"
                                                   "channel = 3\ndevice = \"Apha 2\"\nprogram = 6\n");
  const hostrun::HostRun made = run({"from-text", folder + "rig.toml", "-o", folder + "rig.fxb"});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(made.err, folder + "rig.toml:10: warning: device \"Apha 2\" is not installed here; closest: "
                               "\"Alpha 2\"; its strips keep their numbers\n");
  const hostrun::HostRun text = run({"to-text", folder + "rig.fxb"});
  EXPECT_NE(text.out.find("device = \"Alpha 1\"\nprogram = 0  # Warm Strings (bank Preset B)\nbank_msb = 82\n\n"
                          "[[preset.strip]]\nchannel = 2\ndevice = \"Apha 2\"\nprogram = 5\n"),
            std::string::npos)
      << text.out;

  banktest::WriteFile(folder + "typo.toml", strip + "device = \"Apha 1\"\nsounds = \"Warm Strings\"\n"
                                                    "[[preset.strip]]\ndevice = \"Apha 1\"\nsound = \"Glass Pad\"\n");
  const hostrun::HostRun typos = run({"to-text", folder + "typo.toml"});
  EXPECT_EQ(typos.exitCode, 1);
  EXPECT_EQ(typos.err, folder + "typo.toml:6: unknown key 'sounds' in a strip; did you mean sound?\n" + folder +
                           "typo.toml:9: sound \"Glass Pad\": device \"Apha 1\" is not installed here; closest: "
                           "\"Alpha 1\"\n");
}

// Inputs are told by what they hold, whatever they are called; an output's name says its form, and a name
// that says none is refused before anything is read or written.
TEST_F(BankTool, InputsAreToldByTheirContentAndOutputsByTheirNames) {
  const std::string example = banktest::ExamplePath("four-module-studio.toml");
  const std::string text = run({"to-text", example}).out;
  for (const char* vague : {"out.txt", "out"}) {
    const hostrun::HostRun refused = run({"from-text", example, "-o", folder + vague});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err.rfind("vantorine-bank: the name " + folder + vague +
                                    " does not say which form to write: end it in .toml, .fxb, .chunk or .lv2\n",
                                0),
              0u)
        << refused.err;
    EXPECT_NE(access((folder + vague).c_str(), F_OK), 0);
  }
  ASSERT_EQ(run({"from-text", example, "-o", folder + "copy.toml"}).exitCode, 0);
  EXPECT_EQ(banktest::ReadFile(folder + "copy.toml"), text);
  for (const char* output : {"b.fxb", "b.chunk", "b.lv2"}) {
    ASSERT_EQ(run({"from-text", example, "-o", folder + output}).exitCode, 0) << output;
    const std::string made = folder + output + (output == std::string("b.lv2") ? "/b.ttl" : "");
    banktest::WriteFile(folder + "renamed.data", banktest::ReadFile(made));
    const hostrun::HostRun back = run({"to-text", folder + "renamed.data"});
    ASSERT_EQ(back.exitCode, 0) << output << ": " << back.err;
    EXPECT_EQ(back.out, text) << output;
  }
}

}  // namespace
