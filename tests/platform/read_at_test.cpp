// Reads at a file position, as the pieces of a large file are read where the platform does
// not view it: on both platforms.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/test_support.h"

namespace {

struct ReadAt {
  const char* Name;
  std::int64_t Offset;
  std::uint32_t Count;
  std::int64_t Got;  // what the read returns
};

void PrintTo(const ReadAt& c, std::ostream* out) { *out << c.Name; }

class ReadAtTest : public testing::TestWithParam<ReadAt> {};

// A file of kReadChunkSize + 1000 bytes, each byte telling its position.
std::string Numbered() {
  std::string text(kReadChunkSize + 1000, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 23);
  return text;
}

TEST_P(ReadAtTest, ReadsTheBytesFromThePositionGiven) {
  const ReadAt& c = GetParam();
  TempTree tree;
  const std::string text = Numbered();
  tree.WriteFile("numbered.txt", text);
  FileHandle file = OpenFileForScan(tree.Path("numbered.txt").c_str());
  ASSERT_TRUE(IsOpenFile(file));
  std::vector<char> buffer(kReadChunkSize + 16, '\0');
  // Twice, and after a read at the start: a read at a position does not depend on the
  // reads before it.
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(ReadFileChunkAt(file, buffer.data(), c.Count, c.Offset), c.Got) << round;
    if (c.Got > 0) {
      EXPECT_EQ(std::string(buffer.data(), static_cast<std::size_t>(c.Got)),
                text.substr(static_cast<std::size_t>(c.Offset), static_cast<std::size_t>(c.Got)));
    }
    ASSERT_EQ(ReadFileChunkAt(file, buffer.data(), 10, 0), 10);
  }
  CloseFile(file);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, ReadAtTest,
    testing::Values(ReadAt{"start", 0, 100, 100}, ReadAt{"middle", 12345, 4000, 4000},
                    ReadAt{"held_to_one_chunk", 7, kReadChunkSize + 16, kReadChunkSize},
                    ReadAt{"to_the_end", kReadChunkSize, kReadChunkSize, 1000},
                    ReadAt{"at_the_end", kReadChunkSize + 1000, 10, 0},
                    ReadAt{"past_the_end", 1 << 30, 10, 0},
                    ReadAt{"before_the_start", -1, 10, -1}),
    [](const testing::TestParamInfo<ReadAt>& info) { return std::string(info.param.Name); });

TEST(ReadAtTest, NoFileReadsNothing) {
  char buffer[8];
  EXPECT_EQ(ReadFileChunkAt(kNoFile, buffer, sizeof buffer, 0), -1);
  EXPECT_EQ(ReadFileChunkAt(kInvalidFile, buffer, sizeof buffer, 0), -1);
}

}  // namespace
