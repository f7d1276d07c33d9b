// The result line's percentage: the same characters as the standard conversion with one
// decimal gives, for the values a listing makes and for the ones at its edges.
#include "engine/result_line.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Fixed(double value) {
  char digits[400];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
  return std::string(digits, result.ptr);
}

std::string Expected(double percentage) {
  return "w\tt.txt\t7 (" + Fixed(percentage) + "%)\t3 K";
}

// The line of an occurrence of `word` in the file `path`.
std::string Shown(const char* path, const std::string& word, int score, std::int64_t lineNumber,
                  double percentage, std::int64_t sizeK) {
  ResultLine line;
  StartResultLines(&line, path);
  FoundOccurrence occurrence{};
  occurrence.Word = word.data();
  occurrence.WordLength = static_cast<std::uint32_t>(word.size());
  occurrence.Line = lineNumber;
  occurrence.Percentage = percentage;
  occurrence.SizeK = sizeK;
  occurrence.Score = score;
  return FormatResultLine(&line, occurrence);
}

std::string Shown(double percentage) {
  return Shown("/tmp/t.txt", "w", kNoScore, 7, percentage, 3);
}

TEST(ResultLinePercentage, EveryEndOfSmallFiles) {
  for (std::int64_t size = 1; size <= 2000; ++size) {
    for (std::int64_t end = 0; end <= size + 3; ++end) {
      const double percentage = static_cast<double>(end) * 100.0 / static_cast<double>(size);
      ASSERT_EQ(Shown(percentage), Expected(percentage)) << end << " of " << size;
    }
  }
}

TEST(ResultLinePercentage, EdgesAndTies) {
  const std::vector<double> values{
      0.0, -0.0, 0.05, 0.04999999999999999, 0.25, 0.35, 0.75, 1.25, 2.25, 99.95, 99.94999,
      100.0, 1234.5678, 999999999.95, 1e9, 1e12, -1.0, 5e-324, 2.2250738585072014e-308,
      1e-20, std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  for (const double value : values) EXPECT_EQ(Shown(value), Expected(value)) << value;
  // Exact ties of the tenth, (2n + 1) / 20 with 2n + 1 a multiple of 5: to the even tenth.
  for (int n = 0; n < 4000; n += 5) {
    const double tie = (2.0 * n + 5.0) / 20.0;
    EXPECT_EQ(Shown(tie), Expected(tie)) << tie;
  }
}

TEST(ResultLinePercentage, RandomValues) {
  std::mt19937_64 random(33);
  std::uniform_real_distribution<double> share(0.0, 1.0);
  for (int i = 0; i < 200000; ++i) {
    const double scale = i % 3 == 0 ? 100.0 : i % 3 == 1 ? 1e9 : 1e-3;
    const double value = share(random) * scale;
    ASSERT_EQ(Shown(value), Expected(value)) << value;
  }
}

// Whole lines: the word and the file's name cut where they are long, a score, numbers of
// every width, and lines long enough to be cut at 255 characters.
struct LineCase {
  const char* Path;
  std::string Word;
  int Score;
  std::int64_t Line;
  double Percentage;
  std::int64_t SizeK;
  std::string Expected;
};

TEST(ResultLineText, EachColumnAsTheLineShowsIt) {
  const std::string longWord(70, 'm');
  const std::string longNumbers = "Moses\tt.txt\t9223372036854775807 (123456789.5%)\t9223372036854775807 K";
  const LineCase cases[] = {
      {"/tmp/t.txt", "Moses", kNoScore, 1, 0.0, 0, "Moses\tt.txt\t1 (0.0%)\t0 K"},
      {"C:\\d\\ab.txt", "Moses", 812, 12, 50.05, 4, "Moses (812)\tab.txt\t12 (50.0%)\t4 K"},
      {"/d/a-name-of-fourteen.txt", "Mo", kNoScore, 3, 99.95, 7,
       "Mo\ta-name-of-four...\t3 (100.0%)\t7 K"},
      {"/d/abcdefghijklm", "Moses", kNoScore, 3, 1.25, 7, "Moses\tabcdefghijklm\t3 (1.2%)\t7 K"},
      {"/d/Gr\xc3\xbc\xc3\x9f" "e-aus-K\xc3\xb6ln.txt", "M\xc3\xbcller", kNoScore, 2, 2.5, 1,
       "M\xc3\xbcller\tGr\xc3\xbc\xc3\x9f" "e-aus-K\xc3\xb6ln...\t2 (2.5%)\t1 K"},
      {"/t.txt", longWord, -5, 42, 10.0, 1, std::string(13, 'm') + "... (-5)\tt.txt\t42 (10.0%)\t1 K"},
      {"/t.txt", "Moses", kNoScore, INT64_MAX, 123456789.46, INT64_MAX, longNumbers},
      {"/t.txt", "Moses", kNoScore, -1, 1e300, -2, "Moses\tt.txt\t-1 (" + Fixed(1e300) + "%)\t-2 K"},
  };
  for (const LineCase& c : cases) {
    EXPECT_EQ(Shown(c.Path, c.Word, c.Score, c.Line, c.Percentage, c.SizeK),
              c.Expected.substr(0, 255))
        << c.Path;
  }
}

}  // namespace
