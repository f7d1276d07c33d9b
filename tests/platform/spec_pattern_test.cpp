// The wild-card rule of a specification's pattern.
#include "platform/spec_pattern.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct WildcardCase {
  const char* Pattern;
  const char* Name;
  bool Matches;
};

// Test names carry the pattern and the name, bytes outside printable ASCII in hex.
void PrintTo(const WildcardCase& c, std::ostream* os) {
  auto text = [os](const char* bytes) {
    *os << '"';
    for (const char* p = bytes; *p != '\0'; ++p) {
      const auto byte = static_cast<unsigned char>(*p);
      if (byte >= 0x20 && byte < 0x7F) {
        *os << *p;
      } else {
        *os << "\\x" << std::hex << static_cast<int>(byte) << std::dec;
      }
    }
    *os << '"';
  };
  text(c.Pattern);
  *os << " vs ";
  text(c.Name);
}

class WildcardTest : public testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, Matches) {
  const WildcardCase& c = GetParam();
  EXPECT_EQ(WildcardMatch(c.Pattern, c.Name), c.Matches) << c.Pattern << " vs " << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WildcardTest,
    testing::Values(
        WildcardCase{"*.txt", "notes.txt", true}, WildcardCase{"*.txt", "NOTES.TXT", true},
        WildcardCase{"*.TXT", "notes.txt", true}, WildcardCase{"*.txt", "notes.txt.bak", false},
        WildcardCase{"*.txt", "txt", false}, WildcardCase{"a?c", "abc", true},
        WildcardCase{"a?c", "ac", false}, WildcardCase{"a?c", "abbc", false},
        WildcardCase{"*a*b*c", "xaybzc", true}, WildcardCase{"*a*b*c", "xaybz", false},
        WildcardCase{"a**b", "ab", true}, WildcardCase{"*ab", "aab", true},
        WildcardCase{"[ab].txt", "[ab].txt", true}, WildcardCase{"[ab].txt", "a.txt", false},
        WildcardCase{"*.*", "readme", true}, WildcardCase{"*.*", "a.b.c", true},
        WildcardCase{"*.*", ".", true}, WildcardCase{"*.*", "..", true},
        WildcardCase{"*.*", ".hidden", true}, WildcardCase{"*", "", true},
        WildcardCase{"readme.*", "readme", true}, WildcardCase{"readme.*", "readme.md", true},
        WildcardCase{"readme.*", "readmes", false}, WildcardCase{"*.t*", "file", false},
        WildcardCase{"file", "FILE", true}, WildcardCase{"\xe9t\xe9", "\xc9T\xc9", false}));

TEST(WildcardLongTest, LongPatternsNeitherRecurseNorBlowUp) {
  std::string pattern;
  for (int i = 0; i < 2000; ++i) pattern += "*a";
  std::string name(1999, 'a');
  EXPECT_FALSE(WildcardMatch(pattern.c_str(), name.c_str()));
  name.assign(5000, 'a');
  EXPECT_TRUE(WildcardMatch(pattern.c_str(), name.c_str()));
}

}  // namespace
