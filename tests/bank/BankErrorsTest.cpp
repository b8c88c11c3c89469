// Bad text never yields a bank: each kind of mistake is reported as "FILE:LINE: message" naming the field,
// all mistakes of a file are reported at once, and the caller's bank stays as it was. The same holds for
// the LV2 plug-in's state.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "bank/BankFile.h"
#include "bank/BankTextReader.h"
#include "bank/BankTextWriter.h"
#include "midi/SyxFile.h"
#include "preset/PresetChunk.h"
#include "tests/bank/BankTestSupport.h"
#include "tests/support/FuzzRounds.h"

namespace {

using namespace vantorine::bank;
using banktest::PresetBank;

struct BadCase {
  const char* text;
  int line;
  const char* message;  // what the message must contain after "bank.toml:LINE: " or "bank.toml:LINE:COLUMN: "
};

const char* kPreset = "[[preset]]\nnumber = 2\n[[preset.strip]]\n";  // lines 1 to 3; a strip's keys from 4

std::vector<std::string> Errors(const std::string& text, bool& untouched) {
  auto bank = std::make_unique<PresetBank>();
  banktest::RandomBanks(3).loadedBank(*bank);
  const auto before = std::make_unique<PresetBank>(*bank);
  std::vector<std::string> errors;
  EXPECT_FALSE(BankTextReader::read(text, "bank.toml", *bank, errors)) << text;
  untouched = std::memcmp(bank.get(), before.get(), sizeof(PresetBank)) == 0;
  return errors;
}

void ExpectRefused(const std::string& text, int line, const std::string& message) {
  bool untouched = false;
  const std::vector<std::string> errors = Errors(text, untouched);
  const std::string shown = text.substr(0, 200);
  EXPECT_TRUE(untouched) << shown;
  ASSERT_EQ(errors.size(), 1u) << shown << (errors.empty() ? "" : "\nfirst: " + errors[0]);
  // Line 0: the message is about the file as a whole; a syntax error's line is followed by its column.
  const std::string start = "bank.toml" + (line ? ":" + std::to_string(line) : std::string()) + ":";
  EXPECT_EQ(errors[0].rfind(start, 0), 0u) << errors[0];
  EXPECT_NE(errors[0].find(message), std::string::npos) << errors[0];
}

TEST(BankErrors, StripValuesOutOfRangeOrOfTheWrongKind) {
  const std::string p = kPreset;
  ExpectRefused(p + "channel = 17\n", 4, "channel must be 1 to 16, got 17");
  ExpectRefused(p + "channel = 0\n", 4, "channel must be 1 to 16, got 0");
  ExpectRefused(p + "channel = 1\nprogram = 128\n", 5, "program must be 0 to 127, got 128");
  ExpectRefused(p + "channel = 1\nbank_msb = -1\n", 5, "bank_msb must be 0 to 127, got -1");
  ExpectRefused(p + "channel = 1\nvolume = \"loud\"\n", 5, "volume must be 0 to 127 or \"none\", got \"loud\"");
  ExpectRefused(p + "channel = 1\nbank_lsb = 1.5\n", 5, "bank_lsb must be 0 to 127 or \"none\"");
  ExpectRefused(p + "channel = 1\nswap = 1\n", 5, "swap must be true or false, got 1");
  ExpectRefused(p + "channel = 1\nlabel = \"twelve chars\"\n", 5, "label is 12 characters long, at most 11");
  ExpectRefused(p + "label = 5\n", 4, "label must be text");
  ExpectRefused(p + "label_bytes = \"4g\"\n", 4, "label_bytes must be hex digits");
  ExpectRefused(p + "label_bytes = \"414243444546474849505152\"\n", 4, "at most 11 bytes");
  ExpectRefused(p + "label = \"a\"\nlabel_bytes = \"41\"\n", 5, "label or label_bytes, not both");
  // Controller rows: a key for a row the preset has, by its one spelling.
  ExpectRefused(p + "channel = 1\nreverb = 128\n", 5, "reverb must be 0 to 127, got 128");
  ExpectRefused(p + "channel = 1\ncc74 = 64\n", 5,
                "cc74: preset 2 has no controller row for CC 74 (its controllers are 10, 91, 93, 11)");
  ExpectRefused(
      "[[preset]]\nnumber = 2\ncontrollers = [74, 91, 93, 11]\n[[preset.strip]]\n[[preset.spare]]\nslot = 2\n"
      "pan = 3\n",
      7, "pan: preset 2 has no controller row for CC 10 (its controllers are 74, 91, 93, 11)");
  ExpectRefused(p + "cc10 = 5\n", 4, "CC 10 is written pan, not cc10");
  ExpectRefused(p + "cc074 = 5\n", 4, "unknown key 'cc074' in a strip");
}

// A sound must name exactly one sound a strip can select on the strip's device, and comes instead of the
// numbers it sets; a device is a model's name as the chunk can store it, installed here or not.
TEST(BankErrors, DevicesAndSoundsThatSelectNoOneSound) {
  const std::string p = std::string(kPreset) + "channel = 1\n";  // a strip's keys from line 5
  const std::string alpha = p + "device = \"Alpha 1\"\n";        // from line 6
  ExpectRefused(alpha + "sound = \"Warm Strngs\"\n", 6,
                "no sound \"Warm Strngs\" in Alpha 1 on channel 1; closest: \"Warm Strings\"");
  ExpectRefused(alpha + "sound = \"a\"\n", 6,
                "no sound \"a\" in Alpha 1 on channel 1; closest: \"My Lead\", \"Glass Pad\", \"Deep Bass\", "
                "\"Card Harp\", \"Plain Organ\"");
  ExpectRefused(std::string(kPreset) + "channel = 1\ndevice = \"General MIDI\"\nsound = \"Brush\"\n", 6,
                "no sound \"Brush\" in General MIDI on channel 1");
  ExpectRefused(alpha + "sound = \"warm strings\"\n", 6,
                "sound \"warm strings\" is in 2 banks of Alpha 1 on channel 1: \"Preset A\" (program 0, "
                "bank 81/0), \"Preset B\" (program 0, bank MSB 82); say which with bank = \"Preset A\", or give "
                "program, bank_msb and bank_lsb instead of sound");
  ExpectRefused(p + "device = \"Same\"\nsound = \"Same\"\n", 6,
                "sound \"Same\" is in 1024 banks of Same on channel 1: \"B0\" (program 0, bank 0/0), \"B0\" "
                "(program 1, bank 0/0), \"B0\" (program 2, bank 0/0), \"B0\" (program 3, bank 0/0), \"B0\" "
                "(program 4, bank 0/0) and 1019 more; say which with bank = \"B0\", or give program");
  ExpectRefused(alpha + "sound = \"Hidden Choir\"\n", 6,
                "sound \"Hidden Choir\" of Alpha 1 is in bank \"SysEx Bank\", which the module selects with "
                "System Exclusive or Program Change messages a strip cannot send");
  // A device not installed here: the closest installed names, or where the devices come from.
  ExpectRefused(p + "device = \"JV-1080\"\nsound = \"Warm Strings\"\n", 6,
                "sound \"Warm Strings\": device \"JV-1080\" is not installed here; devices come from MIDNAM "
                "files in " + banktest::kTestDevicesFolder + " (see VANTORINE_MIDNAM_PATH); give program, "
                "bank_msb and bank_lsb instead");
  ExpectRefused(p + "device = \"Apha 1\"\nsound = \"Warm Strings\"\n", 6,
                "sound \"Warm Strings\": device \"Apha 1\" is not installed here; closest: \"Alpha 1\"");
  // `bank` picks one of the banks that have the name, and only goes with `sound`.
  ExpectRefused(alpha + "sound = \"Warm Strings\"\nbank = \"Preset C\"\n", 6,
                "sound \"Warm Strings\" of Alpha 1 on channel 1 is in no bank \"Preset C\"; it is in "
                "\"Preset A\", \"Preset B\"");
  ExpectRefused(alpha + "program = 1\nbank = \"Preset A\"\n", 7,
                "bank tells which bank's sound = \"...\" is meant; without sound, give bank_msb and bank_lsb");
  ExpectRefused(p + "sound = \"Brush\"\n", 5, "sound needs the strip's device");
  ExpectRefused(alpha + "sound = \"Glass Pad\"\nbank_lsb = 0\n", 6,
                "give sound, or program, bank_msb and bank_lsb, not both");
  ExpectRefused(alpha + "program = 1\nsound = \"Glass Pad\"\n", 7, "not both");
  ExpectRefused(alpha + "sound = 1\n", 6, "sound must be text, got 1");
  const std::string model = "device must be a model name of 1 to 47 printable ASCII characters, got ";
  ExpectRefused(p + "device = 1\n", 5, model + "1");
  ExpectRefused(p + "device = \"\"\n", 5, model + "\"\"");
  ExpectRefused(p + "device = \"" + std::string(48, 'x') + "\"\n", 5, model + "\"xxx");
  ExpectRefused(p + "device = \"Caf\u00e9\"\n", 5, model + "\"Caf\xC3\xA9\"");
  ExpectRefused(p + "device = \"tab\there\"\n", 5, model);
  // A wrong device is told once, not again for the sound looked up in it.
  ExpectRefused(p + "device = \"\"\nsound = \"Glass Pad\"\n", 5, model);

  // What the reader never makes, a chunk never holds either: a device is printable ASCII and terminated.
  auto bank = std::make_unique<PresetBank>();
  banktest::NewBank(*bank);
  bank->extensions[3].devices[2][0] = '\x01';
  EXPECT_EQ(ImpossibleValue(*bank),
            "preset 4: the device of strip record 3 is not a name in printable ASCII");
  CopyText(bank->extensions[3].devices[2], kDeviceNameSize, "JV-1080");
  bank->extensions[3].devices[2][9] = 'x';
  EXPECT_NE(ImpossibleValue(*bank), "");
  std::memset(bank->extensions[3].devices[2], 'x', kDeviceNameSize);
  EXPECT_NE(ImpossibleValue(*bank), "");
}

TEST(BankErrors, UnknownKeysAreReportedWherever) {
  ExpectRefused(std::string(kPreset) + "chanel = 3\n", 4, "unknown key 'chanel' in a strip; did you mean channel?");
  ExpectRefused(std::string(kPreset) + "sounds = \"Brush\"\n", 4, "unknown key 'sounds' in a strip; did you mean sound?");
  ExpectRefused(std::string(kPreset) + "revrb = 3\n", 4, "unknown key 'revrb' in a strip; did you mean reverb?");
  ExpectRefused("[[preset]]\nnumber = 1\nnmae = \"x\"\n", 3, "unknown key 'nmae' in a preset");
  ExpectRefused("[options]\ninit_sned = true\n", 2, "unknown key 'init_sned' in [options]");
  ExpectRefused("title = \"my bank\"\n", 1, "unknown key 'title' in the bank (known: options, preset)");
  ExpectRefused("[[presets]]\nnumber = 1\n", 1, "unknown key 'presets' in the bank (known: options, preset); did you mean preset?");
  ExpectRefused("[[preset]]\nnumber = 1\n[[preset.strip]]\n[[preset.spare]]\nslot = 2\nvolum = 3\n", 6,
                "unknown key 'volum' in a spare strip");
}

TEST(BankErrors, PresetsAndTheirStripsAsAWhole) {
  std::string many = "[[preset]]\nnumber = 5\n";
  for (int i = 0; i < 17; ++i) many += "[[preset.strip]]\nchannel = 1\n";
  ExpectRefused(many, 3 + 16 * 2, "preset 5 has 17 strips, at most 16 fit");
  ExpectRefused("[[preset]]\nnumber = 4\n\n[[preset]]\nnumber = 4\n", 5, "preset 4 is given twice (first at line 1)");
  ExpectRefused("[[preset]]\nnumber = 129\n", 2, "number must be 1 to 128, got 129");
  ExpectRefused("[[preset]]\nname = \"x\"\n", 1, "number missing");
  ExpectRefused("[[preset]]\nnumber = 1\nname = \"" + std::string(48, 'n') + "\"\n", 3,
                "name is 48 characters long, at most 47 fit");
  ExpectRefused("[[preset]]\nnumber = 1\n[[preset.strip]]\n[[preset.spare]]\nchannel = 1\n", 4, "slot missing");
  ExpectRefused("[[preset]]\nnumber = 1\n[[preset.spare]]\nslot = 2\n", 1, "preset 1 has no strip");
  ExpectRefused("[[preset]]\nnumber = 1\n[[preset.strip]]\n[[preset.strip]]\nslot = 2\n[[preset.strip]]\nslot = 2\n",
                7, "slot 2 is used twice (also at line 4)");
  ExpectRefused("[[preset]]\nnumber = 1\n[[preset.strip]]\nslot = 3\nchannel = 1\n", 3,
                "the first strip is always slot 1");
  ExpectRefused("[[preset]]\nnumber = 1\nstrip_count = 2\n", 1, "strip_order and strip_count go together");
  ExpectRefused("[[preset]]\nnumber = 1\nstrip_order = [0]\nstrip_count = 1\n", 3,
                "strip_order must be a list of 16 numbers 0 to 16");
  ExpectRefused("[[preset]]\nnumber = 1\nstrip_order = [0,16,16,16,16,16,16,16,16,16,16,16,16,16,16,16]\n"
                "strip_count = 1\n[[preset.strip]]\nchannel = 1\n",
                5, "slot missing: with strip_order every strip names its slot");
  ExpectRefused("preset = 3\n", 1, "preset must be a list of [[preset]] tables");
  ExpectRefused("[[preset]]\nnumber = 1\nreserved = 256\n", 3, "reserved must be 0 to 255");
  // The SysEx list holds whole messages, at most 64 KiB of them and 1 MiB in a bank; rows send distinct
  // controllers.
  const std::string one = "[[preset]]\nnumber = 1\n";
  const std::string notOne =
      " is not one of \"GM System On\", \"GM2 System On\", \"GS Reset\", \"XG System On\", nor the hex bytes "
      "of one whole message (F0, data bytes 00 to 7F, F7)";
  ExpectRefused(one + "sysex = [\"GS Reset\",\n  \"F0 41 10\"]\n", 4, "sysex: \"F0 41 10\"" + notOne);
  ExpectRefused(one + "sysex = [\"F0 41 80 F7\"]\n", 3, "sysex: \"F0 41 80 F7\"" + notOne);
  ExpectRefused(one + "sysex = [\"F0 7E 7F 09 01 F7 F0 7E 7F 09 01 F7\"]\n", 3, notOne);
  ExpectRefused(one + "sysex = [\"GS Rset\"]\n", 3, "sysex: \"GS Rset\"" + notOne + "; did you mean \"GS Reset\"?");
  ExpectRefused(one + "sysex = \"GS Reset\"\n", 3, "sysex must be a list of messages, got \"GS Reset\"");
  // 11 bytes a GS Reset: 5958 of them are 2 bytes too many for a preset, and 17 presets of 5957 too many
  // for a bank.
  auto resets = [](int count) {
    std::string list = "sysex = [\"GS Reset\"";
    for (int i = 1; i < count; ++i) list += ", \"GS Reset\"";
    return list + "]\n";
  };
  ExpectRefused(one + resets(5958), 3, "sysex holds 65538 bytes in all, at most 65536 fit");
  std::string fullBank;
  for (int n = 1; n <= 17; ++n) fullBank += "[[preset]]\nnumber = " + std::to_string(n) + "\n" + resets(5957);
  ExpectRefused(fullBank, 1, "the presets' sysex lists hold 1113959 bytes in all, at most 1048576 fit in a bank");
  ExpectRefused(one + "settle = 2001\n", 3, "settle must be 0 to 2000, got 2001");
  ExpectRefused(one + "controllers = [10, 91, 10, 11]\n", 3,
                "controllers: 10 is given twice; each row sends a controller of its own");
  ExpectRefused(one + "controllers = [10, 7, 93, 11]\n", 3, "controllers: 7 cannot be a row");
  ExpectRefused(one + "controllers = [10, 91, 93]\n", 3, "controllers must be a list of 4 numbers 0 to 127");
}

// A .syx file is read with the text: one that is not whole messages is refused with its name and the offset
// of its first wrong byte; one that is missing, empty, not a file or too big for the list is refused before
// it is read; and a text from memory has no folder to find a relative name in.
TEST(BankErrors, SyxFilesThatAreNotWholeMessagesOrDoNotFit) {
  const namestest::TempFolder folder;
  const std::string gsThen = "[[preset]]\nnumber = 1\nsysex = [\"GS Reset\",\n  \"";  // the file on line 4
  auto expectRefused = [&](const std::string& name, const std::string& message) {
    ExpectRefused(gsThen + folder.file(name) + "\"]\n", 4, "sysex: \"" + folder.file(name) + "\" " + message);
  };
  const std::string notWhole = "is not whole SysEx messages: ";
  folder.write("status.syx", "\xF0\x41\x10\x90\xF7");
  expectRefused("status.syx", notWhole +
                                  "at offset 3 (0x3), byte 90 comes inside the message from offset 0: "
                                  "only data bytes 00 to 7F go between F0 and F7");
  folder.write("lone-end.syx", "\xF0\x01\xF7\xF7");
  expectRefused("lone-end.syx", notWhole + "at offset 3 (0x3), F7 ends no message: there is no F0 before it");
  folder.write("stray.syx", "\x41\xF0\xF7");
  expectRefused("stray.syx", notWhole + "at offset 0 (0x0), byte 41 starts no message: each starts with F0");
  folder.write("cut.syx", "\xF0\x01\xF7\xF0\x03");
  expectRefused("cut.syx", notWhole +
                               "at offset 5 (0x5), the file ends inside the message from offset 3: it "
                               "has no F7");
  folder.write("empty.syx", "");
  expectRefused("empty.syx", "is empty: a .syx file holds SysEx messages, F0 ... F7");
  expectRefused("missing.syx", "cannot be read: No such file or directory");
  std::filesystem::create_directory(folder.file("folder.SYX"));
  expectRefused("folder.SYX", "is not a file");
  const size_t room = vantorine::midi::kMaxSysexListBytes - 11;
  folder.write("big.syx", "\xF0" + std::string(room, '\x01') + "\xF7");
  expectRefused("big.syx", "holds " + std::to_string(room + 2) + " bytes, more than the " +
                               std::to_string(room) + " the SysEx list has room for");
  ExpectRefused(gsThen + "big.syx\"]\n", 4,
                "sysex: \"big.syx\" is a file beside the bank's text, but this text comes from no file; give "
                "the file's whole path");

  // Random files of the bytes that matter: what is taken is whole messages within the room, byte for byte
  // the file; anything else is refused in words.
  std::mt19937 random(20261210);
  const uint8_t kinds[] = {0xF0, 0xF7, 0x00, 0x41, 0x7F, 0x80, 0xC0};
  int taken = 0;
  for (int round = 0; round < FuzzRounds(2000); ++round) {
    // Whole messages, then now and then one byte of another kind anywhere.
    std::string bytes;
    for (int message = random() % 4; message > 0; --message)
      bytes += "\xF0" + std::string(random() % 6, static_cast<char>(random() % 0x80)) + "\xF7";
    if (random() % 2 && !bytes.empty()) bytes[random() % bytes.size()] = static_cast<char>(kinds[random() % 7]);
    folder.write("random.syx", bytes);
    std::vector<uint8_t> messages;
    const size_t most = 1 + random() % 40;
    const std::string refusal =
        vantorine::midi::ReadSyxFile(folder.file("random.syx"), "random.syx", most, messages);
    if (!refusal.empty()) {
      ASSERT_EQ(refusal.rfind("\"random.syx\" ", 0), 0u) << refusal;
      continue;
    }
    ASSERT_LE(messages.size(), most);
    ASSERT_TRUE(vantorine::midi::IsSysexList(messages.data(), messages.size()));
    ASSERT_EQ(std::string(messages.begin(), messages.end()), bytes);
    ++taken;
  }
  EXPECT_GT(taken, 0);
}

TEST(BankErrors, OptionsAndSyntax) {
  ExpectRefused("[options]\ninit_delay = 1000\n", 2, "init_delay must be 0 to 999, got 1000");
  ExpectRefused("[options]\nchange_delay = -1\n", 2, "change_delay must be 0 to 999, got -1");
  ExpectRefused("[options]\nchange_send = \"yes\"\n", 2, "change_send must be true or false, got \"yes\"");
  ExpectRefused("options = 1\n", 1, "options must be a table");
  ExpectRefused("[options]\n\ncurrent = 0\n", 3, "current must be 1 to 128, got 0");
  ExpectRefused("[options]\nbank_first = 1\n", 2, "bank_first must be true or false, got 1");
  ExpectRefused("[options]\nreset_controllers = \"on\"\n", 2,
                "reset_controllers must be true or false, got \"on\"");
  ExpectRefused("[[preset]]\nnumber = 1\ncurrent = 1\n", 3, "unknown key 'current' in a preset");
  // A value in quotes that would be right without them, and TOML's own mistakes with their columns.
  ExpectRefused("[options]\ninit_send = \"True\"\n", 2,
                "init_send must be true or false, got \"True\": the quotes make it text; write init_send = true");
  ExpectRefused(std::string(kPreset) + "volume = \"100\"\n", 4,
                "volume must be 0 to 127 or \"none\", got \"100\": the quotes make it text; write volume = 100");
  ExpectRefused(std::string(kPreset) + "volume = \"300\"\n", 4, "got \"300\"");
  ExpectRefused("[[preset]]\nnumber = 1\nthru = on\n", 3,
                "3:8: not valid TOML: this value is not a number, true or false, a list nor text; text needs "
                "quotes, as in name = \"Piano\"");
  ExpectRefused("[[preset]]\nnumber = 1\nnumber = 2\n", 3,
                "3:10: not valid TOML: this key is given twice in the same table; keep one");
  ExpectRefused("[[preset]]\nnumber = 1\nname = \"Piano\n", 3,
                "3:14: not valid TOML: text must end with the quote it starts with, on the same line");
  ExpectRefused("[[preset]]\nnumber 1\n", 2, "2:8: not valid TOML: a key is one word");
}

// Text made to break a parser is refused with its line before it is parsed, and numbers beyond 64 bits
// are named as they are written.
TEST(BankErrors, HostileTextIsRefusedWithItsLine) {
  const std::string nested = "nested deeper than 32 levels";
  auto repeat = [](const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
  };
  ExpectRefused("\n\na = " + repeat("[", 10000) + repeat("]", 10000) + "\n", 3, nested);
  ExpectRefused("a = " + repeat("{b = ", 10000) + "1" + repeat("}", 10000) + "\n", 1, nested);
  ExpectRefused("[options]\n" + repeat("a.", 300000) + "a = 1\n", 2, nested);
  ExpectRefused("[" + repeat("a.", 300000) + "a]\n", 1, nested);
  ExpectRefused("[[preset]]\n[[" + repeat("a.", 300000) + "a]]\n", 2, nested);
  ExpectRefused("a = [\n" + repeat("[{b = [\n", 11) + "]}]\n", 12, nested);
  // Brackets in strings and comments nest nothing.
  ExpectRefused("# " + repeat("[", 100) + "\n[options]\ninit_send = \"" + repeat("{", 100) + "\"\n", 3,
                "init_send must be true or false, got \"{{{");
  ExpectRefused("[options]\ninit_send = '''\n" + repeat("[", 100) + "'''\n", 2,
                "init_send must be true or false, got \"[[[");
  ExpectRefused(std::string(BankTextReader::kMaxBytes + 1, '\n'), 0, "larger than 8 MiB");
  // A table header without a name trips a check inside the library unless its checks are off.
  ExpectRefused("[options]\n[[\n", 2, "2:3: not valid TOML: a name is missing here");
  ExpectRefused("[options]\ninit_delay = 99999999999999999999\n", 2,
                "integer 99999999999999999999 is beyond the 64-bit range");
  ExpectRefused("[options]\n\"\xC3\xA9\" = -9_223_372_036_854_775_809 # \xC3\xA9\n", 2,
                "integer -9_223_372_036_854_775_809 is beyond");
  ExpectRefused("[options]\ninit_delay = [0x1FFFFFFFFFFFFFFFF]\n", 2,
                "integer 0x1FFFFFFFFFFFFFFFF is beyond");
  ExpectRefused("[options]\ninit_delay = -9223372036854775808\n", 2,
                "init_delay must be 0 to 999, got -9223372036854775808");
  ExpectRefused("[options]\ninit_delay = 1e999\n", 2, "values here are whole numbers");

  // A bank written with inline tables nests as deep as any bank does, and reads.
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  EXPECT_TRUE(BankTextReader::read("preset = [{number = 1, strip = [{channel = 2, label = \"[{\"}]}]\n",
                                   "bank.toml", *bank, errors))
      << errors.front();
  EXPECT_EQ((*bank)[0].strips[0].channel, 2);
}

TEST(BankErrors, EveryMistakeOfAFileIsReportedInLineOrder) {
  bool untouched = false;
  const std::vector<std::string> errors =
      Errors("[[preset]]\nnumber = 1\n[[preset.strip]]\nvolume = 300\n[[preset.strip]]\nchannel = 40\n"
             "[options]\ninit_delay = 5000\n",
             untouched);
  EXPECT_TRUE(untouched);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[0].rfind("bank.toml:4: volume", 0), 0u) << errors[0];
  EXPECT_EQ(errors[1].rfind("bank.toml:6: channel", 0), 0u) << errors[1];
  EXPECT_EQ(errors[2].rfind("bank.toml:8: init_delay", 0), 0u) << errors[2];

  // A file with a mistake on every line tells the first twenty and how many more there were.
  std::string everyLine = kPreset;
  for (int i = 0; i < 5000; ++i) everyLine += "volume" + std::to_string(i) + " = 1\n";
  const std::vector<std::string> capped = Errors(everyLine, untouched);
  EXPECT_TRUE(untouched);
  ASSERT_EQ(capped.size(), 21u);
  EXPECT_EQ(capped[0].rfind("bank.toml:4: ", 0), 0u) << capped[0];
  EXPECT_EQ(capped[19].rfind("bank.toml:23: ", 0), 0u) << capped[19];
  EXPECT_EQ(capped[20], "bank.toml: 4980 more errors");
}

// Any text at all: the reader answers at once, and either reads a bank that goes through text again
// unchanged or says why not, every message starting with the file's name. Mutated examples with deep
// runs of brackets, huge numbers and odd encodings; seeded, so every run reads the same texts.
TEST(BankErrors, MutatedAndHostileTextNeverBreaksTheReader) {
  std::vector<std::string> seeds;
  for (const std::string& name : banktest::kExamples)
    seeds.push_back(banktest::ReadFile(banktest::ExamplePath(name)));
  auto loaded = std::make_unique<PresetBank>();
  banktest::RandomBanks banks(9);
  banks.loadedBank(*loaded);
  seeds.push_back(BankTextWriter::write(*loaded, 77));
  banks.addVersion2Fields(*loaded, false);
  seeds.push_back(BankTextWriter::write(*loaded, 5));
  seeds.push_back(
      "[[preset]]\nnumber = 7\n[[preset.strip]]\nchannel = 10\ndevice = \"General MIDI\"\nsound = \"Brush\"\n"
      "[[preset.strip]]\nchannel = 2\ndevice = \"Alpha 1\"\nsound = \"Glass Pad\"\n"
      "[[preset.spare]]\nslot = 4\ndevice = \"Alpha 2\"\nsound = \"Card Harp\"\n");
  std::string utf16 = "\xFF\xFE";
  for (const char c : seeds[0]) utf16 += std::string{c, '\0'};
  std::string crlf;
  for (const char c : seeds[1]) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  seeds.push_back("\xEF\xBB\xBF" + seeds[1]);
  seeds.push_back(utf16);
  seeds.push_back(crlf);

  const std::vector<std::string> pieces = {
      "[", "]", "{", "}", "[[", "]]", "=", ".", ",", "\"", "'", "\"\"\"", "'''", "#", "\n", "\r", "\\",
      "\\u0000", "\\uD800", std::string(1, '\0'), "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF",
      "99999999999999999999", "-9223372036854775809", "0x1FFFFFFFFFFFFFFFF", "1e999", "nan", "-0",
      "1979-05-27T07:32:00Z", "a.b.c", "[[preset]]\n", "[[preset.strip]]\n", "[[preset.spare]]\n",
      "number = 1\n", "slot = 2\n", "channel = ", "strip_order = [", "name_bytes = \"ff\"\n", "current = ",
      "bank_first = true\n", "[options]\n", "reset_controllers = true\n", "sysex = [", "\"GS Reset\", ",
      "\"F0 41 10 42 12 40 1A 15 02 0F F7\"", " F7", "F0 ", "settle = ", "controllers = [", "pan = ",
      "cc74 = ", "cc7 = ", "device = ", "sound = ", "device = \"Alpha 1\"\n", "sound = \"Glass Pad\"\n",
      "\"General MIDI\"", "\"Warm Strings\"", "  # Brush"};
  // Values put in place of a key's value: in range, just out of it, of the wrong kind.
  const std::vector<std::string> values = {
      "0", "1", "16", "17", "127", "128", "-1", "999", "1000", "true", "\"none\"", "\"\"", "[]", "{}", "1.5",
      "[0, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16]", "\"\\u00e9\\u0000\"",
      "99999999999999999999", "2000", "2001", "[10, 91, 93, 11]", "[74, 74, 1, 119]",
      "[\"XG System On\", \"F0 F7\"]", "[\"F0 00 F7\", \"F0 80 F7\"]", "\"Alpha 1\"", "\"Brush\"",
      "\"Dry Kit\"", "\"Hidden Choir\"", "\"JV-1080\""};
  auto check = [](const std::string& text) {
    auto bank = std::make_unique<PresetBank>();
    std::vector<std::string> errors;
    int32_t current = -1;
    const std::string shown = text.substr(0, 300);
    if (BankTextReader::read(text, "bank.toml", *bank, errors, &current)) {
      ASSERT_TRUE(errors.empty()) << shown;
      ASSERT_EQ(ImpossibleValue(*bank), "") << shown;
      ASSERT_TRUE(current >= 0 && current < kProgramCount) << shown;
      const std::string written = BankTextWriter::write(*bank, current);
      auto again = std::make_unique<PresetBank>();
      int32_t currentAgain = -1;
      ASSERT_TRUE(BankTextReader::read(written, "again.toml", *again, errors, &currentAgain)) << written;
      EXPECT_EQ(std::memcmp(bank.get(), again.get(), sizeof(PresetBank)), 0) << shown;
      EXPECT_EQ(currentAgain, current);
    } else {
      ASSERT_FALSE(errors.empty()) << shown;
      for (const std::string& error : errors) ASSERT_EQ(error.rfind("bank.toml", 0), 0u) << error;
    }
  };

  std::mt19937 random(18);
  auto below = [&random](size_t n) { return static_cast<size_t>(random() % n); };
  for (int round = 0; round < FuzzRounds(1500); ++round) {
    std::string text = seeds[below(seeds.size())];
    for (size_t edit = 0, edits = 1 + below(4); edit < edits; ++edit) {
      const size_t at = below(text.size() + 1);
      const std::string& piece = pieces[below(pieces.size())];
      switch (below(6)) {
        case 0:
          text.insert(at, piece);
          break;
        case 1:
          text.erase(at, below(32));
          break;
        case 2:
          if (at < text.size()) text[at] = static_cast<char>(below(256));
          break;
        case 3:
          text.insert(at, text.substr(below(text.size() + 1), below(200)));
          break;
        case 4: {
          const size_t key = text.find(" = ", at);
          if (key != std::string::npos)
            text.replace(key + 3, text.find('\n', key) - key - 3, values[below(values.size())]);
          break;
        }
        default: {
          std::string run;
          for (size_t times = 1 + below(3000); times > 0; --times) run += piece;
          text.insert(at, run);
        }
      }
    }
    check(text);
  }
}

// What a plug-in hands over as its bank is read as a chunk only: an empty or short one, or one that
// happens to read as text, is no bank, however little it says.
TEST(BankErrors, APluginChunkIsNeverTakenForText) {
  auto bank = std::make_unique<PresetBank>();
  banktest::RandomBanks(5).panelBank(*bank);
  const auto before = std::make_unique<PresetBank>(*bank);
  const std::string text = "[options]\ninit_send = true\n";
  for (const std::vector<uint8_t>& chunk :
       {std::vector<uint8_t>{}, std::vector<uint8_t>(sizeof(VSTPluginProgram)),
        std::vector<uint8_t>(text.begin(), text.end())}) {
    std::vector<std::string> errors;
    EXPECT_FALSE(BankFile::fromChunk(chunk, "the plug-in's bank", *bank, errors)) << chunk.size();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "the plug-in's bank: a bank chunk has 55808 bytes, this one " +
                             std::to_string(chunk.size()));
    EXPECT_EQ(std::memcmp(bank.get(), before.get(), sizeof(PresetBank)), 0);
  }

  auto other = std::make_unique<PresetBank>();
  banktest::RandomBanks(6).loadedBank(*other);
  std::vector<std::string> errors;
  ASSERT_TRUE(BankFile::fromChunk(BankBytes(*other), "the plug-in's bank", *bank, errors));
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(std::memcmp(bank.get(), other.get(), sizeof(PresetBank)), 0);
}

// The version 2 fields after the image come from a project file as well: a damaged one refuses the whole
// chunk, and what is taken goes through text exactly. Rows sending the same controller, which the text
// cannot tell apart, are refused too.
TEST(BankErrors, DamagedVersion2FieldsInAChunkRefuseItWhole) {
  banktest::RandomBanks random(13);
  auto fields = std::make_unique<PresetBank>();
  banktest::NewBank(*fields);
  random.addVersion2Fields(*fields, false);
  const std::vector<uint8_t> good = BankBytes(*fields);
  ASSERT_GT(good.size(), kBankBytes);
  auto before = std::make_unique<PresetBank>();
  random.panelBank(*before);
  auto bank = std::make_unique<PresetBank>();
  std::vector<std::string> errors;
  int taken = 0, refused = 0;
  for (int round = 0; round < FuzzRounds(400); ++round) {
    std::vector<uint8_t> chunk = good;
    const int fieldBytes = static_cast<int>(good.size() - kBankBytes);
    for (int flip = 0; flip <= round % 3; ++flip)
      chunk[kBankBytes + random.below(fieldBytes)] = static_cast<uint8_t>(random.below(256));
    if (round % 8 == 0) chunk.resize(kBankBytes + random.below(fieldBytes));
    *bank = *before;
    if (!BankFile::fromChunk(chunk, "chunk", *bank, errors)) {
      ++refused;
      ASSERT_EQ(errors.size(), 1u);
      ASSERT_EQ(std::memcmp(bank.get(), before.get(), sizeof(PresetBank)), 0) << errors[0];
      continue;
    }
    ++taken;
    auto back = std::make_unique<PresetBank>();
    const std::string text = BankTextWriter::write(*bank);
    ASSERT_TRUE(BankTextReader::read(text, "bank.toml", *back, errors)) << errors.front();
    ASSERT_EQ(std::memcmp(bank.get(), back.get(), sizeof(PresetBank)), 0) << text;
  }
  EXPECT_GT(taken, 0);
  EXPECT_GT(refused, 0);

  // Fields of a newer version are refused as well: a bank of this version would drop them.
  std::vector<uint8_t> newer = good;
  newer[kBankBytes + 3] = '3';
  *bank = *before;
  EXPECT_FALSE(BankFile::fromChunk(newer, "chunk", *bank, errors));
  EXPECT_EQ(errors.at(0), "chunk: saved by a newer version of the plug-in (" + std::to_string(newer.size()) +
                              " bytes), whose settings this version would lose");
  VSTPluginProgramExtension& twice = fields->extensions[5];
  twice.rowControllers[0] = twice.rowControllers[1] = 10;
  EXPECT_FALSE(BankFile::fromChunk(BankBytes(*fields), "chunk", *bank, errors));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "chunk: not a bank the plug-in can hold: what follows its first 55808 bytes is damaged");
  EXPECT_EQ(std::memcmp(bank.get(), before.get(), sizeof(PresetBank)), 0);
}

// Each rule of the record broken on its own: the bank tools name it, and the chunk reader the plug-in and
// the host program use agrees with them. It brings a version 1 field back into range and leaves the other
// presets as they were, and refuses a chunk whose version 2 fields break a rule (those a chunk can hold).
TEST(BankErrors, EveryBrokenRuleIsNamedAndTheChunkReaderAgrees) {
  struct Broken {
    std::function<void(VSTPluginProgram&, VSTPluginProgramExtension&)> apply;
    const char* why;
    bool version2;
    bool inChunk;
  };
  const Broken cases[] = {
      {[](auto& p, auto&) { p.name[kNameSize - 1] = 'x'; }, "name is not terminated", false, true},
      {[](auto& p, auto&) { p.strips[2].swapBankOrder = 2; }, "strip record 3: flag byte is neither 0 nor 1",
       false, true},
      {[](auto& p, auto&) { p.strips[0].channel = 17; }, "strip record 1: channel byte 17", false, true},
      {[](auto& p, auto&) { p.strips[15].volume = 129; }, "strip record 16: value byte 129", false, true},
      {[](auto& p, auto&) { p.strips[4].label[kLabelSize - 1] = 'x'; }, "strip record 5: label is not terminated",
       false, true},
      {[](auto& p, auto&) { p.stripOrder[4] = kEmptyRow + 1; }, "strip order entry 17", false, true},
      {[](auto& p, auto&) { p.stripOrder[4] = -1; }, "strip order entry -1", false, true},
      {[](auto& p, auto&) { p.stripCount = kStripCount + 1; }, "strip count 17", false, true},
      {[](auto& p, auto&) { p.bankSelectFirst = 2; }, "option flag is neither 0 nor 1", false, true},
      {[](auto& p, auto&) { p.changeDelay = 1000; }, "delay of 1000 s", false, true},
      {[](auto& p, auto&) { p.initDelay = -1; }, "delay of -1 s", false, true},
      {[](auto&, auto& e) { e.sysex[0] = 0xF0, e.sysex[1] = 0x7E, e.sysexLength = 2; },
       "the SysEx list is not whole messages", true, true},
      {[](auto&, auto& e) { e.sysex[10] = 1; }, "bytes after the end of the SysEx list", true, false},
      {[](auto&, auto& e) { e.settleMs = kMaxSettleMs + 1; }, "settle time of 2001 ms", true, true},
      {[](auto&, auto& e) { e.sysexGapMs = kMaxSysexGapMs + 1; }, "SysEx gap of 501 ms", true, true},
      {[](auto&, auto& e) { e.rowControllers[2] = 7; }, "controller row 3 sends CC 7", true, true},
      {[](auto&, auto& e) {
         const uint8_t rows[kControllerRows] = {10, 91, 93, 91};
         std::copy(rows, rows + kControllerRows, e.rowControllers);
       },
       "controller rows 2 and 4 both send CC 91", true, true},
      {[](auto&, auto& e) { e.rowValues[4][1] = 129; }, "controller row value byte 129", true, true},
      {[](auto&, auto& e) { e.resetControllersFirst = 2; }, "Reset All Controllers first flag or its padding",
       true, true},
      {[](auto&, auto& e) { e.padding[2] = 1; }, "Reset All Controllers first flag or its padding", true, false},
      {[](auto&, auto& e) { CopyText(e.devices[6], kDeviceNameSize, "JV\t1080"); },
       "the device of strip record 7 is not a name in printable ASCII", true, true},
  };
  auto good = std::make_unique<PresetBank>();
  banktest::RandomBanks(13).panelBank(*good);
  ASSERT_EQ(ImpossibleValue(*good), "");
  auto bank = std::make_unique<PresetBank>();
  auto read = std::make_unique<PresetBank>();
  for (const Broken& broken : cases) {
    *bank = *good;
    broken.apply(bank->presets[8], bank->extensions[8]);
    EXPECT_EQ(ImpossibleValue(*bank), std::string("preset 9: ") + broken.why);
    if (!broken.inChunk) continue;
    *read = *good;
    const std::vector<uint8_t> chunk = BankBytes(*bank);
    const vantorine::preset::ChunkRead result = vantorine::preset::ReadBankChunk(
        chunk.data(), chunk.size(), read->presets.data(), read->extensions.data());
    if (broken.version2) {
      EXPECT_EQ(result, vantorine::preset::ChunkRead::kRefused) << broken.why;
      EXPECT_EQ(std::memcmp(read.get(), good.get(), sizeof(PresetBank)), 0) << broken.why;
      continue;
    }
    EXPECT_EQ(result, vantorine::preset::ChunkRead::kRead) << broken.why;
    EXPECT_EQ(ImpossibleValue(*read), "") << broken.why;
    for (int n = 0; n < kProgramCount; ++n)
      EXPECT_TRUE(n == 8 || SamePreset(read->presets[n], good->presets[n])) << broken.why << ", preset " << n;
  }
}

}  // namespace

namespace {

// LV2 state comes from hosts' session folders and from whoever made a preset: as hostile as text.
TEST(BankErrors, LV2StateThatHoldsNoGoodBankIsRefusedAndNothingBreaks) {
  const std::string folder = testing::TempDir() + "vtrn-bank-lv2-" + std::to_string(getpid());
  auto bank = std::make_unique<PresetBank>();
  banktest::NewBank(*bank);
  const std::string preset = folder + "/good.lv2";
  ASSERT_EQ("", BankFile::save(preset, *bank, *BankFile::formFor(preset)));
  const std::string good = banktest::ReadFile(preset + "/good.ttl");

  auto refused = [&](const std::string& text, const std::string& message) {
    const std::string file = folder + "/bad.ttl";
    banktest::WriteFile(file, text);
    auto read = std::make_unique<PresetBank>(*bank);
    (*read)[0].name[0] = 'X';
    std::vector<std::string> errors;
    EXPECT_FALSE(BankFile::load(file, *read, errors)) << text.substr(0, 80);
    ASSERT_EQ(1u, errors.size());
    EXPECT_NE(std::string::npos, errors[0].find(message)) << errors[0];
    EXPECT_EQ('X', (*read)[0].name[0]) << "the bank stays as it was";
  };
  const std::string deep(100000, '[');
  refused("<a> <b> " + deep + " " + std::string(100000, '(') + " .", "nested deeper than 32 levels");
  refused("this is not Turtle", "not valid TOML");  // neither Turtle nor any other form: taken for text
  refused("<a> <b> <c> .", "holds no state of the Vantorine LV2 plug-in");
  refused("<a> <urn:vantorine:bank> \"text\" .", "not a chunk of base64 bytes");
  refused("<a> <urn:vantorine:bank> \"AAAA\"^^<http://www.w3.org/2001/XMLSchema#base64Binary> .",
          "a bank chunk has 55808 bytes, this one 3");
  // Brackets inside strings, IRIs and comments nest nothing.
  refused("# " + deep + "\n<a> <b> \"" + deep + "\" .", "holds no state");

  // Damaged copies of a good preset read or are refused, never more.
  std::mt19937 random(7);
  for (int round = 0; round < FuzzRounds(300); ++round) {
    std::string damaged = good;
    for (int flip = 0; flip < 1 + round % 5; ++flip)
      damaged[random() % damaged.size()] = static_cast<char>("[]()<>\"'#\\.;,^ \nA/"[random() % 18]);
    banktest::WriteFile(folder + "/damaged.ttl", damaged);
    auto read = std::make_unique<PresetBank>();
    std::vector<std::string> errors;
    if (!BankFile::load(folder + "/damaged.ttl", *read, errors)) {
      EXPECT_EQ(1u, errors.size());
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
