// Writing and checked reading of .fxp and .fxb files: big-endian header fields, magics in file order.
#include "vst/FxFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr VstInt32 kContainerMagic = VstFourCC('C', 'c', 'n', 'K');
constexpr VstInt32 kProgramChunkMagic = VstFourCC('F', 'P', 'C', 'h');
constexpr VstInt32 kBankChunkMagic = VstFourCC('F', 'B', 'C', 'h');
constexpr VstInt32 kProgramParamsMagic = VstFourCC('F', 'x', 'C', 'k');
constexpr VstInt32 kBankParamsMagic = VstFourCC('F', 'x', 'B', 'k');
constexpr size_t kProgramNameSize = 28;

void put32(std::vector<uint8_t>& out, size_t offset, VstInt32 value) {
  const auto v = static_cast<uint32_t>(value);
  out[offset] = static_cast<uint8_t>(v >> 24);
  out[offset + 1] = static_cast<uint8_t>(v >> 16);
  out[offset + 2] = static_cast<uint8_t>(v >> 8);
  out[offset + 3] = static_cast<uint8_t>(v);
}

VstInt32 get32(const std::vector<uint8_t>& in, size_t offset) {
  return static_cast<VstInt32>((uint32_t{in[offset]} << 24) | (uint32_t{in[offset + 1]} << 16) |
                               (uint32_t{in[offset + 2]} << 8) | uint32_t{in[offset + 3]});
}

std::string fourCC(VstInt32 value) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xFF);
    text += (c >= 0x20 && c < 0x7F) ? c : '?';
  }
  return text;
}

}  // namespace

std::vector<uint8_t> FxFile::encode(const FxContent& content) {
  const bool bank = content.kind == FxKind::Bank;
  const size_t header = bank ? kBankHeaderSize : kProgramHeaderSize;
  std::vector<uint8_t> out(header + content.chunk.size(), 0);
  put32(out, 0, kContainerMagic);
  put32(out, 4, static_cast<VstInt32>(out.size() - 8));
  put32(out, 8, bank ? kBankChunkMagic : kProgramChunkMagic);
  // Version 2 tells readers that a bank records its current program.
  put32(out, 12, bank ? 2 : 1);
  put32(out, 16, content.fxId);
  put32(out, 20, content.fxVersion);
  put32(out, 24, bank ? content.numPrograms : 1);
  if (bank) {
    put32(out, 28, content.currentProgram);
  } else {
    // The name field keeps a terminating NUL, so 27 characters at most.
    std::memcpy(&out[28], content.programName.data(),
                std::min(content.programName.size(), kProgramNameSize - 1));
  }
  put32(out, header - 4, static_cast<VstInt32>(content.chunk.size()));
  if (!content.chunk.empty()) std::memcpy(&out[header], content.chunk.data(), content.chunk.size());
  return out;
}

std::string FxFile::decode(const std::vector<uint8_t>& bytes, FxKind kind, VstInt32 expectedId,
                           FxContent& content) {
  const bool bank = kind == FxKind::Bank;
  const char* what = bank ? "bank file" : "preset file";
  const size_t header = bank ? kBankHeaderSize : kProgramHeaderSize;
  if (bytes.size() < 12)
    return std::string("not a ") + what + ": only " + std::to_string(bytes.size()) + " bytes";
  if (get32(bytes, 0) != kContainerMagic)
    return std::string("not a ") + what + ": starts with '" + fourCC(get32(bytes, 0)) + "', not 'CcnK'";

  const VstInt32 formMagic = get32(bytes, 8);
  if (formMagic == kProgramParamsMagic || formMagic == kBankParamsMagic)
    return std::string(what) + " holds parameter values ('" + fourCC(formMagic) +
           "'), but this plug-in stores its state as a chunk";
  const VstInt32 wantedMagic = bank ? kBankChunkMagic : kProgramChunkMagic;
  if (formMagic != wantedMagic)
    return std::string("not a ") + what + ": form '" + fourCC(formMagic) + "', expected '" +
           fourCC(wantedMagic) + "'";

  if (bytes.size() < header)
    return std::string(what) + " truncated: " + std::to_string(bytes.size()) +
           " bytes, the header alone needs " + std::to_string(header);
  const int64_t declaredSize = static_cast<uint32_t>(get32(bytes, 4));
  if (declaredSize != static_cast<int64_t>(bytes.size()) - 8)
    return std::string(what) + " size field says " + std::to_string(declaredSize + 8) +
           " bytes, the file has " + std::to_string(bytes.size());

  const VstInt32 version = get32(bytes, 12);
  if (version < 1 || version > 2)
    return std::string(what) + " has unknown format version " + std::to_string(version);
  const VstInt32 fxId = get32(bytes, 16);
  if (fxId != expectedId)
    return std::string(what) + " is for plug-in '" + fourCC(fxId) + "', not '" + fourCC(expectedId) + "'";

  const VstInt32 numPrograms = get32(bytes, 24);
  if (numPrograms < 1 || (!bank && numPrograms != 1))
    return std::string(what) + " claims " + std::to_string(numPrograms) + " programs";

  const int64_t chunkSize = get32(bytes, header - 4);
  if (chunkSize < 0 || chunkSize != static_cast<int64_t>(bytes.size() - header))
    return std::string(what) + " chunk size field says " + std::to_string(chunkSize) +
           " bytes, the file holds " + std::to_string(bytes.size() - header);

  content.kind = kind;
  content.fxId = fxId;
  content.fxVersion = get32(bytes, 20);
  content.numPrograms = numPrograms;
  // Version 1 banks carry no current program; the field is reserved and zero.
  content.currentProgram = bank && version >= 2 ? get32(bytes, 28) : 0;
  content.programName.clear();
  if (!bank) {
    const char* name = reinterpret_cast<const char*>(&bytes[28]);
    content.programName.assign(name, strnlen(name, kProgramNameSize));
  }
  content.chunk.assign(bytes.begin() + static_cast<std::ptrdiff_t>(header), bytes.end());
  return {};
}

std::string FxFile::readFile(const std::string& path, std::vector<uint8_t>& bytes, size_t most) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "cannot open " + path + ": " + std::strerror(errno);
  bytes.clear();
  uint8_t buffer[65536];
  size_t got;
  while (bytes.size() < most &&
         (got = std::fread(buffer, 1, std::min(sizeof buffer, most - bytes.size()), file)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return "cannot read " + path;
  return {};
}

std::string FxFile::writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return "cannot create " + path + ": " + std::strerror(errno);
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  // A full disk may only show at close, so its answer counts as much as the write's.
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) return "cannot write " + path;
  return {};
}

std::string FxFile::replaceFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = path + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return "cannot create " + temporary + ": " + std::strerror(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) break;
    done += static_cast<size_t>(wrote);
  }
  // Without the flush a power cut after the rename could leave the new name on an empty file.
  const bool written = done == bytes.size() && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    const std::string reason = "cannot write " + temporary + ": " + std::strerror(errno);
    ::unlink(temporary.c_str());
    return reason;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
    ::unlink(temporary.c_str());
    return reason;
  }
  return {};
}
