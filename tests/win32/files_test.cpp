#include "platform/files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/test_support.h"

namespace {

// A device name opens the device wherever it stands in a path; reading one can block for
// ever, so only disk files may open, for the scan and for the log alike.
class DeviceNameTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DeviceNameTest, IsNeitherScannedNorWritten) {
  TempTree tree;
  std::string path = tree.Path(GetParam());
  FileHandle scan = OpenFileForScan(path.c_str());
  EXPECT_EQ(scan, kInvalidFile);
  CloseFile(scan);
  FileHandle log = CreateFileForWrite(path.c_str());
  EXPECT_EQ(log, kInvalidFile);
  CloseFile(log);
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceNameTest,
                         ::testing::Values("aux.txt", "con", "nul", "com1.log", "prn"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

TEST(Win32FilesTest, ADirectoryOrAMissingFileDoesNotOpen) {
  TempTree tree;
  tree.MakeDirectory("dir");
  EXPECT_EQ(OpenFileForScan(tree.Path("dir").c_str()), kInvalidFile);
  EXPECT_EQ(OpenFileForScan(tree.Path("missing").c_str()), kInvalidFile);
  EXPECT_EQ(OpenFileForScan(nullptr), kInvalidFile);
}

TEST(Win32FilesTest, ReadsInChunksToTheEnd) {
  TempTree tree;
  std::string content(kReadChunkSize + 1000, 'x');
  content[kReadChunkSize] = 'y';
  tree.WriteFile("big.txt", content);
  FileHandle file = OpenFileForScan(tree.Path("big.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_EQ(GetFileSize64(file), static_cast<std::int64_t>(content.size()));
  std::string buffer(kReadChunkSize, '\0');
  EXPECT_EQ(ReadFileChunk(file, buffer.data(), kReadChunkSize), kReadChunkSize);
  EXPECT_EQ(ReadFileChunk(file, buffer.data(), kReadChunkSize), 1000);
  EXPECT_EQ(buffer[0], 'y');
  EXPECT_EQ(ReadFileChunk(file, buffer.data(), kReadChunkSize), 0);
  CloseFile(file);
}

TEST(Win32FilesTest, SizeOverFourGigabytesIsReportedInFull) {
  TempTree tree;
  std::string path = tree.Path("huge.txt");
  HANDLE made = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(made, INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = 5'000'000'000LL;
  bool sized = SetFilePointerEx(made, end, nullptr, FILE_BEGIN) && SetEndOfFile(made);
  CloseHandle(made);
  if (!sized) GTEST_SKIP() << "no room for a 5 GB file here";
  FileHandle file = OpenFileForScan(path.c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_EQ(GetFileSize64(file), 5'000'000'000LL);
  CloseFile(file);
}

// Holes are not looked for here: asked for data, the file answers with all of itself from
// where the scan stands.
TEST(Win32FilesTest, SeekToDataCannotTellAndReadsOnFromThere) {
  TempTree tree;
  tree.WriteFile("a.txt", "0123456789");
  FileHandle file = OpenFileForScan(tree.Path("a.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_FALSE(FileMayHaveHoles(file));
  std::int64_t dataEnd = 0;
  EXPECT_EQ(SeekToData(file, 4, &dataEnd), 4);
  EXPECT_EQ(dataEnd, INT64_MAX);
  char buffer[16] = {};
  EXPECT_EQ(ReadFileChunk(file, buffer, sizeof buffer), 6);
  EXPECT_EQ(std::string(buffer, 6), "456789");
  CloseFile(file);
}

// A file being scanned may be read by others but not rewritten under the scan.
TEST(Win32FilesTest, AScannedFileSharesReadingOnly) {
  TempTree tree;
  tree.WriteFile("a.txt", "abc");
  std::string path = tree.Path("a.txt");
  FileHandle first = OpenFileForScan(path.c_str());
  ASSERT_TRUE(IsOpenFile(first));
  FileHandle second = OpenFileForScan(path.c_str());
  EXPECT_TRUE(IsOpenFile(second));
  EXPECT_EQ(CreateFileForWrite(path.c_str()), kInvalidFile);
  CloseFile(second);
  CloseFile(first);
  EXPECT_EQ(ReadWholeFile(path), "abc");
}

TEST(Win32FilesTest, CreateEmptiesAnExistingFileAndWritesEveryByte) {
  TempTree tree;
  tree.WriteFile("log.txt", "old content that is longer");
  std::string path = tree.Path("log.txt");
  FileHandle log = CreateFileForWrite(path.c_str());
  ASSERT_TRUE(IsOpenFile(log));
  EXPECT_EQ(WriteFileBytes(log, "new\r\n", 5), 5);
  CloseFile(log);
  EXPECT_EQ(ReadWholeFile(path), "new\r\n");
  EXPECT_EQ(CreateFileForWrite(tree.Path("no-such-folder\\log.txt").c_str()), kInvalidFile);
}

}  // namespace
