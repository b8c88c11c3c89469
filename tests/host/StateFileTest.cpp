// The stand-alone host's state file: a first run finds none, a saved state loads back with its current
// program, nothing is written while nothing changed, and a damaged or foreign file is refused and left
// as it was. Replacing a file leaves no temporary file behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "host/FxCapture.h"
#include "host/StateFile.h"

namespace {

class StateFileTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vtrn-state-XXXXXX";
    folder = mkdtemp(pattern);
    path = folder + "/state.fxb";
    ASSERT_TRUE(host.load(VANTORINE_PLUGIN_PATH)) << host.error();
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::vector<uint8_t> fileBytes() {
    std::vector<uint8_t> bytes;
    EXPECT_EQ("", FxFile::readFile(path, bytes));
    return bytes;
  }
  std::string folder, path;
  VstHost host;
};

TEST_F(StateFileTest, SavesOnChangeAndLoadsBackWithTheProgram) {
  StateFile state(path);
  bool found = true;
  EXPECT_EQ("", state.load(host, found));
  EXPECT_FALSE(found) << "no file yet is a first run";

  host.setProgram(7);
  host.setParameter(24, 20 / 128.f);
  bool wrote = false;
  ASSERT_EQ("", state.saveIfChanged(host, wrote));
  EXPECT_TRUE(wrote);
  ASSERT_EQ("", state.saveIfChanged(host, wrote));
  EXPECT_FALSE(wrote) << "unchanged state is not written again";
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  const std::vector<uint8_t> bank = host.getChunk(false);

  VstHost second;
  ASSERT_TRUE(second.load(VANTORINE_PLUGIN_PATH));
  StateFile reopened(path);
  ASSERT_EQ("", reopened.load(second, found));
  EXPECT_TRUE(found);
  EXPECT_EQ(7, second.dispatch(effGetProgram));
  EXPECT_EQ(bank, second.getChunk(false));
  ASSERT_EQ("", reopened.saveIfChanged(second, wrote));
  EXPECT_FALSE(wrote) << "what was loaded counts as saved";
  second.setProgram(8);
  ASSERT_EQ("", reopened.saveIfChanged(second, wrote));
  EXPECT_TRUE(wrote) << "a new current program is a change";
}

TEST_F(StateFileTest, RefusesDamagedAndForeignFilesAndLeavesThemAlone) {
  FxContent foreign = CaptureFx(host, FxKind::Bank);
  foreign.fxId = VstFourCC('O', 't', 'h', 'r');
  const std::vector<std::vector<uint8_t>> files = {
      {'j', 'u', 'n', 'k'}, FxFile::encode(foreign), FxFile::encode(CaptureFx(host, FxKind::Program))};
  for (const std::vector<uint8_t>& bytes : files) {
    ASSERT_EQ("", FxFile::writeFile(path, bytes));
    StateFile state(path);
    bool found = false;
    EXPECT_NE("", state.load(host, found));
    EXPECT_EQ(bytes, fileBytes());
  }
  StateFile folderAsFile(folder);
  bool found = false;
  EXPECT_NE("", folderAsFile.load(host, found));
}

TEST(ReplaceFile, ReportsAFolderThatCannotBeWritten) {
  EXPECT_NE("", FxFile::replaceFile("/nonexistent-folder/state.fxb", {1, 2, 3}));
}

}  // namespace
