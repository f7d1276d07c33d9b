// Cutting texts between characters: UTF-8 sequences stay whole, every other byte is a
// character of its own.
#include "platform/character_cut.h"

#include <gtest/gtest.h>

#include <string>

TEST(CharacterCut, CutsBetweenCharactersAndCountsThem) {
  const struct {
    std::string Text;
    std::size_t Bytes, Within, Characters;  // a cut asked for, where it falls; the count
  } cases[] = {
      {"abcdef", 3, 3, 6},        {"a\xd0\x9c\xd0\xb5", 2, 1, 3}, {"a\xd0\x9c\xd0\xb5", 3, 3, 3},
      {"\xe2\x80\x94x", 2, 0, 2}, {"\xf0\x9f\x98\x80x", 3, 0, 2}, {"r\xe9sum\xe9", 2, 2, 6},
      {"ab\xd0", 2, 2, 3},        {"\x80\x80\x80", 2, 2, 3},      {"\xc0\xaf\xe0\x80\xaf", 1, 1, 5},
      {"\xed\xa0\x80", 1, 1, 3},  {"\xf4\x90\x80\x80", 1, 1, 4},  {"\xd0\x61\xd0\x9c", 2, 2, 3},
  };
  for (const auto& c : cases) {
    const char* text = c.Text.data();
    const std::size_t size = c.Text.size();
    EXPECT_EQ(WholeCharactersWithin(text, size, c.Bytes), c.Within) << c.Text;
    EXPECT_EQ(CountCharacters(text, size), c.Characters) << c.Text;
    // The first n characters end where counting them says, and a cut there stays.
    for (std::size_t n = 0; n <= c.Characters + 1; ++n) {
      const std::size_t prefix = CharactersPrefix(text, size, n);
      EXPECT_EQ(CountCharacters(text, prefix), std::min(n, c.Characters)) << c.Text << n;
      EXPECT_EQ(WholeCharactersWithin(text, size, prefix), prefix) << c.Text << n;
    }
  }
}
