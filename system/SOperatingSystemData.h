// What the kernel says about itself: its type, release and version texts, and whether the release is new
// enough for the plug-in (2.4 or later).
#pragma once

namespace tovo::system {

// The three kernel files, in the order their texts are joined.
struct SKernelFiles {
  const char* ostype = "/proc/sys/kernel/ostype";
  const char* osrelease = "/proc/sys/kernel/osrelease";
  const char* version = "/proc/sys/kernel/version";
};

class SOperatingSystemData {
 public:
  static constexpr unsigned kTextSize = 256;
  static constexpr double kMinimumRelease = 2.4;

  SOperatingSystemData();

  // Reads the standard kernel files.
  void QueryFeatures();
  // Reads the given files; a file that is missing changes nothing.
  void QueryFeatures(const SKernelFiles& files);

  // The texts of the files that could be read, joined (cut to fit the 256-character text).
  const char* Text() const { return text; }
  // False only when the release was read and is older than 2.4.
  bool Qualifies() const { return qualifies; }
  // False when the release could not be read, so Qualifies() proves nothing.
  bool Result() const { return result; }

 private:
  void AppendText(const char* part);

  char text[kTextSize];
  bool qualifies;
  bool result;
};

}  // namespace tovo::system
