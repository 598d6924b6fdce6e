#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files/drive_map.h"
#include "platform/files/text_files.h"
#include "support/run_program.h"

namespace kvor::files {
namespace {

using test::ReadFile;
using test::WriteFile;

class Files : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string dir = test::TempFolder();
};

TEST_F(Files, WindowsPathsMapToHostFoldersByTheLastLetterGiven) {
  std::filesystem::create_directories(dir + "/c/Winkvor/System");
  std::filesystem::create_directories(dir + "/c/KVOR/F\xC3\xB6retag");  // UTF-8 on the host
  WriteFile(dir + "/c/Winkvor/System/diskunit.dat", "x");
  DriveMap map;
  map.Set('c', dir + "/c");
  // Names in another case are found; trailing blanks of names are dropped.
  EXPECT_EQ(map.ToHost("C:\\WINKVOR\\SYSTEM\\DISKUNIT.DAT"),
            dir + "/c/Winkvor/System/diskunit.dat");
  EXPECT_EQ(map.ToHost("c:\\KVOR   \\F\xD6RETAG\\NY.XML"), dir + "/c/KVOR/F\xC3\xB6retag/NY.XML");
  EXPECT_EQ(map.ToHost("D:\\X"), "");
  EXPECT_EQ(map.ToHost("\\WINKVOR\\X"), "");
  EXPECT_EQ(map.ToHost(""), "");

  // The environment's letters, then --root, which forgets them, then each letter given.
  std::string error;
  ASSERT_TRUE(map.SetFromList("C:=/env/c;D:=/env/d", error));
  map.SetRoot("/root");
  map.Set('D', "/cmd/d");
  EXPECT_EQ(map.Folder('c'), "/root/C");
  EXPECT_EQ(map.Folder('D'), "/cmd/d");
  EXPECT_FALSE(map.SetFromList("C=/x", error));
  EXPECT_FALSE(map.SetFromList("C:=/x;9:=/y", error));
}

TEST_F(Files, LinesAreWrittenWithCrLfAndReadWithEitherAndAReadOnlyFileIsDeleted) {
  TextFiles files;
  FileError e;
  const std::string path = dir + "/t.dat";
  ASSERT_TRUE(files.Open(2, path, TextFiles::Mode::Write, e));
  ASSERT_TRUE(files.WriteLine(2, "V\xE4xj\xF6", e));
  ASSERT_TRUE(files.WriteLine(2, "", e));
  ASSERT_TRUE(files.Close(2, e));
  EXPECT_EQ(ReadFile(path), "V\xE4xj\xF6\r\n\r\n");

  WriteFile(path, "a\r\nb\nc");
  ASSERT_TRUE(files.Open(1, path, TextFiles::Mode::Read, e));
  std::string line;
  for (const std::string expected : {"a", "b", "c"}) {
    EXPECT_TRUE(files.ReadLine(1, line, e) && line == expected);
    EXPECT_EQ(files.AtEnd(1), expected == "c");
  }
  EXPECT_FALSE(files.ReadLine(1, line, e));
  EXPECT_EQ(e.number, 62);
  EXPECT_FALSE(files.WriteLine(1, "x", e));  // opened for reading

  EXPECT_FALSE(files.Open(3, dir + "/missing/x.dat", TextFiles::Mode::Write, e));
  EXPECT_EQ(e.number, 53);
  EXPECT_FALSE(files.IsOpen(3));
  ASSERT_TRUE(files.Open(4, path, TextFiles::Mode::Append, e));
  ASSERT_TRUE(files.WriteLine(4, "d", e));
  files.CloseAll();
  EXPECT_EQ(ReadFile(path), "a\r\nb\ncd\r\n");

  const FileInfo info = Inspect(path);
  EXPECT_TRUE(info.exists);
  EXPECT_EQ(info.size, 9);
  EXPECT_FALSE(Inspect(dir).exists);  // a folder is not a file
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  EXPECT_TRUE(ForceDelete(path, e));
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(ForceDelete(path, e));
  EXPECT_EQ(e.number, 53);
}

}  // namespace
}  // namespace kvor::files
