// Splits a file path into directory, base name and extension, for the directory the host reports and for
// the plug-in's own library file. Works on caller-supplied buffers and accepts both '/' and '\\' as
// separators, so paths handed over by hosts that speak in backslashes split the same way.
#pragma once

namespace tovo::file {

class SFilePath {
 public:
  // Components (base name, extension) longer than this yield an empty result.
  static constexpr int kMaxComponent = 127;

  // Writes the characters after the last '.' of the last component (at most kMaxComponent + 1 bytes with
  // the terminator) and stores their count in length when it is not null. Null buffers: nothing happens.
  static void GetExtension(char* extension, const char* path, int* length);
  // Writes the directory part of path with its final separator; directory must hold strlen(path) + 1
  // bytes. extensionLength -1 works the extension out first, 0 means none, a positive value is taken as
  // the extension's length. A path too short to hold a name leaves the buffer unchanged.
  static void GetDir(char* directory, const char* path, int extensionLength);
  // Writes the base name (without dot and extension, at most kMaxComponent + 1 bytes) and, when extension
  // is given and extensionLength is -1, the extension too. Returns the name's length.
  static int GetName(char* name, const char* path, char* extension, int extensionLength);

 private:
  enum class Split { kTooShort, kNoDirectory, kFound };
  struct Parts {
    Split split;
    unsigned long baseStart;  // first character after the last separator
    unsigned long baseEnd;    // the dot before the extension, or the end of the path
  };

  static bool IsSeparator(char c) { return c == '/' || c == '\\'; }
  static int ExtensionLength(const char* path, int extensionLength);
  static Parts Locate(const char* path, int extensionLength);
};

}  // namespace tovo::file
