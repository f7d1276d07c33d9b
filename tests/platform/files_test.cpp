#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "support/test_support.h"

namespace {

TEST(FilesTest, OnlyRegularFilesOpenForScanningAndNothingBlocks) {
  TempTree tree;
  ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
  tree.MakeDirectory("dir");
  // An open that blocks ends the test program instead of hanging it.
  std::signal(SIGALRM, [](int) { _exit(3); });
  alarm(5);
  // Also when a listing said a regular file stood there, and something else has taken
  // its place since.
  for (bool listedAsRegularFile : {false, true}) {
    EXPECT_EQ(OpenFileForScan(tree.Path("fifo").c_str(), listedAsRegularFile), kInvalidFile);
    EXPECT_EQ(OpenFileForScan(tree.Path("dir").c_str(), listedAsRegularFile), kInvalidFile);
    EXPECT_EQ(OpenFileForScan("/dev/zero", listedAsRegularFile), kInvalidFile);
    EXPECT_EQ(OpenFileForScan(tree.Path("missing").c_str(), listedAsRegularFile), kInvalidFile);
  }
  alarm(0);
}

TEST(FilesTest, AFifoIsRefusedWithoutBeingOpened) {
  // Opening a FIFO releases a writer waiting for a reader, so the scan must refuse it
  // before it opens it. Every open of the FIFO is an open event by the time it returns.
  TempTree tree;
  const std::string fifo = tree.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int events = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(events, 0);
  ASSERT_GE(inotify_add_watch(events, fifo.c_str(), IN_OPEN), 0);
  EXPECT_EQ(OpenFileForScan(fifo.c_str()), kInvalidFile);
  alignas(inotify_event) char buffer[4096];
  EXPECT_EQ(read(events, buffer, sizeof buffer), -1) << "the FIFO was opened";
  // The watch sees an open that does happen.
  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_GT(read(events, buffer, sizeof buffer), 0);
  close(reader);
  close(events);
}

TEST(FilesTest, ReadsInChunksToTheEndEvenOnDescriptorZero) {
  TempTree tree;
  std::string content(kReadChunkSize + 1000, 'x');
  content[kReadChunkSize] = 'y';
  tree.WriteFile("big.txt", content);
  int savedInput = dup(0);
  close(0);  // the file gets descriptor 0, which must not look like "no file"
  FileHandle file = OpenFileForScan(tree.Path("big.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_EQ(GetFileSize64(file), static_cast<std::int64_t>(content.size()));
  static char buffer[kReadChunkSize + 16];
  EXPECT_EQ(ReadFileChunk(file, buffer, kReadChunkSize), kReadChunkSize);
  EXPECT_EQ(ReadFileChunk(file, buffer, kReadChunkSize + 16), 1000);  // held to one chunk
  EXPECT_EQ(buffer[0], 'y');
  EXPECT_EQ(ReadFileChunk(file, buffer, kReadChunkSize), 0);
  CloseFile(file);
  dup2(savedInput, 0);
  close(savedInput);
}

TEST(FilesTest, SizeOverFourGigabytesIsReportedInFull) {
  TempTree tree;
  tree.WriteFile("sparse", "");
  constexpr std::int64_t kSize = 5LL * 1024 * 1024 * 1024;
  if (truncate(tree.Path("sparse").c_str(), kSize) != 0) GTEST_SKIP() << "no sparse files here";
  FileHandle file = OpenFileForScan(tree.Path("sparse").c_str());
  EXPECT_EQ(GetFileSize64(file), kSize);
  CloseFile(file);
}

// A sparse file made of written pieces with holes between them. Walking it with
// SeekToData and reading each run of data must find every piece at its place while
// reading far less than the whole file.
struct SparsePiece {
  std::int64_t Offset;
  std::string Text;
};
struct SparseLayout {
  const char* Name;
  std::int64_t Size;
  std::vector<SparsePiece> Pieces;
};

class SparseFileTest : public ::testing::TestWithParam<SparseLayout> {};

TEST_P(SparseFileTest, SkippingHolesFindsEveryWrittenByte) {
  const SparseLayout& layout = GetParam();
  TempTree tree;
  const std::string path = tree.Path("sparse.txt");
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, layout.Size), 0);
  for (const SparsePiece& piece : layout.Pieces)
    ASSERT_EQ(pwrite(fd, piece.Text.data(), piece.Text.size(), piece.Offset),
              static_cast<ssize_t>(piece.Text.size()));
  ASSERT_EQ(fsync(fd), 0);  // some file systems allocate only at write-back
  close(fd);

  FileHandle file = OpenFileForScan(path.c_str());
  ASSERT_TRUE(IsOpenFile(file));
  std::int64_t firstEnd = 0;
  const std::int64_t first = SeekToData(file, 0, &firstEnd);
  if (!FileMayHaveHoles(file) || firstEnd == INT64_MAX || firstEnd >= layout.Size) {
    CloseFile(file);
    GTEST_SKIP() << "the file system of " << tree.Root() << " does not keep holes";
  }
  ASSERT_GE(first, 0);

  std::string seen(static_cast<std::size_t>(layout.Size), '\0');
  std::int64_t bytesRead = 0;
  std::int64_t position = 0;
  static char buffer[kReadChunkSize];
  for (int runs = 0; runs < 100; ++runs) {
    std::int64_t dataEnd = -1;
    const std::int64_t data = SeekToData(file, position, &dataEnd);
    ASSERT_GE(data, position);
    if (data >= layout.Size) {
      EXPECT_EQ(data, layout.Size);
      EXPECT_EQ(ReadFileChunk(file, buffer, kReadChunkSize), 0) << "only the hole was left";
      position = data;
      break;
    }
    ASSERT_GT(dataEnd, data);
    ASSERT_LE(dataEnd, layout.Size);
    // The read position is at the start of the run.
    for (position = data; position < dataEnd;) {
      const auto want =
          static_cast<std::uint32_t>(std::min<std::int64_t>(kReadChunkSize, dataEnd - position));
      const std::int64_t got = ReadFileChunk(file, buffer, want);
      ASSERT_GT(got, 0);
      seen.replace(static_cast<std::size_t>(position), static_cast<std::size_t>(got), buffer,
                   static_cast<std::size_t>(got));
      position += got;
      bytesRead += got;
    }
  }
  EXPECT_EQ(position, layout.Size) << "the walk did not reach the end";
  CloseFile(file);

  for (const SparsePiece& piece : layout.Pieces)
    EXPECT_EQ(seen.substr(static_cast<std::size_t>(piece.Offset), piece.Text.size()), piece.Text)
        << "at " << piece.Offset;
  EXPECT_LT(bytesRead, layout.Size / 4) << "the holes were read";
}

constexpr std::int64_t kMiB = 1024 * 1024;
INSTANTIATE_TEST_SUITE_P(Layouts, SparseFileTest,
                         ::testing::Values(SparseLayout{"DataAtBothEnds",
                                                        48 * kMiB,
                                                        {{0, "head of the file"},
                                                         {16 * kMiB + 123, "a piece in the middle"},
                                                         {48 * kMiB - 4, "tail"}}},
                                           SparseLayout{"HolesAtBothEnds",
                                                        48 * kMiB,
                                                        {{8 * kMiB - 3, "across a block boundary"},
                                                         {30 * kMiB, "Moses"}}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FilesTest, HolesAreNotAskedOfAFileWithout) {
  TempTree tree;
  tree.WriteFile("dense.txt", std::string(3 * kReadChunkSize, 'x'));
  FileHandle file = OpenFileForScan(tree.Path("dense.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_FALSE(FileMayHaveHoles(file));
  // Asked anyway, the whole file is one run of data.
  std::int64_t dataEnd = 0;
  EXPECT_EQ(SeekToData(file, 100, &dataEnd), 100);
  EXPECT_GE(dataEnd, 3 * kReadChunkSize);
  static char buffer[kReadChunkSize];
  EXPECT_EQ(ReadFileChunk(file, buffer, kReadChunkSize), kReadChunkSize);
  EXPECT_EQ(SeekToData(file, 100, nullptr), -1);
  CloseFile(file);
  EXPECT_FALSE(FileMayHaveHoles(kNoFile));
  EXPECT_EQ(SeekToData(kInvalidFile, 0, &dataEnd), -1);
}

// --- views ---

class ViewTest : public ::testing::Test {
 protected:
  void TearDown() override { ViewFilesFrom(kViewFilesFrom); }
  TempTree tree;
};

TEST_F(ViewTest, WindowsShowTheFileAndReadingGoesOnAfterThem) {
  std::string content(kViewWindowSize + 1000, 'a');
  content[kViewWindowSize - 1] = 'y';
  content[kViewWindowSize] = 'z';
  content.back() = 'e';
  tree.WriteFile("big.txt", content);
  FileHandle file = OpenFileForScan(tree.Path("big.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  const std::uint8_t* first = ViewFileWindow(file, 0, kViewWindowSize);
  ASSERT_NE(first, nullptr) << "a file of over a window is viewed";
  EXPECT_EQ(first[0], 'a');
  EXPECT_EQ(first[kViewWindowSize - 1], 'y');
  EXPECT_EQ(ReleaseFileWindow(file), kWindowWhole);
  EXPECT_EQ(ViewFileWindow(file, kViewWindowSize, 1001), nullptr) << "beyond the size";
  EXPECT_EQ(ViewFileWindow(file, 4096, 1000), nullptr) << "not at a window's start";
  const std::uint8_t* second = ViewFileWindow(file, kViewWindowSize, 1000);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second[0], 'z');
  EXPECT_EQ(second[999], 'e');
  std::uint8_t buffer[16];
  EXPECT_EQ(ReadFileChunk(file, buffer, sizeof buffer), 0) << "read on from the window's end";
  CloseFile(file);  // with the window still mapped
}

TEST_F(ViewTest, SmallFilesAreReadUnlessTestsSayOtherwise) {
  tree.WriteFile("small.txt", "hello\n");
  FileHandle file = OpenFileForScan(tree.Path("small.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_EQ(ViewFileWindow(file, 0, 6), nullptr);
  ViewFilesFrom(0);
  const std::uint8_t* bytes = ViewFileWindow(file, 0, 6);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::memcmp(bytes, "hello\n", 6), 0);
  EXPECT_EQ(ReleaseFileWindow(file), kWindowWhole);
  EXPECT_EQ(ReleaseFileWindow(file), kWindowWhole) << "nothing left to release";
  CloseFile(file);
}

// Another program cuts the file short while a window of it is mapped: what it lost reads
// as zero bytes instead of ending the process, and the release says the file was cut.
TEST_F(ViewTest, AFileCutShortReadsAsZerosFromTheCut) {
  ViewFilesFrom(0);
  const std::uint32_t size = 5 * 4096 + 100;
  tree.WriteFile("cut.txt", std::string(size, 'x'));
  FileHandle file = OpenFileForScan(tree.Path("cut.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  const std::uint8_t* bytes = ViewFileWindow(file, 0, size);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[size - 1], 'x');
  std::filesystem::resize_file(tree.Path("cut.txt"), 10);
  std::uint32_t zeros = 0;
  for (std::uint32_t i = 0; i < size; ++i) zeros += bytes[i] == 0 ? 1 : 0;
  EXPECT_EQ(zeros, size - 10);
  EXPECT_EQ(std::memcmp(bytes, "xxxxxxxxxx", 10), 0);
  EXPECT_EQ(ReleaseFileWindow(file), kWindowCut);
  // The next window begins where the file no longer reaches.
  std::uint8_t buffer[16];
  EXPECT_EQ(ReadFileChunk(file, buffer, sizeof buffer), 0);
  CloseFile(file);
}

// A bus error that is no window's still ends the program, as it would without views (or
// reaches the handler that was there before, such as a sanitizer's). Surviving it, or
// failing to set it up, is an ordinary exit.
TEST_F(ViewTest, OtherBusErrorsStillEndTheProgram) {
  ViewFilesFrom(0);
  tree.WriteFile("viewed.txt", "viewed\n");
  tree.WriteFile("other.txt", std::string(3 * 4096, 'o'));
  const std::string viewed = tree.Path("viewed.txt");
  const std::string other = tree.Path("other.txt");
  EXPECT_DEATH(
      {
        FileHandle file = OpenFileForScan(viewed.c_str());
        if (ViewFileWindow(file, 0, 7) == nullptr) _exit(0);
        int fd = open(other.c_str(), O_RDWR);
        auto* page = static_cast<volatile char*>(
            mmap(nullptr, 3 * 4096, PROT_READ, MAP_SHARED, fd, 0));
        if (page == MAP_FAILED || ftruncate(fd, 0) != 0) _exit(0);
        (void)page[2 * 4096];
        _exit(0);
      },
      "");
}

TEST(FilesTest, CreateEmptiesAnExistingFileAndWritesThroughALink) {
  TempTree tree;
  tree.WriteFile("log.txt", "old content that is long");
  FileHandle file = CreateFileForWrite(tree.Path("log.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_EQ(GetFileSize64(file), 0);
  EXPECT_EQ(WriteFileBytes(file, "new", 3), 3);
  EXPECT_EQ(GetFileSize64(file), 3) << "the size of a file being written is its size now";
  CloseFile(file);
  EXPECT_EQ(ReadWholeFile(tree.Path("log.txt")), "new");
  EXPECT_EQ(CreateFileForWrite(tree.Path("no/dir/log.txt").c_str()), kInvalidFile);

  ASSERT_EQ(symlink(tree.Path("log.txt").c_str(), tree.Path("link.log").c_str()), 0);
  file = CreateFileForWrite(tree.Path("link.log").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  EXPECT_EQ(WriteFileBytes(file, "via", 3), 3);
  CloseFile(file);
  EXPECT_EQ(ReadWholeFile(tree.Path("log.txt")), "via");
}

// A log target that is not a regular file is refused at once: a FIFO would hold the
// writer (an alarm ends the test program instead of letting it hang), a device or a
// folder would take the text somewhere no one reads it.
TEST(FilesTest, CreateRefusesAnythingButARegularFile) {
  TempTree tree;
  ASSERT_EQ(mkfifo(tree.Path("fifo.log").c_str(), 0600), 0);
  tree.MakeDirectory("folder.log");
  ASSERT_EQ(symlink(tree.Path("fifo.log").c_str(), tree.Path("to-fifo.log").c_str()), 0);
  std::signal(SIGALRM, [](int) { _exit(3); });
  alarm(10);
  for (const std::string& path : {tree.Path("fifo.log"), tree.Path("to-fifo.log"),
                                  tree.Path("folder.log"), std::string("/dev/full"),
                                  std::string("/dev/null")}) {
    FileHandle file = CreateFileForWrite(path.c_str());
    EXPECT_EQ(file, kInvalidFile) << path;
    CloseFile(file);
  }
  alarm(0);
}

TEST(MemoryTest, FailsExactlyTheRequestedAllocations) {
  FailNextAllocationsForTesting(2);
  EXPECT_EQ(AllocateZeroed(16), nullptr);
  EXPECT_EQ(AllocateZeroed(16), nullptr);
  auto* block = static_cast<unsigned char*>(AllocateZeroed(kReadChunkSize));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[kReadChunkSize - 1], 0);
  FreeBlock(block);
}

}  // namespace
