// The catalog over files written here: which models it lists, the sound a strip's Program Change and Bank
// Select pick on each channel, and finding a sound by its name.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <thread>

#include "names/ChooserLists.h"
#include "names/DeviceNames.h"
#include "names/MidnamFolders.h"
#include "tests/names/MidnamFixtures.h"

namespace {

using namespace vantorine::names;
using namespace namestest;

class DeviceNamesTest : public testing::Test {
 protected:
  DeviceNamesTest() {
    folder.write("devices/a-testworks.midnam", TestworksMidnam());
    folder.write("devices/b-card.midnam", CardMidnam());
    folder.write(
        "devices/c-other.midnam",
        SimpleMidnam("Otherco", "Beta", R"(<Patch Number="1" Name="Beta Bell" ProgramChange="3"/>)"));
    // A later folder defines Alpha 1 again: the first folder's stays.
    folder.write(
        "later/alpha-again.midnam",
        SimpleMidnam("Testworks", "Alpha 1", R"(<Patch Number="1" Name="Impostor" ProgramChange="0"/>)"));
  }

  // The sound's name, its bank's name and whether it was a guess, or "none".
  std::string at(int channel, int program, BankSelect bank, const char* device = "Alpha 1") {
    const std::optional<SelectedSound> found = catalog.soundAt(device, channel, program, bank);
    if (!found) return "none";
    return found->sound.name + " / " + found->sound.bank + (found->bankGuessed ? " (guessed)" : "");
  }

  TempFolder folder;
  NameCatalog catalog{{folder.file("devices"), folder.file("later"), folder.file("missing")}};
};

// Each model's manufacturer and name.
std::vector<std::string> FullNames(const std::vector<ModelInfo>& models) {
  std::vector<std::string> names;
  for (const ModelInfo& model : models) names.push_back(model.manufacturer + " " + model.name);
  return names;
}

TEST_F(DeviceNamesTest, ListsGeneralMidiThenEachFilesModelsOnceAndFiltersThem) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(FullNames(catalog.models()),
            (Names{"MMA General MIDI", "Testworks Alpha 1", "Testworks Alpha 2", "Otherco Beta"}));
  EXPECT_EQ(catalog.models()[1].file, folder.file("devices/a-testworks.midnam"));
  EXPECT_EQ(catalog.models()[0].file, "");
  EXPECT_EQ(FullNames(catalog.models("ALPHA")), (Names{"Testworks Alpha 1", "Testworks Alpha 2"}));
  EXPECT_EQ(FullNames(catalog.models("works")), (Names{"Testworks Alpha 1", "Testworks Alpha 2"}));
  EXPECT_EQ(FullNames(catalog.models("midi")), (Names{"MMA General MIDI"}));
  EXPECT_TRUE(catalog.models("Gamma").empty());

  EXPECT_EQ(catalog.findModel("alpha 2")->name, "Alpha 2");
  EXPECT_EQ(catalog.findModel("TESTWORKS Alpha 2")->name, "Alpha 2");
  EXPECT_EQ(catalog.findModel("general midi")->name, kGeneralMidi);
  EXPECT_FALSE(catalog.findModel("Alpha"));
  EXPECT_FALSE(catalog.findModel("Otherco Alpha 1"));
  // Spaces and punctuation count for nothing when the case-blind names find no model.
  EXPECT_EQ(catalog.findModel("alpha-1")->name, "Alpha 1");
  EXPECT_EQ(catalog.findModel("TestworksAlpha2")->name, "Alpha 2");
  EXPECT_EQ(catalog.closestModels("Alpah 2", 5), (Names{"Alpha 2"}));
  EXPECT_EQ(catalog.closestModels("works", 5), (Names{"Alpha 1", "Alpha 2"}));
  EXPECT_EQ(at(1, 0, {81, 0}), "Warm Strings / Preset A");
}

// What a chooser lists as the user types: devices by maker and model, sounds by their name and bank, each
// word anywhere, in any order, with case, spaces and punctuation ignored.
TEST_F(DeviceNamesTest, ChoosersFindDevicesAndSoundsByWordsIgnoringCaseSpacesAndPunctuation) {
  using Names = std::vector<std::string>;
  auto devices = [&](std::string_view typed) {
    Names lines;
    for (const DeviceLine& line : DeviceLines(catalog.models(), typed))
      lines.push_back(line.device.empty() ? "[" + line.text + "]" : line.device);
    return lines;
  };
  EXPECT_EQ(devices(""), (Names{kGeneralMidi, "[Otherco]", "Beta", "[Testworks]", "Alpha 1", "Alpha 2"}));
  for (const char* typed : {"alpha1", "ALPHA 1", "testworks a-1", "1 works", " alpha_1 "})
    EXPECT_EQ(devices(typed), (Names{"[Testworks]", "Alpha 1"})) << typed;
  EXPECT_EQ(devices("general midi"), (Names{kGeneralMidi}));
  EXPECT_TRUE(devices("alpha beta").empty());

  const SoundChoices sounds(catalog.sounds("Alpha 1", 1));
  auto found = [&](std::string_view typed) {
    Names lines;
    for (const size_t index : sounds.Find(typed)) {
      const Names cells = SoundCells(sounds[index]);
      lines.push_back(cells[3] + " " + cells[0] + " " + cells[1] + " " + cells[2]);
    }
    return lines;
  };
  EXPECT_EQ(found("warm str"), (Names{"Warm Strings Preset A 81/0 0", "Warm Strings Preset B 82/- 0"}));
  EXPECT_EQ(found("STR, warm"), found("warm str"));
  EXPECT_EQ(found("strings preset-b"), (Names{"Warm Strings Preset B 82/- 0"}));
  EXPECT_EQ(found("").size(), sounds.size());
  EXPECT_TRUE(found("warm bass").empty());
}

TEST_F(DeviceNamesTest, StripsBankSelectPicksTheBankThatSendsIt) {
  // Both bytes, as the bank sends them.
  EXPECT_EQ(at(1, 0, {81, 0}), "Warm Strings / Preset A");
  EXPECT_EQ(at(1, 1, {81, 0}), "Glass Pad / Preset A");
  // The bank sends CC0 only: any CC32 or none is the same bank.
  EXPECT_EQ(at(1, 1, {82, 7}), "Bright Brass / Preset B");
  EXPECT_EQ(at(1, 1, {82, {}}), "Bright Brass / Preset B");
  // The bank sends CC32 only.
  EXPECT_EQ(at(1, 0, {{}, 5}), "My Lead / User");
  EXPECT_EQ(at(1, 0, {64, 5}), "My Lead / User");
  // A byte the bank needs that the strip does not send leaves the device where it was: a guess.
  EXPECT_EQ(at(1, 0, {81, {}}), "Warm Strings / Preset A (guessed)");
  EXPECT_EQ(at(1, 0, {}), "Warm Strings / Preset A (guessed)");
  EXPECT_EQ(at(1, 1, {{}, 1}), "Bright Brass / Preset B (guessed)");
  // A bank that sends nothing matches any strip.
  EXPECT_EQ(at(1, 20, {}), "Plain Organ / Plain");
  EXPECT_EQ(at(1, 20, {81, 0}), "Plain Organ / Plain");
  // A byte the bank sends and the strip sends otherwise is another bank.
  EXPECT_EQ(at(1, 0, {81, 1}), "none");
  EXPECT_EQ(at(1, 21, {}), "none");

  // A shared list (its names' whitespace tidied), the patch's own commands, an extension's list.
  EXPECT_EQ(at(1, 1, {90, 1}), "Upright Piano / Shared Bank");
  EXPECT_EQ(at(1, 7, {100, 3}), "Deep Bass / Commanded");
  EXPECT_EQ(at(1, 7, {81, 0}), "none");
  EXPECT_EQ(at(1, 4, {120, 0}), "Card Harp / Card Slot");
  EXPECT_EQ(at(2, 4, {120, 0}, "Alpha 2"), "Card Harp / Card Slot");
  // A bank selected by SysEx: named, and marked as out of a strip's reach.
  const std::optional<SelectedSound> choir = catalog.soundAt("Alpha 1", 1, 9, {});
  ASSERT_TRUE(choir);
  EXPECT_EQ(choir->sound.name, "Hidden Choir");
  EXPECT_TRUE(choir->sound.bankNeedsOtherMessages);
  EXPECT_FALSE(catalog.soundAt("Alpha 1", 1, 0, {81, 0})->sound.bankNeedsOtherMessages);

  EXPECT_EQ(at(1, 128, {}), "none");
  EXPECT_EQ(at(1, -1, {}), "none");
  EXPECT_EQ(at(1, 3, {}, "Gamma"), "none");
  EXPECT_EQ(at(5, 3, {}, "beta"), "Beta Bell / Bank");
}

TEST_F(DeviceNamesTest, ChannelsUseTheirSetFromTheFirstModeOrWhereItIsAvailable) {
  const std::string tones = "Warm Strings / Preset A";
  EXPECT_EQ(at(1, 0, {81, 0}), tones);   // assigned, and the second mode's drums ignored
  EXPECT_EQ(at(2, 0, {81, 0}), tones);   // assigned
  EXPECT_EQ(at(3, 0, {81, 0}), tones);   // assigned a set that is nowhere: where it is available
  EXPECT_EQ(at(12, 0, {81, 0}), tones);  // not assigned: where it is available
  EXPECT_EQ(at(10, 0, {86, 0}), "Dry Kit / Kits");
  EXPECT_EQ(at(10, 0, {81, 0}), "none");
  EXPECT_EQ(at(16, 0, {81, 0}), "none");
  EXPECT_EQ(at(0, 0, {81, 0}), "none");
  EXPECT_EQ(at(17, 0, {81, 0}), "none");

  const std::vector<Sound> kits = catalog.sounds("Alpha 1", 10);
  ASSERT_EQ(kits.size(), 1u);
  EXPECT_EQ(kits[0].name, "Dry Kit");
  EXPECT_EQ(kits[0].bankSelect.msb, 86);
  EXPECT_EQ(kits[0].bankSelect.lsb, 0);
  std::vector<std::string> tonesInOrder;
  for (const Sound& sound : catalog.sounds("alpha 1", 1)) tonesInOrder.push_back(sound.name);
  EXPECT_EQ(tonesInOrder,
            (std::vector<std::string>{"Warm Strings", "Glass Pad", "Warm Strings", "Bright Brass", "My Lead",
                                      "Concert Grand", "Upright Piano", "Deep Bass", "Hidden Choir",
                                      "Card Harp", "Plain Organ"}));
  EXPECT_TRUE(catalog.sounds("Alpha 1", 16).empty());
  EXPECT_TRUE(catalog.sounds("Gamma", 1).empty());
}

TEST_F(DeviceNamesTest, FindsSoundsByNameAndTellsAmbiguousAndUnknownOnes) {
  const SoundSearch strings = catalog.findSound("Alpha 1", "warm STRINGS");
  ASSERT_EQ(strings.matches.size(), 2u);
  EXPECT_EQ(strings.matches[0].bank, "Preset A");
  EXPECT_EQ(strings.matches[0].bankSelect.msb, 81);
  EXPECT_EQ(strings.matches[0].bankSelect.lsb, 0);
  EXPECT_EQ(strings.matches[1].bank, "Preset B");
  EXPECT_EQ(strings.matches[1].bankSelect.msb, 82);
  EXPECT_FALSE(strings.matches[1].bankSelect.lsb);
  EXPECT_TRUE(strings.closest.empty());

  const SoundSearch bass = catalog.findSound("Alpha 1", " Deep   Bass ", 2);
  ASSERT_EQ(bass.matches.size(), 1u);
  EXPECT_EQ(bass.matches[0].program, 7);
  EXPECT_EQ(bass.matches[0].bankSelect.msb, 100);
  EXPECT_EQ(bass.matches[0].bankSelect.lsb, 3);

  // Channel 10 has only the kit; any channel has all.
  EXPECT_EQ(catalog.findSound("Alpha 1", "Dry Kit", 10).matches.size(), 1u);
  EXPECT_EQ(catalog.findSound("Alpha 1", "Dry Kit", 0).matches.size(), 1u);
  const SoundSearch kitOnOne = catalog.findSound("Alpha 1", "Dry Kit", 1);
  EXPECT_TRUE(kitOnOne.matches.empty());
  EXPECT_TRUE(kitOnOne.closest.empty());

  using Names = std::vector<std::string>;
  EXPECT_EQ(catalog.findSound("Alpha 1", "Warm Strngs").closest, (Names{"Warm Strings"}));
  EXPECT_EQ(catalog.findSound("Alpha 1", "piano").closest, (Names{"Upright Piano"}));
  EXPECT_EQ(catalog.findSound("Alpha 1", "a").closest.size(), 5u);
  EXPECT_EQ(catalog.findSound("Alpha 1", "Glas Pads").closest, (Names{"Glass Pad"}));
  EXPECT_TRUE(catalog.findSound("Alpha 1", "Xylophone Quartet").closest.empty());
  EXPECT_TRUE(catalog.findSound("Gamma", "Warm Strings").matches.empty());
}

TEST_F(DeviceNamesTest, ThreadsShareOneScanAndOneReadOfEachDevice) {
  std::vector<std::string> lines = StderrLinesOf([&] {
    std::vector<std::thread> threads;
    std::vector<std::string> seen(4);
    for (int n = 0; n < 4; ++n)
      threads.emplace_back([&, n] {
        const std::optional<SelectedSound> found = catalog.soundAt("Alpha 1", 1 + n, 0, {81, 0});
        seen[n] = found ? found->sound.name : "none";
        seen[n] += " " + std::to_string(catalog.models().size());
      });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(seen, std::vector<std::string>(4, "Warm Strings 4"));
  });
  EXPECT_TRUE(lines.empty());
}

// Restores an environment variable when the test ends.
class SavedVariable {
 public:
  explicit SavedVariable(const char* variable) : name(variable) {
    if (const char* value = getenv(variable)) saved = value;
  }
  ~SavedVariable() {
    if (saved)
      setenv(name, saved->c_str(), 1);
    else
      unsetenv(name);
  }

 private:
  const char* name;
  std::optional<std::string> saved;
};

TEST(MidnamFolders, TheVariableReplacesTheDefaultsAndEmptyMeansNone) {
  SavedVariable path("VANTORINE_MIDNAM_PATH"), home("HOME"), data("XDG_DATA_HOME"), config("XDG_CONFIG_HOME");
  TempFolder folder;
  folder.write("one/x.midnam", SimpleMidnam("Otherco", "Beta", ""));
  folder.write("two/readme.txt", "");
  folder.write("home/.local/share/vantorine/midnam/y.midnam", "");
  folder.write("home/.config/ardour6/patchfiles/z.midnam", "");
  folder.write("home/.config/ardour10/patchfiles/z.midnam", "");
  folder.write("home/.config/ardour8/patchfiles/z.midnam", "");
  folder.write("data/vantorine/midnam/y.midnam", "");

  setenv("VANTORINE_MIDNAM_PATH", "", 1);
  EXPECT_TRUE(DefaultMidnamFolders().empty());
  EXPECT_EQ(NameCatalog(DefaultMidnamFolders()).models().size(), 1u);

  setenv("VANTORINE_MIDNAM_PATH",
         (folder.file("one") + "::" + folder.file("nowhere") + ":" + folder.file("two")).c_str(), 1);
  EXPECT_EQ(DefaultMidnamFolders(), (std::vector<std::string>{folder.file("one"), folder.file("two")}));
  EXPECT_EQ(MidnamFilesIn(DefaultMidnamFolders()), std::vector<std::string>{folder.file("one/x.midnam")});

  unsetenv("VANTORINE_MIDNAM_PATH");
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", folder.file("home").c_str(), 1);
  const std::vector<std::string> userFolders = {
      folder.file("home/.local/share/vantorine/midnam"), folder.file("home/.config/ardour10/patchfiles"),
      folder.file("home/.config/ardour8/patchfiles"), folder.file("home/.config/ardour6/patchfiles")};
  std::vector<std::string> folders = DefaultMidnamFolders();
  ASSERT_GE(folders.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(folders.begin(), folders.begin() + 4), userFolders);
  for (size_t n = 4; n < folders.size(); ++n) EXPECT_EQ(folders[n].rfind("/usr/", 0), 0u) << folders[n];

  // XDG's variables count when they hold an absolute path.
  setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", "relative", 1);
  folders = DefaultMidnamFolders();
  EXPECT_EQ(folders[0], folder.file("data/vantorine/midnam"));
  EXPECT_EQ(folders[1], userFolders[1]);
}

TEST(GeneralMidiNames, NeedNoFileAndGiveTheDrumSetsOnChannelTen) {
  const NameCatalog catalog{{}};
  ASSERT_EQ(catalog.models().size(), 1u);
  EXPECT_EQ(catalog.models()[0].name, kGeneralMidi);

  const auto name = [&](int channel, int program, BankSelect bank = {}) {
    const std::optional<SelectedSound> found = catalog.soundAt("General MIDI", channel, program, bank);
    return found && !found->bankGuessed ? found->sound.name : "none";
  };
  EXPECT_EQ(name(1, 0), "Acoustic Grand Piano");
  EXPECT_EQ(name(16, 40), "Violin");
  EXPECT_EQ(name(9, 127), "Gunshot");
  EXPECT_EQ(name(2, 48, {0, 0}), "String Ensemble 1");  // a module's own banks are beyond General MIDI
  EXPECT_EQ(name(10, 0), "Standard");
  EXPECT_EQ(name(10, 40), "Brush");
  EXPECT_EQ(name(10, 1), "none");

  std::vector<std::string> names;
  for (const Sound& sound : catalog.sounds("general midi", 1)) names.push_back(sound.name);
  ASSERT_EQ(names.size(), 128u);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
  EXPECT_EQ(catalog.sounds(kGeneralMidi, 10).size(), 9u);

  const SoundSearch brush = catalog.findSound(kGeneralMidi, "brush", 10);
  ASSERT_EQ(brush.matches.size(), 1u);
  EXPECT_EQ(brush.matches[0].program, 40);
  EXPECT_TRUE(catalog.findSound(kGeneralMidi, "Brush", 1).matches.empty());
  EXPECT_EQ(catalog.findSound(kGeneralMidi, "violin").matches[0].program, 40);
}

}  // namespace
