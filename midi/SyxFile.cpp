// Reading a .syx file: its size is known before anything is read, and only a regular file is read at
// all, so that a name that leads to a device, a pipe or a huge file costs nothing.
#include "midi/SyxFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantorine::midi {

namespace {

constexpr uint8_t kStart = 0xF0;
constexpr uint8_t kEnd = 0xF7;

std::string Offset(size_t at) {
  char text[64];
  std::snprintf(text, sizeof text, "at offset %zu (0x%zX)", at, at);
  return text;
}

std::string Byte(uint8_t byte) {
  char text[16];
  std::snprintf(text, sizeof text, "byte %02X", byte);
  return text;
}

// What is wrong at the first byte that breaks the messages, or empty when they are whole.
std::string FirstFault(const std::vector<uint8_t>& bytes) {
  size_t start = 0;
  bool inside = false;
  for (size_t at = 0; at < bytes.size(); ++at) {
    const uint8_t byte = bytes[at];
    if (!inside && byte == kStart) {
      inside = true;
      start = at;
    } else if (!inside && byte == kEnd) {
      return Offset(at) + ", F7 ends no message: there is no F0 before it";
    } else if (!inside) {
      return Offset(at) + ", " + Byte(byte) + " starts no message: each starts with F0";
    } else if (byte == kEnd) {
      inside = false;
    } else if (byte >= 0x80) {
      return Offset(at) + ", " + Byte(byte) + " comes inside the message from offset " +
             std::to_string(start) + ": only data bytes 00 to 7F go between F0 and F7";
    }
  }
  if (inside)
    return Offset(bytes.size()) + ", the file ends inside the message from offset " + std::to_string(start) +
           ": it has no F7";
  return {};
}

}  // namespace

bool NamesSyxFile(const std::string& text) {
  static const char kEnding[] = ".syx";
  const size_t length = sizeof kEnding - 1;
  if (text.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    const char c = text[text.size() - length + i];
    if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kEnding[i]) return false;
  }
  return true;
}

std::optional<std::string> SyxFilePath(const std::string& name, const std::optional<std::string>& folder) {
  if (name.rfind("~/", 0) == 0) {
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + name.substr(1);
  }
  if (name.rfind('/', 0) == 0) return name;
  if (!folder) return std::nullopt;
  return folder->empty() ? name : *folder + "/" + name;
}

std::string ReadSyxFile(const std::string& path, const std::string& name, size_t most,
                        std::vector<uint8_t>& messages) {
  const std::string named = "\"" + name + "\"";
  // Without O_NONBLOCK, opening a pipe would wait for a writer.
  const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) return named + " cannot be read: " + std::strerror(errno);
  struct stat status {};
  std::string reason;
  std::vector<uint8_t> bytes;
  if (fstat(file, &status) != 0) {
    reason = named + " cannot be read: " + std::strerror(errno);
  } else if (!S_ISREG(status.st_mode)) {
    reason = named + " is not a file";
  } else if (static_cast<uint64_t>(status.st_size) > most) {
    reason = named + " holds " + std::to_string(status.st_size) + " bytes, more than the " +
             std::to_string(most) + " the SysEx list has room for";
  } else {
    // One byte more than the limit shows a file that grew since it was measured.
    bytes.resize(most + 1);
    size_t got = 0;
    ssize_t read = 0;
    while (got < bytes.size() && (read = ::read(file, bytes.data() + got, bytes.size() - got)) != 0) {
      if (read < 0 && errno == EINTR) continue;
      if (read < 0) break;
      got += static_cast<size_t>(read);
    }
    bytes.resize(got);
    if (read < 0)
      reason = named + " cannot be read: " + std::strerror(errno);
    else if (got > most)
      reason = named + " holds more than the " + std::to_string(most) + " bytes the SysEx list has room for";
  }
  close(file);
  if (!reason.empty()) return reason;
  if (bytes.empty()) return named + " is empty: a .syx file holds SysEx messages, F0 ... F7";
  const std::string fault = FirstFault(bytes);
  if (!fault.empty()) return named + " is not whole SysEx messages: " + fault;
  messages = std::move(bytes);
  return {};
}

}  // namespace vantorine::midi
