// Cutting texts between characters: UTF-8 sequences stay whole, every other byte is a
// character of its own.
#include "platform/character_cut.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CutCase {
  const char* Name;
  std::string Text;
  std::size_t Bytes;       // the cut asked for
  std::size_t Within;      // WholeCharactersWithin(Text, Bytes)
  std::size_t Characters;  // CountCharacters(Text)
};

void PrintTo(const CutCase& c, std::ostream* out) { *out << c.Name; }

class CharacterCutTest : public testing::TestWithParam<CutCase> {};

TEST_P(CharacterCutTest, CutsBetweenCharactersAndCountsThem) {
  const CutCase& c = GetParam();
  EXPECT_EQ(WholeCharactersWithin(c.Text.data(), c.Text.size(), c.Bytes), c.Within);
  EXPECT_EQ(CountCharacters(c.Text.data(), c.Text.size()), c.Characters);
  // The first n characters end where counting them says.
  for (std::size_t n = 0; n <= c.Characters + 1; ++n) {
    const std::size_t prefix = CharactersPrefix(c.Text.data(), c.Text.size(), n);
    EXPECT_EQ(CountCharacters(c.Text.data(), prefix), std::min(n, c.Characters)) << n;
    EXPECT_EQ(WholeCharactersWithin(c.Text.data(), c.Text.size(), prefix), prefix) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CharacterCutTest,
    testing::Values(
        CutCase{"Ascii", "abcdef", 3, 3, 6}, CutCase{"Shorter", "abc", 10, 3, 3},
        CutCase{"TwoBytes", "a\xd0\x9c\xd0\xb5", 2, 1, 3},
        CutCase{"TwoBytesWhole", "a\xd0\x9c\xd0\xb5", 3, 3, 3},
        CutCase{"ThreeBytes", "\xe2\x80\x94x", 2, 0, 2},
        CutCase{"FourBytes", "\xf0\x9f\x98\x80x", 3, 0, 2},
        CutCase{"Latin1", "r\xe9sum\xe9", 2, 2, 6},
        CutCase{"SequenceCutShort", "ab\xd0", 2, 2, 3},
        CutCase{"ContinuationAlone", "\x80\x80\x80", 2, 2, 3},
        CutCase{"Overlong", "\xc0\xaf\xe0\x80\xaf", 1, 1, 5},
        CutCase{"Surrogate", "\xed\xa0\x80", 1, 1, 3},
        CutCase{"PastTheLastCodePoint", "\xf4\x90\x80\x80", 1, 1, 4},
        CutCase{"LeadBeforeAscii", "\xd0" "a\xd0\x9c", 2, 2, 3}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.Name); });

}  // namespace
