// Path splitting: the directory and the name are found by walking back from the extension's dot to the
// last separator, so both agree on where the base name starts.
#include "file/SFilePath.h"

#include <cstring>

namespace tovo::file {

void SFilePath::GetExtension(char* extension, const char* path, int* length) {
  if (extension == nullptr || path == nullptr) return;
  extension[0] = '\0';
  if (length != nullptr) *length = 0;

  const size_t total = std::strlen(path);
  if (total < 2) return;
  size_t dot = total;
  for (size_t i = total; i-- > 0;) {
    if (IsSeparator(path[i])) break;
    if (path[i] == '.') {
      dot = i;
      break;
    }
  }
  if (dot == total) return;
  const size_t count = total - dot - 1;
  if (count == 0 || count > kMaxComponent) return;
  std::memcpy(extension, path + dot + 1, count);
  extension[count] = '\0';
  if (length != nullptr) *length = static_cast<int>(count);
}

int SFilePath::ExtensionLength(const char* path, int extensionLength) {
  if (extensionLength >= 0) return extensionLength;
  char extension[kMaxComponent + 1];
  int length = 0;
  GetExtension(extension, path, &length);
  return length;
}

SFilePath::Parts SFilePath::Locate(const char* path, int extensionLength) {
  const size_t total = std::strlen(path);
  const size_t e = static_cast<size_t>(ExtensionLength(path, extensionLength));
  if (total < e + 2) return {Split::kTooShort, 0, 0};

  // Without an extension the name runs to the end; with one it stops at the dot.
  const size_t baseEnd = e == 0 ? total : total - e - 1;
  size_t i = baseEnd;
  while (i > 0 && !IsSeparator(path[i - 1])) --i;
  if (i == 0 || baseEnd - i > kMaxComponent) return {Split::kNoDirectory, 0, 0};
  return {Split::kFound, i, baseEnd};
}

void SFilePath::GetDir(char* directory, const char* path, int extensionLength) {
  if (directory == nullptr || path == nullptr) return;
  const Parts parts = Locate(path, extensionLength);
  if (parts.split == Split::kTooShort) return;
  const size_t count = parts.split == Split::kFound ? parts.baseStart : 0;
  std::memcpy(directory, path, count);
  directory[count] = '\0';
}

int SFilePath::GetName(char* name, const char* path, char* extension, int extensionLength) {
  if (name == nullptr || path == nullptr) return 0;
  if (extension != nullptr && extensionLength == -1) GetExtension(extension, path, nullptr);
  const Parts parts = Locate(path, extensionLength);
  if (parts.split == Split::kTooShort) return 0;
  const size_t count = parts.split == Split::kFound ? parts.baseEnd - parts.baseStart : 0;
  std::memcpy(name, path + parts.baseStart, count);
  name[count] = '\0';
  return static_cast<int>(count);
}

}  // namespace tovo::file
