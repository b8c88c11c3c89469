// Preset and bank files survive a write and read unchanged, carry the header fields other hosts expect
// at their offsets, and a damaged or foreign file is refused before anything reaches the plug-in.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "vst/FxFile.h"

namespace {

constexpr VstInt32 kId = VstFourCC('V', 'T', 'R', 'N');

FxContent sample(FxKind kind, size_t chunkSize) {
  FxContent content;
  content.kind = kind;
  content.fxId = kId;
  content.fxVersion = 7;
  content.numPrograms = kind == FxKind::Bank ? 128 : 1;
  content.currentProgram = kind == FxKind::Bank ? 42 : 0;
  content.programName = kind == FxKind::Program ? "Organ layer" : "";
  for (size_t i = 0; i < chunkSize; ++i) content.chunk.push_back(static_cast<uint8_t>(i * 7 + 3));
  return content;
}

uint32_t be32(const std::vector<uint8_t>& bytes, size_t offset) {
  return (uint32_t{bytes[offset]} << 24) | (uint32_t{bytes[offset + 1]} << 16) |
         (uint32_t{bytes[offset + 2]} << 8) | bytes[offset + 3];
}

void setBe32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

TEST(FxFile, ProgramFileRoundTripAndLayout) {
  const FxContent written = sample(FxKind::Program, 436);
  const std::vector<uint8_t> bytes = FxFile::encode(written);
  ASSERT_EQ(bytes.size(), 60u + 436u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CcnK");
  EXPECT_EQ(be32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FPCh");
  EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 20), "VTRN");
  EXPECT_EQ(be32(bytes, 20), 7u);
  EXPECT_EQ(be32(bytes, 24), 1u);
  EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[28]), "Organ layer");
  EXPECT_EQ(be32(bytes, 56), 436u);

  FxContent read;
  ASSERT_EQ(FxFile::decode(bytes, FxKind::Program, kId, read), "");
  EXPECT_EQ(read.chunk, written.chunk);
  EXPECT_EQ(read.programName, "Organ layer");
  EXPECT_EQ(read.fxVersion, 7);
}

TEST(FxFile, BankFileRoundTripAndLayout) {
  const FxContent written = sample(FxKind::Bank, 55808);
  const std::vector<uint8_t> bytes = FxFile::encode(written);
  ASSERT_EQ(bytes.size(), 160u + 55808u);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FBCh");
  EXPECT_EQ(be32(bytes, 12), 2u);
  EXPECT_EQ(be32(bytes, 24), 128u);
  EXPECT_EQ(be32(bytes, 28), 42u);
  for (size_t i = 32; i < 156; ++i) ASSERT_EQ(bytes[i], 0) << "reserved byte " << i;
  EXPECT_EQ(be32(bytes, 156), 55808u);

  FxContent read;
  ASSERT_EQ(FxFile::decode(bytes, FxKind::Bank, kId, read), "");
  EXPECT_EQ(read.chunk, written.chunk);
  EXPECT_EQ(read.currentProgram, 42);
  EXPECT_EQ(read.numPrograms, 128);
}

TEST(FxFile, LongProgramNameKeepsItsTerminator) {
  FxContent written = sample(FxKind::Program, 4);
  written.programName = std::string(40, 'x');
  FxContent read;
  ASSERT_EQ(FxFile::decode(FxFile::encode(written), FxKind::Program, kId, read), "");
  EXPECT_EQ(read.programName, std::string(27, 'x'));
}

TEST(FxFile, DamagedFilesAreRefusedWithAReason) {
  const std::vector<uint8_t> good = FxFile::encode(sample(FxKind::Program, 436));
  FxContent read;
  auto refusal = [&](const std::vector<uint8_t>& bytes, FxKind kind = FxKind::Program) {
    return FxFile::decode(bytes, kind, kId, read);
  };

  std::vector<uint8_t> bytes = good;
  bytes[0] = 'X';
  EXPECT_NE(refusal(bytes).find("CcnK"), std::string::npos);

  EXPECT_NE(refusal(std::vector<uint8_t>(good.begin(), good.begin() + 8)), "");
  EXPECT_NE(refusal(std::vector<uint8_t>(good.begin(), good.begin() + 40)).find("truncated"),
            std::string::npos);
  // Cut inside the chunk: the size field no longer matches the file.
  EXPECT_NE(refusal(std::vector<uint8_t>(good.begin(), good.end() - 1)), "");

  bytes = good;
  setBe32(bytes, 4, be32(bytes, 4) + 1);
  EXPECT_NE(refusal(bytes).find("size"), std::string::npos);

  // Both sizes consistent with each other, but the chunk size lies about the data.
  bytes = good;
  setBe32(bytes, 56, 435);
  EXPECT_NE(refusal(bytes).find("chunk size"), std::string::npos);
  setBe32(bytes, 56, 0x80000000u);
  EXPECT_NE(refusal(bytes), "");

  bytes = good;
  setBe32(bytes, 16, static_cast<uint32_t>(VstFourCC('O', 't', 'h', 'r')));
  EXPECT_NE(refusal(bytes).find("'Othr'"), std::string::npos);

  bytes = good;
  setBe32(bytes, 24, 2);
  EXPECT_NE(refusal(bytes), "");

  bytes = good;
  setBe32(bytes, 12, 9);
  EXPECT_NE(refusal(bytes).find("version"), std::string::npos);
}

// Files from outside, now also handed over as a plug-in's state: a file with random header bytes changed,
// cut short or grown is refused with a reason, or read as exactly the chunk its header says it carries.
TEST(FxFile, RandomlyDamagedFilesAreRefusedOrReadWithinTheirBytes) {
  std::mt19937 random(32);
  int taken = 0;
  for (FxKind kind : {FxKind::Program, FxKind::Bank}) {
    const std::vector<uint8_t> whole = FxFile::encode(sample(kind, 64));
    const size_t header = kind == FxKind::Bank ? FxFile::kBankHeaderSize : FxFile::kProgramHeaderSize;
    for (int round = 0; round < 20000; ++round) {
      std::vector<uint8_t> bytes = whole;
      for (int flips = 1 + static_cast<int>(random() % 3); flips > 0; --flips)
        bytes[random() % header] = static_cast<uint8_t>(random() % 4 == 0 ? random() : bytes[random() % 8] ^ 1);
      if (random() % 4 == 0) bytes.resize(random() % (bytes.size() + 8));
      FxContent read;
      const std::string reason = FxFile::decode(bytes, kind, kId, read);
      if (!reason.empty()) continue;
      ++taken;
      ASSERT_GE(bytes.size(), header) << round;
      EXPECT_EQ(read.chunk, std::vector<uint8_t>(bytes.begin() + static_cast<long>(header), bytes.end())) << round;
    }
  }
  // Some damage lies where nothing is checked (a name, reserved bytes): those files are taken.
  EXPECT_GT(taken, 0);
}

TEST(FxFile, WrongKindOrParameterFormIsRefused) {
  FxContent read;
  const std::vector<uint8_t> bank = FxFile::encode(sample(FxKind::Bank, 16));
  EXPECT_NE(FxFile::decode(bank, FxKind::Program, kId, read).find("FPCh"), std::string::npos);
  std::vector<uint8_t> params = FxFile::encode(sample(FxKind::Program, 16));
  params[8] = 'F', params[9] = 'x', params[10] = 'C', params[11] = 'k';
  EXPECT_NE(FxFile::decode(params, FxKind::Program, kId, read).find("parameter"), std::string::npos);
}

TEST(FxFile, RefusalLeavesTheOutputAlone) {
  FxContent read = sample(FxKind::Bank, 3);
  std::vector<uint8_t> bytes = FxFile::encode(sample(FxKind::Bank, 16));
  bytes.pop_back();
  EXPECT_NE(FxFile::decode(bytes, FxKind::Bank, kId, read), "");
  EXPECT_EQ(read.chunk.size(), 3u);
}

TEST(FxFile, FilesOnDisk) {
  const std::string path = testing::TempDir() + "fxfile_test.fxb";
  const std::vector<uint8_t> bytes = FxFile::encode(sample(FxKind::Bank, 1000));
  ASSERT_EQ(FxFile::writeFile(path, bytes), "");
  std::vector<uint8_t> back;
  ASSERT_EQ(FxFile::readFile(path, back), "");
  EXPECT_EQ(back, bytes);
  std::remove(path.c_str());
  EXPECT_NE(FxFile::readFile(path, back).find("cannot open"), std::string::npos);
  EXPECT_NE(FxFile::writeFile("/nonexistent-dir/x.fxb", bytes), "");
}

}  // namespace
