// Debian's ardour-data installs a few hundred MIDNAM files by many authors. When the machine has them, every
// one must pass the guards (none is refused), and every model's sounds must be found again both by what a
// strip sends and by their names.
#include <glob.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "names/DeviceNames.h"
#include "tests/names/MidnamFixtures.h"

namespace {

using namespace vantorine::names;

std::vector<std::string> ArdourSystemFolders() {
  std::vector<std::string> folders;
  glob_t found;
  if (glob("/usr/share/ardour*/patchfiles", GLOB_ONLYDIR, nullptr, &found) == 0)
    folders.assign(found.gl_pathv, found.gl_pathv + found.gl_pathc);
  globfree(&found);
  return folders;
}

bool SameSelection(const Sound& a, const Sound& b) {
  return a.program == b.program && a.bankSelect.msb == b.bankSelect.msb &&
         a.bankSelect.lsb == b.bankSelect.lsb;
}

TEST(InstalledFiles, EveryModelIsListedAndItsSoundsAreFoundAgain) {
  const std::vector<std::string> folders = ArdourSystemFolders();
  if (folders.empty()) GTEST_SKIP() << "no /usr/share/ardour*/patchfiles (Debian's ardour-data)";
  NameCatalog catalog{folders};
  std::vector<ModelInfo> models;
  size_t checked = 0;
  const std::vector<std::string> lines = namestest::StderrLinesOf([&] {
    models = catalog.models();
    for (const ModelInfo& model : models) {
      // Each channel's first and last sound, on the channels where drums and other parts usually are.
      for (int channel : {1, 10, 16}) {
        const std::vector<Sound> sounds = catalog.sounds(model.name, channel);
        if (sounds.empty()) continue;
        for (const Sound* sound : {&sounds.front(), &sounds.back()}) {
          const std::optional<SelectedSound> found =
              catalog.soundAt(model.name, channel, sound->program, sound->bankSelect);
          ASSERT_TRUE(found) << model.name << ": " << sound->name;
          EXPECT_FALSE(found->bankGuessed);
          EXPECT_TRUE(SameSelection(found->sound, *sound)) << model.name << ": " << sound->name;
          const SoundSearch byName = catalog.findSound(model.name, sound->name, channel);
          EXPECT_TRUE(std::any_of(byName.matches.begin(), byName.matches.end(),
                                  [&](const Sound& match) { return SameSelection(match, *sound); }))
              << model.name << ": " << sound->name;
          ++checked;
        }
      }
    }
  });
  EXPECT_GT(models.size(), 300u);
  EXPECT_GT(checked, 600u);
  for (const std::string& line : lines) EXPECT_EQ(line.find(": skipped: "), std::string::npos) << line;

  const std::optional<ModelInfo> jv = catalog.findModel("JV-1080");
  ASSERT_TRUE(jv);
  EXPECT_EQ(jv->manufacturer, "Roland");
  const std::vector<Sound> tones = catalog.sounds("Roland JV-1080", 1);
  EXPECT_GE(tones.size(), 128u);
  for (const Sound& sound : tones) {
    const std::optional<SelectedSound> found = catalog.soundAt("JV-1080", 1, sound.program, sound.bankSelect);
    ASSERT_TRUE(found);
    EXPECT_TRUE(SameSelection(found->sound, sound)) << sound.name;
  }
  EXPECT_FALSE(catalog.sounds("JV-1080", 10).empty());
}

}  // namespace
