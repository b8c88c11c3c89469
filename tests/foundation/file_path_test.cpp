// Splitting a path gives directory, base name and extension that agree with one another, for slashes and
// backslashes alike, and never writes a component longer than 127 characters.
#include <gtest/gtest.h>

#include <string>

#include "file/SFilePath.h"

using tovo::file::SFilePath;

namespace {

struct Split {
  std::string extension;
  int extensionLength;
  std::string directory;
  std::string name;
  std::string nameExtension;
  int nameLength;
};

constexpr char kUntouched[] = "untouched";

Split SplitPath(const char* path) {
  char extension[256] = "untouched";
  char directory[512] = "untouched";
  char name[256] = "untouched";
  char nameExtension[256] = "untouched";
  int length = -7;
  SFilePath::GetExtension(extension, path, &length);
  SFilePath::GetDir(directory, path, -1);
  int nameLength = SFilePath::GetName(name, path, nameExtension, -1);
  return {extension, length, directory, name, nameExtension, nameLength};
}

}  // namespace

TEST(SFilePath, SplitsTheFormsTheSystemMeets) {
  Split library = SplitPath("/usr/lib/vst/plug.so");
  EXPECT_EQ("so", library.extension);
  EXPECT_EQ(2, library.extensionLength);
  EXPECT_EQ("/usr/lib/vst/", library.directory);
  EXPECT_EQ("plug", library.name);
  EXPECT_EQ("so", library.nameExtension);
  EXPECT_EQ(4, library.nameLength);

  Split directoryOnly = SplitPath("/usr/lib/vst/");
  EXPECT_EQ("", directoryOnly.extension);
  EXPECT_EQ(0, directoryOnly.extensionLength);
  EXPECT_EQ("/usr/lib/vst/", directoryOnly.directory);
  EXPECT_EQ("", directoryOnly.name);
  EXPECT_EQ("", directoryOnly.nameExtension);
  EXPECT_EQ(0, directoryOnly.nameLength);

  // A dot in a directory is not an extension.
  Split dottedDirectory = SplitPath("/opt/a.b/plug");
  EXPECT_EQ("", dottedDirectory.extension);
  EXPECT_EQ(0, dottedDirectory.extensionLength);
  EXPECT_EQ("/opt/a.b/", dottedDirectory.directory);
  EXPECT_EQ("plug", dottedDirectory.name);
  EXPECT_EQ("", dottedDirectory.nameExtension);

  Split bare = SplitPath("plug.so");
  EXPECT_EQ("so", bare.extension);
  EXPECT_EQ("", bare.directory);
  EXPECT_EQ("", bare.name);
  EXPECT_EQ(0, bare.nameLength);
}

TEST(SFilePath, EmptyAndTinyPathsLeaveBuffersAlone) {
  Split empty = SplitPath("");
  EXPECT_EQ("", empty.extension);
  EXPECT_EQ(0, empty.extensionLength);
  EXPECT_EQ(kUntouched, empty.directory);
  EXPECT_EQ(kUntouched, empty.name);
  EXPECT_EQ(0, empty.nameLength);

  Split one = SplitPath("a");
  EXPECT_EQ("", one.extension);
  EXPECT_EQ(kUntouched, one.directory);

  Split trailingDot = SplitPath("/dir/plug.");
  EXPECT_EQ("", trailingDot.extension);
  EXPECT_EQ(0, trailingDot.extensionLength);
  EXPECT_EQ("/dir/", trailingDot.directory);
  EXPECT_EQ("plug.", trailingDot.name);
}

TEST(SFilePath, BackslashesSplitLikeSlashes) {
  Split windows = SplitPath("C:\\dir\\plug.so");
  Split unix = SplitPath("/dir/plug.so");
  EXPECT_EQ("C:\\dir\\", windows.directory);
  EXPECT_EQ(unix.name, windows.name);
  EXPECT_EQ(unix.extension, windows.extension);
  EXPECT_EQ(unix.nameLength, windows.nameLength);

  Split mixed = SplitPath("/home/user\\plugins/x.y\\plug.dll");
  EXPECT_EQ("/home/user\\plugins/x.y\\", mixed.directory);
  EXPECT_EQ("plug", mixed.name);
  EXPECT_EQ("dll", mixed.extension);
}

TEST(SFilePath, ComponentsLongerThan127AreEmpty) {
  const std::string longest = "/dir/" + std::string(127, 'n') + ".so";
  Split fits = SplitPath(longest.c_str());
  EXPECT_EQ("/dir/", fits.directory);
  EXPECT_EQ(127, fits.nameLength);

  const std::string tooLong = "/dir/" + std::string(128, 'n') + ".so";
  Split over = SplitPath(tooLong.c_str());
  EXPECT_EQ("", over.directory);
  EXPECT_EQ("", over.name);
  EXPECT_EQ(0, over.nameLength);

  const std::string longExtension = "/dir/plug." + std::string(128, 'e');
  Split overExtension = SplitPath(longExtension.c_str());
  EXPECT_EQ("", overExtension.extension);
  EXPECT_EQ(0, overExtension.extensionLength);
  // Without a usable extension the whole last component is the name, and that is too long as well.
  EXPECT_EQ("", overExtension.directory);
}

TEST(SFilePath, ExplicitExtensionLengths) {
  char directory[64] = "untouched";
  char name[64] = "untouched";
  char extension[64] = "untouched";
  SFilePath::GetDir(directory, "/a/b/plug.so", 2);
  EXPECT_STREQ("/a/b/", directory);
  EXPECT_EQ(7, SFilePath::GetName(name, "/a/b/plug.so", extension, 0));
  EXPECT_STREQ("plug.so", name);
  // Only -1 asks for the extension to be written.
  EXPECT_STREQ("untouched", extension);
  EXPECT_EQ(4, SFilePath::GetName(name, "/a/b/plug.so", nullptr, -1));
  EXPECT_STREQ("plug", name);

  // A path shorter than the extension it is said to have is left alone.
  SFilePath::GetDir(directory, "/x", 5);
  EXPECT_STREQ("/a/b/", directory);
}

TEST(SFilePath, NullArgumentsDoNothing) {
  char buffer[16] = "untouched";
  int length = 5;
  SFilePath::GetExtension(nullptr, "/a/b.c", &length);
  EXPECT_EQ(5, length);
  SFilePath::GetExtension(buffer, nullptr, &length);
  SFilePath::GetDir(buffer, nullptr, -1);
  EXPECT_EQ(0, SFilePath::GetName(buffer, nullptr, nullptr, -1));
  EXPECT_STREQ("untouched", buffer);
  SFilePath::GetExtension(buffer, "/a/b.c", nullptr);
  EXPECT_STREQ("c", buffer);
  SFilePath::GetDir(nullptr, "/a/b.c", -1);
  EXPECT_EQ(0, SFilePath::GetName(nullptr, "/a/b.c", buffer, -1));
}
